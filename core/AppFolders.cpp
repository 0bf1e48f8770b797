#include "core/AppFolders.h"

#include "core/Platform.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

AppFolders AppFolders::under(const QString& appDataFolder)
{
    const QString sep = Platform::separator();
    AppFolders folders;
    folders.orvix = appDataFolder + sep + QStringLiteral("Orvix");
    folders.tabulon = folders.orvix + sep + QStringLiteral("Tabulon");
    folders.data = folders.tabulon + sep + QStringLiteral("Files") + sep;
    folders.temp = folders.tabulon + sep + QStringLiteral("Temp") + sep;
    folders.settingsFile = folders.tabulon + sep + QStringLiteral("Tabulon") + QStringLiteral(".ini");
    return folders;
}

QString ResolveAppData()
{
    return Platform::appDataFolder();
}

bool CreateFolderLevel(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    // QDir::mkdir creates a single level and fails when the parent is missing.
    return QDir().mkdir(folder);
}

void CreateAppFolders(const AppFolders& folders)
{
    for (const QString& folder : {folders.orvix, folders.tabulon, folders.data, folders.temp})
        CreateFolderLevel(folder);
}

void EmptyFolder(const QString& folder)
{
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        // A link is removed itself, also when it points at a folder; what it points
        // at is never touched.
        if (entry.isSymLink() || !entry.isDir())
            QFile::remove(entry.absoluteFilePath());
    }
}
