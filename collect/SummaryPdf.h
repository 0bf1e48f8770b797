#pragma once

#include <QString>
#include <QStringList>

// Prints the summary page into a PDF file (A4), written whole or not at all. Needs a
// QGuiApplication. The page is laid out in pieces of bounded length (the blocks of
// SummaryHtmlParts), page by page, because one text layout cannot be taller than
// about 2 400 pages; a piece that alone would be too tall fails the print with the
// reason, never a cut file. On failure `error` says why.
bool WriteSummaryPdf(const QStringList& parts, const QString& path, QString* error);
// The same from the page in one piece (SummaryHtml): it is printed whole or refused.
bool WriteSummaryPdf(const QString& html, const QString& path, QString* error);

// The PDF bytes themselves; empty, with `error` set, on failure.
QByteArray SummaryPdfBytes(const QStringList& parts, QString* error);
