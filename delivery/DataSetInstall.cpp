#include "delivery/DataSetInstall.h"

#include "delivery/DataUpdate.h"
#include "delivery/RegularFileReader.h"
#include "protocol/HttpClient.h"
#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/SchoolData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

using Loader = bool (*)(const QString&, SchoolData&, DataFileStatus*);

Loader loaderFor(const QString& name)
{
    if (name == kTeachersFile)
        return LoadTeachers;
    if (name == kSubjectsFile)
        return LoadSubjects;
    if (name == kClassesFile)
        return LoadClasses;
    return nullptr;
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Writes a temporary file beside `path` and renames it over `path`: the name holds
// the old bytes or the new ones, never a part, and a link under that name is
// replaced by the file instead of being followed.
bool writeReplacing(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(temp.handle()) != 0)
        return false;
#endif
    temp.close();
    std::error_code error;
    std::filesystem::rename(fsPath(temp.fileName()), fsPath(path), error);
    if (error)
        return false;
    temp.setAutoRemove(false);
    return true;
}

// The bytes of an installed file; nullopt when there is none (or none that is a
// regular file within the size cap, which counts the same).
std::optional<QByteArray> installedBytes(const QString& path)
{
    QByteArray bytes;
    if (ReadRegularFile(path, HttpClient::kDefaultMaxBodySize, {}, &bytes) != FileReadResult::Read)
        return std::nullopt;
    return bytes;
}

// Puts a file back as it was before the install: its old bytes, or no file.
void putBack(const QString& path, const std::optional<QByteArray>& old)
{
    if (old)
        writeReplacing(path, *old);
    else
        QFile::remove(path);
}

// Copies the installed set into a fresh folder and only then lets it replace the
// backup, so that a copy that fails half-way leaves the earlier backup whole.
bool backUpInstalledSet(const QString& dataFolder)
{
    const QString backup = DataBackupFolder(dataFolder);
    const QString fresh = dataFolder + QStringLiteral("Kopia.nowa");
    RemoveFolderTree(fresh);
    if (!QDir().mkdir(fresh))
        return false;
    for (const QString& name : UpdateFileNames()) {
        const std::optional<QByteArray> bytes = installedBytes(dataFolder + name);
        if (bytes && !writeReplacing(fresh + QLatin1Char('/') + name, *bytes)) {
            RemoveFolderTree(fresh);
            return false;
        }
    }
    RemoveFolderTree(backup.chopped(1));
    std::error_code error;
    std::filesystem::rename(fsPath(fresh), fsPath(backup.chopped(1)), error);
    return !error;
}

} // namespace

void RemoveFolderTree(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    const QFileInfo info(path);
    // QDir would walk through a link to a folder and empty the folder it points at.
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        QFile::remove(path);
    else if (info.isDir())
        QDir(path).removeRecursively();
}

QString DataBackupFolder(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("Kopia") + dataFolder.right(1);
}

bool CheckDataFile(const QString& name, const QString& path, QString* reason)
{
    const Loader load = loaderFor(name);
    SchoolData scratch;
    DataFileStatus status;
    QString why;
    if (!load)
        why = QStringLiteral("nieznany plik danych");
    else if (!load(path, scratch, &status))
        why = status.reason;
    else if (!status.complete)
        why = QStringLiteral("plik kończy się wewnątrz niezamkniętego elementu (jest ucięty)");
    if (reason)
        *reason = why;
    return why.isEmpty();
}

bool DataSetLoads(const QString& folder)
{
    SchoolData scratch;
    return LoadTeachers(folder + kTeachersFile, scratch) && LoadSubjects(folder + kSubjectsFile, scratch) &&
           LoadClasses(folder + kClassesFile, scratch);
}

bool InstallDataSet(const QString& dataFolder, const QList<DataSetFile>& files)
{
    // A failed backup is no reason to keep good new data out: the install itself
    // stays all or nothing through the old bytes kept here.
    if (DataSetLoads(dataFolder))
        backUpInstalledSet(dataFolder);

    QList<std::optional<QByteArray>> previous;
    for (const DataSetFile& file : files)
        previous.append(installedBytes(dataFolder + file.name));
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (writeReplacing(dataFolder + files.at(i).name, files.at(i).bytes))
            continue;
        for (qsizetype j = 0; j < i; ++j)
            putBack(dataFolder + files.at(j).name, previous.at(j));
        return false;
    }
    return true;
}

DataRecovery RecoverDataSet(const QString& dataFolder)
{
    if (DataSetLoads(dataFolder))
        return DataRecovery::NotNeeded;
    const QString backup = DataBackupFolder(dataFolder);
    if (!DataSetLoads(backup))
        return DataRecovery::Failed;
    QList<DataSetFile> files;
    for (const QString& name : UpdateFileNames()) {
        if (const std::optional<QByteArray> bytes = installedBytes(backup + name))
            files.append({name, *bytes});
    }
    return InstallDataSet(dataFolder, files) ? DataRecovery::Restored : DataRecovery::Failed;
}

bool LoadSchoolDataOrBackup()
{
    return LoadSchoolData([] {
        if (RecoverDataSet(appState().DataFolder) != DataRecovery::Restored)
            return false;
        ShowMessage(KindNotice, IconInformation,
                    QStringLiteral("Pliki danych były uszkodzone.\rProgram przywrócił ich poprzednią, "
                                   "poprawną wersję."));
        return true;
    });
}
