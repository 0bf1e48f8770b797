#pragma once

#include "files/SafeFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Text files read and written as whole lists of lines, byte for byte: a line ends at
// CR LF, CR or LF; a line break at the very end does not start another line. Lines
// are written back each followed by CR LF.
namespace TextLines {

QList<QByteArray> split(const QByteArray& text);

// Files of lines are small: settings, version files.
constexpr qint64 kDefaultMaxBytes = 1024 * 1024;

// Empty when the file cannot be read: missing, a link, not a regular file, or larger
// than `maxBytes`.
std::optional<QList<QByteArray>> load(const QString& path, qint64 maxBytes = kDefaultMaxBytes);

// The lines, each followed by CR LF.
QByteArray join(const QList<QByteArray>& lines);

// Replaces the file as a whole (SafeFile::Write): it is either the new lines or left
// as it was, and the result says why not.
FileResult save(const QString& path, const QList<QByteArray>& lines,
                SafeFile::Access access = SafeFile::Access::Shared);

// Loads `source` and saves its lines as `target`, overwriting it.
FileResult copy(const QString& source, const QString& target, qint64 maxBytes = kDefaultMaxBytes,
                SafeFile::Access access = SafeFile::Access::Shared);

} // namespace TextLines
