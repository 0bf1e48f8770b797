#include "update/DataSetInstall.h"

#include "core/SchoolData.h"
#include "protocol/HttpClient.h"
#include "update/DataUpdate.h"
#include "update/VersionFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <filesystem>
#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

const QString kJournalName = QStringLiteral("instalacja.dziennik");
const QString kStagingPrefix = QStringLiteral("Nowe-");
const QByteArray kJournalMarker = "TABULON-INSTALACJA 1";
constexpr int kLockWaitMs = 20000;

DataSetInstallStepHook& stepHook()
{
    static DataSetInstallStepHook hook;
    return hook;
}

void step(const QString& name)
{
    if (stepHook())
        stepHook()(name);
}

std::optional<DataFileKind> kindOf(const QString& name)
{
    if (name == kTeachersFile)
        return DataFileKind::Teachers;
    if (name == kSubjectsFile)
        return DataFileKind::Subjects;
    if (name == kClassesFile)
        return DataFileKind::Classes;
    return std::nullopt;
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString withoutSeparator(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

// Makes the names in `folder` (renames, new files) last across a power cut.
void syncFolder(const QString& folder)
{
    SafeFile::SyncFolder(withoutSeparator(folder));
}

bool renameOver(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    return !error;
}

// The bytes of a file of the set; nullopt when there is none (or none that is a
// regular file within the size cap, which counts the same).
std::optional<QByteArray> readSetFile(const QString& path)
{
    QByteArray bytes;
    if (!SafeFile::Read(path, HttpClient::kDefaultMaxBodySize, &bytes))
        return std::nullopt;
    return bytes;
}

QByteArray digest(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

bool isRealFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// A data set is sound when its data load and its version file can be acted on: only
// such a set may replace the backup.
bool versionFileSoundIn(const QString& folder)
{
    const std::optional<QByteArray> bytes = readSetFile(folder + kVersionFileName);
    return bytes && VersionFileIsSound(*bytes);
}

// The backup is replaced by a complete copy in three renames: the copy is written
// as "Kopia.nowa", the backup set aside as "Kopia.stara", the copy renamed in, the
// old one removed. Whatever step a crash stops, repairBackup() finds a whole backup.
bool backUpInstalledSet(const QString& dataFolder)
{
    const QString backup = withoutSeparator(DataBackupFolder(dataFolder));
    const QString fresh = backup + QStringLiteral(".nowa");
    const QString old = backup + QStringLiteral(".stara");
    RemoveFolderTree(fresh);
    if (!QDir().mkdir(fresh))
        return false;
    for (const QString& name : UpdateFileNames()) {
        const std::optional<QByteArray> bytes = readSetFile(dataFolder + name);
        if (bytes && !SafeFile::Write(fresh + QLatin1Char('/') + name, *bytes)) {
            RemoveFolderTree(fresh);
            return false;
        }
    }
    syncFolder(fresh);
    step(QStringLiteral("backup written"));
    RemoveFolderTree(old);
    if (QFileInfo(backup).isSymLink())
        QFile::remove(backup);
    if (QFileInfo::exists(backup) && !renameOver(backup, old))
        return false;
    step(QStringLiteral("backup set aside"));
    const bool renamed = renameOver(fresh, backup);
    syncFolder(dataFolder);
    step(QStringLiteral("backup renamed"));
    RemoveFolderTree(old);
    step(QStringLiteral("backup done"));
    return renamed;
}

void repairBackup(const QString& dataFolder)
{
    const QString backup = withoutSeparator(DataBackupFolder(dataFolder));
    const QString fresh = backup + QStringLiteral(".nowa");
    const QString old = backup + QStringLiteral(".stara");
    if (!isRealFolder(backup)) {
        RemoveFolderTree(backup);
        // "Kopia.stara" is set aside only once "Kopia.nowa" is complete.
        if (isRealFolder(old) && isRealFolder(fresh))
            renameOver(fresh, backup);
        else if (isRealFolder(old))
            renameOver(old, backup);
    }
    RemoveFolderTree(fresh);
    RemoveFolderTree(old);
}

struct Journal
{
    QString staging;                         // the staging folder's name inside the data folder
    QList<QPair<QString, QByteArray>> files; // name and SHA-256 in hex
};

QByteArray journalText(const Journal& journal)
{
    QByteArray text = kJournalMarker + '\n' + journal.staging.toUtf8() + '\n';
    for (const auto& [name, hash] : journal.files)
        text += hash + ' ' + name.toUtf8() + '\n';
    return text;
}

// Only names this program writes: a journal found on disk is as hostile as any file.
std::optional<Journal> parseJournal(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || lines.first() != kJournalMarker || !lines.last().isEmpty())
        return std::nullopt;
    Journal journal;
    journal.staging = QString::fromUtf8(lines.at(1));
    static const QRegularExpression stagingName(QStringLiteral("^Nowe-[A-Za-z0-9]{1,32}$"));
    if (!stagingName.match(journal.staging).hasMatch())
        return std::nullopt;
    const QStringList names = UpdateFileNames();
    for (qsizetype i = 2; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const QString name = QString::fromUtf8(line.mid(65));
        if (line.size() < 66 || line.at(64) != ' ' || !names.contains(name))
            return std::nullopt;
        journal.files.append({name, line.left(64)});
    }
    return journal;
}

enum class Finish
{
    Done,       // the set is in place; journal and staging are gone
    RetryLater, // a rename failed: journal and staging stay for the next try
    Lost,       // a file is neither staged nor in place (someone else's doing): the
                // journal is of no more use and goes; the backup is what is left
};

// Puts every file of the journal's set in place, from its staging folder, and then
// removes the journal and the staging folder.
Finish finishFromJournal(const QString& dataFolder, const Journal& journal)
{
    const QString staging = dataFolder + journal.staging + QLatin1Char('/');
    bool renamed = true;
    bool lost = false;
    for (const auto& [name, hash] : journal.files) {
        const QString target = dataFolder + name;
        const std::optional<QByteArray> staged = readSetFile(staging + name);
        if (staged && digest(*staged) == hash) {
            renamed = renameOver(staging + name, target) && renamed;
        } else {
            const std::optional<QByteArray> installed = readSetFile(target);
            lost = lost || !installed || digest(*installed) != hash;
        }
        step(QStringLiteral("moved ") + name);
    }
    syncFolder(dataFolder);
    step(QStringLiteral("all moved"));
    if (!renamed && !lost)
        return Finish::RetryLater;
    QFile::remove(dataFolder + kJournalName);
    syncFolder(dataFolder);
    step(QStringLiteral("journal removed"));
    RemoveFolderTree(staging);
    return lost ? Finish::Lost : Finish::Done;
}

// Staging folders no journal names are what an install left before it was
// committed: the set installed is still the old one, whole.
void removeStaging(const QString& dataFolder, const QString& keep = {})
{
    QStringList names = QDir(dataFolder)
                            .entryList({kStagingPrefix + QLatin1Char('*')},
                                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.removeAll(keep);
    for (const QString& name : names)
        RemoveFolderTree(dataFolder + name);
    // Temporary files of an interrupted write of the journal.
    const QStringList temporaries =
        QDir(dataFolder)
            .entryList({QLatin1Char('.') + kJournalName + QStringLiteral(".*.tmp")},
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : temporaries)
        QFile::remove(dataFolder + name);
}

// Finishes or throws away an interrupted install, whichever the journal says.
// Returns whether a journal was found; `finish` says how it went.
bool finishInterrupted(const QString& dataFolder, Finish* finish)
{
    *finish = Finish::Done;
    bool found = false;
    QString keep;
    const QString journalPath = dataFolder + kJournalName;
    if (QFileInfo(journalPath).isSymLink() || QFileInfo::exists(journalPath)) {
        const std::optional<QByteArray> text = readSetFile(journalPath);
        const std::optional<Journal> journal = text ? parseJournal(*text) : std::nullopt;
        if (journal) {
            found = true;
            *finish = finishFromJournal(dataFolder, *journal);
            if (*finish == Finish::RetryLater)
                keep = journal->staging;
        } else {
            // A journal that cannot be read was never written by an install (it is
            // written whole or not at all), so nothing was moved under it.
            QFile::remove(journalPath);
        }
    }
    removeStaging(dataFolder, keep);
    return found;
}

// One install or repair at a time per data folder, across programs: an advisory lock
// on the data folder itself, so that no file is added beside the set. The system
// drops the lock with its program, so a crash leaves no stale lock. A folder that
// cannot be opened locks nothing, but then no one can install and the writes
// themselves tell why.
class Locked
{
public:
    explicit Locked(const QString& dataFolder)
    {
#ifdef Q_OS_UNIX
        const QByteArray name = QFile::encodeName(withoutSeparator(dataFolder));
        m_fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            return;
        QElapsedTimer waited;
        waited.start();
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return; // no locking on this disk; see above
            if (waited.elapsed() > kLockWaitMs) {
                m_busy = true;
                return;
            }
            QThread::msleep(20);
        }
#else
        m_lock = std::make_unique<QLockFile>(withoutSeparator(dataFolder) + QStringLiteral(".blokada"));
        m_lock->setStaleLockTime(0);
        m_busy = !m_lock->tryLock(kLockWaitMs) && m_lock->error() == QLockFile::LockFailedError;
#endif
    }
    ~Locked()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0)
            ::close(m_fd); // drops the lock
#endif
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

    // Another program has held the lock for longer than anyone should.
    bool busy() const
    {
        return m_busy;
    }

private:
    bool m_busy = false;
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    std::unique_ptr<QLockFile> m_lock;
#endif
};

DataSetInstallResult installLocked(const QString& dataFolder, const QList<DataSetFile>& files,
                                   bool backUpFirst)
{
    DataSetInstallResult result;
    for (const DataSetFile& file : files) {
        const QFileInfo target(dataFolder + file.name);
        if (target.exists() && !target.isSymLink() && !target.isFile()) {
            result.file = file.name;
            result.failure.failure = FileFailure::NotRegular;
            return result;
        }
    }
    // A failed backup is no reason to keep good new data out.
    if (backUpFirst && DataSetLoads(dataFolder) && versionFileSoundIn(dataFolder))
        backUpInstalledSet(dataFolder);

    // A fresh name of our own; while the lock is held no other staging folder lives.
    const QString stagingName =
        kStagingPrefix + QString::number(QRandomGenerator::global()->generate64(), 36);
    const QString staging = dataFolder + stagingName;
    RemoveFolderTree(staging);
    result.failure = SafeFile::MakeFolder(staging);
    if (!result.failure)
        return result;
    // Until the journal names it, the staging folder goes with any failure.
    struct Discard
    {
        QString folder;
        ~Discard()
        {
            if (!folder.isEmpty())
                RemoveFolderTree(folder);
        }
    } discard{staging};
    Journal journal;
    journal.staging = stagingName;
    for (const DataSetFile& file : files) {
        result.failure = SafeFile::Write(staging + QLatin1Char('/') + file.name, file.bytes);
        if (!result.failure) {
            result.file = file.name;
            return result;
        }
        journal.files.append({file.name, digest(file.bytes)});
        step(QStringLiteral("staged ") + file.name);
    }
    syncFolder(staging);
    // The one step that makes the new set the installed one.
    result.failure = SafeFile::Write(dataFolder + kJournalName, journalText(journal));
    if (!result.failure)
        return result;
    discard.folder.clear();
    syncFolder(dataFolder);
    step(QStringLiteral("committed"));
    result.outcome = finishFromJournal(dataFolder, journal) == Finish::Done
                         ? DataSetInstallResult::Installed
                         : DataSetInstallResult::Unfinished;
    return result;
}

} // namespace

