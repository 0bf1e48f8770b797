#include "shell/SettingsImportFile.h"

#include "shell/Platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kImportName = QStringLiteral("tabulon.ini");
// A settings file is nine short lines; anything larger is not one.
constexpr qint64 kMaxSettingsBytes = 1024 * 1024;

QString systemSettingsFolder()
{
    const QString chosen = qEnvironmentVariable(kSystemSettingsFolderVariable);
    if (!chosen.isEmpty())
        return chosen;
#ifdef Q_OS_UNIX
    return QStringLiteral("/etc/tabulon");
#else
    return QString();
#endif
}

QString fingerprintFile(const AppFolders& folders)
{
    return folders.tabulon + Platform::separator() + QStringLiteral("Tabulon.ini.sha256");
}

// Hex SHA-256 of the file; empty when it cannot be read as a settings file.
QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    if (!SettingsImportIsPlainFile(path) || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.read(kMaxSettingsBytes), QCryptographicHash::Sha256).toHex();
}

} // namespace

QString SettingsImportFile(const QString& appFolder)
{
    const QString beside = appFolder + kImportName;
    if (QFileInfo::exists(beside))
        return beside;
    const QString folder = systemSettingsFolder();
    if (folder.isEmpty())
        return QString();
    const QString system = QDir(folder).filePath(kImportName);
    return QFileInfo::exists(system) ? system : QString();
}

bool IsBesideProgram(const QString& importFile, const QString& appFolder)
{
    return importFile == appFolder + kImportName;
}

bool SettingsImportIsPlainFile(const QString& importFile)
{
    const QFileInfo info(importFile);
    return info.isFile() && info.size() <= kMaxSettingsBytes;
}

bool SettingsImportIsDue(const QString& importFile, const AppFolders& folders)
{
    if (!QFileInfo::exists(folders.settingsFile))
        return true;
    QFile stored(fingerprintFile(folders));
    if (!stored.open(QIODevice::ReadOnly))
        return true;
    const QByteArray last = stored.read(256).trimmed();
    return last.isEmpty() || last != fingerprint(importFile);
}

bool RememberSettingsImport(const QString& importFile, const AppFolders& folders)
{
    const QByteArray sum = fingerprint(importFile);
    QSaveFile file(fingerprintFile(folders));
    if (sum.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(sum + '\n') != sum.size() + 1)
        return false;
    return file.commit();
}
