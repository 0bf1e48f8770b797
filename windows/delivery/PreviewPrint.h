#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

// Prints a preview page page by page on `printer`, with no header and `PrintFooter`
// (the report's kind, the page and the page count) at the foot of every page. The
// same function serves the printer, the print preview and a PDF file. False, with the
// reason in `error`, when the printer cannot be opened or fails.
bool PrintPreviewPage(const QTextDocument& page, const QString& kind, QPrinter& printer,
                      QString* error = nullptr);

// The report's kind as the page names it: its first line of text, the title.
QString PreviewPageKind(const QTextDocument& page);
