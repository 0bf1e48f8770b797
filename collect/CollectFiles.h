#pragma once

#include <QByteArray>
#include <QString>

// Files the collecting side writes: whole or not at all, synced, a link at the
// target replaced rather than followed; a small regular file read within a cap.
namespace CollectFiles {

bool WriteAtomically(const QString& path, const QByteArray& bytes, QString* error);
// False when `path` is missing, not a regular file (links are not followed) or
// larger than `maxBytes`.
bool ReadSmall(const QString& path, qint64 maxBytes, QByteArray* bytes);
// Makes every missing level of `folder` below `base`, refusing links on the way.
bool MakeFolders(const QString& base, const QString& folder, QString* error);

} // namespace CollectFiles
