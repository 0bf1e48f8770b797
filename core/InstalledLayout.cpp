#include "core/InstalledLayout.h"

#include "core/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString SharedFilesFolder(const QString& programFolder)
{
    const QString sep = Platform::separator();
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("../share/tabulon"));
    // Only a program that lies in a folder called bin has an installed layout; a
    // build tree's bin/ has no share/ beside it.
    const QString folderName = QDir(QDir::cleanPath(programFolder)).dirName();
    if (folderName == QStringLiteral("bin") && QFileInfo(installed).isDir())
        return QDir::toNativeSeparators(installed) + sep;
    return programFolder;
}

QString RunningProgramFolder()
{
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!folder.endsWith(Platform::separator()))
        folder += Platform::separator();
    return folder;
}

QString HelpPage(const QString& programFolder)
{
    return SharedFilesFolder(programFolder) + QStringLiteral("Pomoc") + Platform::separator() +
           QStringLiteral("index.htm");
}
