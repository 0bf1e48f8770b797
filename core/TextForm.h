#pragma once

#include <QString>
#include <QStringList>

// Multi-line texts of the class sheet are kept in one string in which every line is
// followed by "&": the lines x and y are stored as "x&y&". An empty text is the
// empty string. A "&" typed inside a line therefore ends that line when the text is
// split again.

// The typed lines of a memo's plain text. A line break ends a line; a break at the
// very end starts no further line, so "a\nb\n" and "a\nb" are both the lines a and b,
// and an empty text has no lines.
QStringList MemoLines(const QString& plainText);

// Joins the lines into the "&" form: every line followed by "&".
QString MemoToText(const QStringList& lines);

// Every "&" ends a line (possibly empty); text after the last "&" is dropped.
QStringList SplitText(const QString& text);

// The items joined by ", "; empty text for an empty list.
QString JoinWithCommas(const QStringList& items);
