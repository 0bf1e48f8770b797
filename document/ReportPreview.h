#pragma once

#include <QString>
#include <QStringList>

// The HTML preview page of a report, built line by line. The operations put their
// arguments into the page as they are, because callers mix the page's own markup
// ("&nbsp;" indents) with texts; every text that comes from the user goes through
// PreviewEscape first.

// "&", "<" and ">" as entities, so that a typed text shows as typed and never as
// markup.
QString PreviewEscape(const QString& text);

// True for the characters XML 1.0 allows in a document.
bool AllowedInXml(char32_t c);

// `text` with every character that XML 1.0 cannot hold (control characters other
// than tab, line feed and carriage return, lone surrogates, U+FFFE and U+FFFF) as
// "?", the mark that also stands for a character outside the code page.
QString XmlCharacters(const QString& text);

// Empties the page and appends its head: content type, title and style block.
void PreviewBegin(QStringList& page);
void PreviewTitle(QStringList& page, const QString& title);
void PreviewOpenText(QStringList& page);
void PreviewLabelValue(QStringList& page, const QString& label, const QString& value);
void PreviewHeading(QStringList& page, const QString& label);
void PreviewLine(QStringList& page, const QString& text);
void PreviewBlankLine(QStringList& page);
void PreviewCloseText(QStringList& page);
void PreviewEnd(QStringList& page);

// Writes the page to `path` in Windows-1250, every line followed by CR LF, whole or
// not at all; characters XML cannot hold are written as "?". On failure `error` says why.
bool SavePreviewPage(const QStringList& page, const QString& path, QString* error);
