#pragma once

#include <QString>

// Prints the summary page into a PDF file (A4, Qt's own printing of rich text),
// written whole or not at all. Needs a QGuiApplication. On failure `error` says why.
bool WriteSummaryPdf(const QString& html, const QString& path, QString* error);
