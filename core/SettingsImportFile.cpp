#include "core/SettingsImportFile.h"

#include "core/Platform.h"
#include "files/SafeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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
    QByteArray bytes;
    if (!SafeFile::Read(path, kMaxSettingsBytes, &bytes))
        return QByteArray();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
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
    return !info.isSymLink() && info.isFile() && info.size() <= kMaxSettingsBytes;
}

bool SettingsImportIsDue(const QString& importFile, const AppFolders& folders)
{
    if (!QFileInfo::exists(folders.settingsFile))
        return true;
    QByteArray stored;
    if (!SafeFile::Read(fingerprintFile(folders), 256, &stored))
        return true;
    const QByteArray last = stored.trimmed();
    return last.isEmpty() || last != fingerprint(importFile);
}

FileResult RememberSettingsImport(const QString& importFile, const AppFolders& folders)
{
    const QByteArray sum = fingerprint(importFile);
    if (sum.isEmpty())
        return {FileFailure::Missing, {}};
    return SafeFile::Write(fingerprintFile(folders), sum + '\n');
}
