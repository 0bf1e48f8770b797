#include "collect/CollectFiles.h"

#include "files/SafeFile.h"

#include <QDir>

namespace CollectFiles {

bool MakeFolders(const QString& base, const QString& folder, QString* error)
{
    QString path = QDir::cleanPath(base);
    const QString relative = QDir(base).relativeFilePath(folder);
    QStringList levels = relative.split(u'/', Qt::SkipEmptyParts);
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative)) {
        path.clear();
        levels = {folder};
    }
    for (const QString& level : std::as_const(levels)) {
        path = path.isEmpty() ? level : path + u'/' + level;
        const FileResult made = SafeFile::MakeFolder(path, SafeFile::Access::Private);
        if (!made) {
            *error = QStringLiteral("nie można utworzyć folderu „%1”: %2").arg(QDir::toNativeSeparators(path),
                                                                               FileFailureText(made));
            return false;
        }
    }
    return true;
}

} // namespace CollectFiles
