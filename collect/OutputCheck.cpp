#include "collect/OutputCheck.h"

#include "collect/InputCollector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

bool statOf(const QString& path, bool followLink, struct stat* st)
{
    const QByteArray native = QFile::encodeName(path);
    return (followLink ? ::stat(native.constData(), st) : ::lstat(native.constData(), st)) == 0;
}

InputCollector::FileId idOf(const struct stat& st)
{
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

// Whether `folder` (canonical) is `root` or lies inside it.
bool inside(const QString& folder, const QString& root)
{
    if (root.isEmpty() || folder.isEmpty())
        return false;
    return folder == root || folder.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

} // namespace

QString CheckOutputs(const QStringList& outputs, const InputCollector& inputs, const QStringList& alsoRead)
{
    QList<InputCollector::FileId> protectedIds = inputs.fileIdsRead();
    for (const QString& path : alsoRead) {
        struct stat st = {};
        if (statOf(path, true, &st))
            protectedIds.append(idOf(st));
    }

    // Per output: the file it names (by the folder's identity and the name) and, if
    // it exists, the file itself.
    QStringList places;
    QList<InputCollector::FileId> existing;
    QStringList existingNames;
    for (const QString& output : outputs) {
        const QFileInfo info(output);
        const QString shown = QDir::toNativeSeparators(output);
        const QString folder = info.absolutePath();
        struct stat folderStat = {};
        const QString place = statOf(folder, true, &folderStat)
                                  ? QStringLiteral("%1:%2/").arg(folderStat.st_dev).arg(folderStat.st_ino) +
                                        info.fileName()
                                  : QDir::cleanPath(info.absoluteFilePath());
        const qsizetype same = places.indexOf(place);
        if (same >= 0)
            return QStringLiteral("pliki wynikowe „%1” i „%2” to ten sam plik")
                .arg(QDir::toNativeSeparators(outputs.at(same)), shown);
        places.append(place);
        // A link planted in an input folder, as the output itself or as a folder on
        // its way.
        for (QString step = QDir::cleanPath(info.absoluteFilePath()); step.size() > 1;
             step = QFileInfo(step).absolutePath()) {
            struct stat link = {};
            if (!statOf(step, false, &link) || !S_ISLNK(link.st_mode))
                continue;
            const QString holder = QFileInfo(QFileInfo(step).absolutePath()).canonicalFilePath();
            for (const QString& root : inputs.inputFolders()) {
                if (inside(holder, root))
                    return QStringLiteral("plik wynikowy „%1” prowadzi przez dowiązanie symboliczne "
                                          "„%2” w folderze wejściowym")
                        .arg(shown, QDir::toNativeSeparators(step));
            }
        }
        struct stat st = {};
        if (!statOf(output, false, &st) || S_ISLNK(st.st_mode))
            continue; // a link is replaced by the written file, never followed
        if (!S_ISREG(st.st_mode))
            return QStringLiteral("„%1” istnieje i nie jest zwykłym plikiem").arg(shown);
        const InputCollector::FileId id = idOf(st);
        if (protectedIds.contains(id))
            return QStringLiteral("plik wynikowy „%1” jest zarazem plikiem wejściowym").arg(shown);
        const qsizetype twin = existing.indexOf(id);
        if (twin >= 0)
            return QStringLiteral("pliki wynikowe „%1” i „%2” to ten sam plik").arg(existingNames.at(twin), shown);
        existing.append(id);
        existingNames.append(shown);
    }
    return QString();
}
