#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Text files read and written as whole lists of lines, byte for byte: a line ends at
// CR LF, CR or LF; a line break at the very end does not start another line. Lines
// are written back each followed by CR LF.
namespace TextLines {

QList<QByteArray> split(const QByteArray& text);

// Empty when the file cannot be read.
std::optional<QList<QByteArray>> load(const QString& path);

// Replaces the file as a whole: it is either the new lines or left as it was.
bool save(const QString& path, const QList<QByteArray>& lines);

// Loads `source` and saves its lines as `target`, overwriting it.
bool copy(const QString& source, const QString& target);

} // namespace TextLines