void RemoveFolderTree(const QString& folder)
{
    const QString path = withoutSeparator(folder);
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

bool CheckDataBytes(const QString& name, const QByteArray& bytes, QString* reason)
{
    const std::optional<DataFileKind> kind = kindOf(name);
    SchoolData scratch;
    DataFileStatus status;
    QString why;
    if (!kind)
        why = QStringLiteral("nieznany plik danych");
    else if (!LoadDataBuffer(*kind, bytes, scratch, &status))
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

DataSetInstallResult InstallDataSet(const QString& dataFolder, const QList<DataSetFile>& files)
{
    step(QStringLiteral("start"));
    const Locked locked(dataFolder);
    if (locked.busy()) {
        DataSetInstallResult result;
        result.busy = true;
        return result;
    }
    Finish finish = Finish::Done;
    finishInterrupted(dataFolder, &finish);
    repairBackup(dataFolder);
    step(QStringLiteral("repaired"));
    if (finish == Finish::RetryLater) {
        // The set committed before this one is not all in place; a second journal
        // would lose it, and the data are not as they were either.
        DataSetInstallResult result;
        result.outcome = DataSetInstallResult::Unfinished;
        return result;
    }
    return installLocked(dataFolder, files, true);
}

DataSetRepair RepairDataSet(const QString& dataFolder, bool restoreData)
{
    DataSetRepair repair;
    const Locked locked(dataFolder);
    if (locked.busy())
        return repair; // another program is at it, and will leave a whole set
    Finish finish = Finish::Done;
    repair.finishedInstall = finishInterrupted(dataFolder, &finish) && finish == Finish::Done;
    repairBackup(dataFolder);

    const QString backup = DataBackupFolder(dataFolder);
    // A damaged or missing version file would stop every later update. The backup's
    // describes the same data or older ones, so the next update fetches whatever is
    // newer.
    if (!versionFileSoundIn(dataFolder) && versionFileSoundIn(backup)) {
        const std::optional<QByteArray> bytes = readSetFile(backup + kVersionFileName);
        repair.restoredVersionFile =
            bytes && installLocked(dataFolder, {{kVersionFileName, *bytes}}, false).outcome ==
                         DataSetInstallResult::Installed;
    }
    if (!restoreData || DataSetLoads(dataFolder))
        return repair;
    if (!DataSetLoads(backup)) {
        repair.failed = true;
        return repair;
    }
    QList<DataSetFile> files;
    for (const QString& name : UpdateFileNames()) {
        if (const std::optional<QByteArray> bytes = readSetFile(backup + name))
            files.append({name, *bytes});
    }
    repair.restoredBackup =
        installLocked(dataFolder, files, false).outcome == DataSetInstallResult::Installed;
    repair.failed = !repair.restoredBackup;
    return repair;
}

void SetDataSetInstallStepHook(DataSetInstallStepHook hook)
{
    stepHook() = std::move(hook);
}
