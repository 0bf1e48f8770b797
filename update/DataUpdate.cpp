#include "update/DataUpdate.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/SchoolData.h"
#include "core/TextLines.h"
#include "encoding/ValueCipher.h"
#include "protocol/HttpClient.h"
#include "update/DataSetInstall.h"
#include "update/RegularFileReader.h"
#include "update/VersionDate.h"
#include "update/VersionFile.h"

#include <QHash>

#include <optional>

namespace {

const QString kMsgNoFolder = QStringLiteral(
    "Wystąpiły problemy z dostępem do plików aktualizacji.\rFolder z plikami został usunięty lub "
    "sieć nie działa.\rZgłoś problem administratorowi.");
const QString kMsgNoInternet =
    QStringLiteral("Wystąpiły problemy z dostępem do plików aktualizacji.\rPrawdopodobnie brak łączności z "
                   "internetem.\rSprawdź później.");
const QString kMsgVersionFileGone =
    QStringLiteral("Usunięto plik z informacjami o wersji programu.\rZainstaluj program ponownie.");
const QString kMsgVersionFileDamaged =
    QStringLiteral("Plik informacji o wersji jest uszkodzony.\rAktualizacja jest niemożliwa.\rZgłoś problem "
                   "administratorowi.");
const QString kMsgAllCurrent =
    QStringLiteral("Posiadasz aktualną wersję programu i aktualne dane konieczne do pracy.");
const QString kMsgDataUpdated = QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.");
const QString kMsgUpdatedButOutdated =
    QStringLiteral("Dane zostały zaktualizowane, ale Twoja wersja programu jest nieaktualna.");
const QString kMsgAdviceNetwork =
    QStringLiteral("Poproś administratora, by zainstalował nową wersję programu.");
const QString kMsgAdviceHome = QStringLiteral("Ściągnij program ze strony szkolnej i zainstaluj go.");
const QString kMsgOutdated = QStringLiteral("Twoja wersja programu jest nieaktualna.\r");
const QString kMsgFetched = QStringLiteral("Dane zostały pobrane.\rŻyczę przyjemnej pracy.");
const QString kHeadingUpdate = QStringLiteral("Wystąpiły problemy z aktualizacją.");
const QString kHeadingFirstFetch = QStringLiteral("Wystąpiły problemy z pobraniem danych.");

enum class Fetched
{
    Ok,
    Unreachable, // no answer, an error answer, the time limit ran out
    Damaged,     // not a regular file, too large, or failed its check
    Cancelled,
    NotSaved, // the program's own folder refused the file
};

bool isHomeMode()
{
    return appState().Settings.WorkMode == kWorkModeHome;
}

void tell(const QString& text)
{
    ShowMessage(KindNotice, IconInformation, text);
}

// One message for a failed fetch: what went wrong, with which file, and that the
// installed data are as they were. `detail` says more where there is more to say (a
// full disk).
QString failureText(const QString& heading, Fetched what, const QString& name, const QString& detail = {})
{
    QString reason;
    switch (what) {
    case Fetched::Damaged:
        reason = QStringLiteral("Plik „%1” jest uszkodzony.").arg(name);
        break;
    case Fetched::Cancelled:
        reason = QStringLiteral("Pobieranie przerwano.");
        break;
    case Fetched::NotSaved:
        // `detail` is a clause to follow a colon (FileFailureText) or a sentence.
        if (!name.isEmpty())
            reason = QStringLiteral("Nie udało się zapisać pliku „%1”: %2.").arg(name, detail);
        else if (detail.endsWith(QLatin1Char('.')))
            reason = QStringLiteral("Nie udało się zapisać pobranych plików.\r") + detail;
        else if (!detail.isEmpty())
            reason = QStringLiteral("Nie udało się zapisać pobranych plików: %1.").arg(detail);
        else
            reason = QStringLiteral("Nie udało się zapisać pobranych plików.");
        break;
    case Fetched::Ok:
    case Fetched::Unreachable:
        reason = QStringLiteral("Brak dostępu do pliku „%1”.").arg(name);
        break;
    }
    return heading + QLatin1Char('\r') + reason + QStringLiteral("\rDane nie zostały zmienione.");
}

// The new set was committed but not all of it is in place: not "unchanged", and
// not usable until the next start finishes it.
QString unfinishedText(const QString& heading)
{
    return heading + QStringLiteral("\rNie wszystkie nowe pliki danych są już na miejscu.\rUruchom program "
                                    "ponownie, a dane zostaną uzupełnione.");
}

// The files of one update run, fetched one by one into memory under one progress
// window and over one connection. Nothing is written until the whole set has been
// checked, and what is installed is exactly these bytes: nothing on disk stands
// between the check and the install, nor can another running program touch it.
class Staging
{
public:
    explicit Staging(const QString& title) : m_progress(title)
    {
        const UpdateLimits& limits = updateLimits();
        m_http.setMaxBodySize(limits.maxFileBytes);
        m_http.setStallTimeout(limits.stallSeconds);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    Fetched fetch(const QString& name)
    {
        const UpdateLimits& limits = updateLimits();
        TransferControl control;
        control.timeLimitSeconds = limits.fileSeconds;
        control.progress = [this, name](qint64 done, qint64 total) {
            return m_progress.report(name, done, total);
        };
        if (!control.progress(0, 0))
            return Fetched::Cancelled;

        const QString source = appState().Settings.UpdateSource + name;
        QByteArray bytes;
        if (isHomeMode()) {
            m_http.setControl(control);
            if (!m_http.get(source, &bytes)) {
                switch (m_http.lastFailure()) {
                case HttpClient::Failure::Cancelled:
                    return Fetched::Cancelled;
                case HttpClient::Failure::TooLarge:
                    return Fetched::Damaged;
                default:
                    return Fetched::Unreachable;
                }
            }
        } else {
            switch (ReadRegularFile(source, limits.maxFileBytes, control, &bytes)) {
            case FileReadResult::Read:
                break;
            case FileReadResult::NotRegular:
            case FileReadResult::TooLarge:
                return Fetched::Damaged;
            case FileReadResult::Cancelled:
                return Fetched::Cancelled;
            default:
                return Fetched::Unreachable;
            }
        }
        m_bytes.insert(name, bytes);
        return Fetched::Ok;
    }

    QByteArray bytes(const QString& name) const { return m_bytes.value(name); }

private:
    ProgressScope m_progress;
    HttpClient m_http;
    QHash<QString, QByteArray> m_bytes;
};

// True when any of lines 1 to 3 of `fresh` holds a later date than `current`; both
// files have been found sound.
bool dataAreNewer(const QList<QByteArray>& current, const QList<QByteArray>& fresh)
{
    for (int i = 1; i <= 3; ++i) {
        if (ParseVersionDate(VersionLine(current, i)) < ParseVersionDate(VersionLine(fresh, i)))
            return true;
    }
    return false;
}

// Current lines 1 to 3 := New lines 1 to 3; everything else of Current stays.
QByteArray mergedVersionFile(const QList<QByteArray>& current, const QList<QByteArray>& fresh)
{
    QByteArray text;
    for (qsizetype i = 0; i < current.size(); ++i)
        text += (i >= 1 && i <= 3 ? fresh.at(i) : current.at(i)) + "\r\n";
    return text;
}

// Fetches the data files into `staging` and checks each as start-up loads it. On
// failure `failedName` names the file.
Fetched fetchDataFiles(Staging& staging, QString* failedName)
{
    const QStringList names = UpdateFileNames().mid(0, 3);
    for (const QString& name : names) {
        *failedName = name;
        const Fetched fetched = staging.fetch(name);
        if (fetched != Fetched::Ok)
            return fetched;
    }
    for (const QString& name : names) {
        *failedName = name;
        if (!CheckDataBytes(name, staging.bytes(name)))
            return Fetched::Damaged;
    }
    return Fetched::Ok;
}

QList<DataSetFile> stagedDataFiles(const Staging& staging)
{
    QList<DataSetFile> files;
    for (const QString& name : UpdateFileNames().mid(0, 3))
        files.append({name, staging.bytes(name)});
    return files;
}

// Installs the checked set. The message when it was not installed: "unchanged" only
// when that is true.
std::optional<QString> installFailure(const QString& heading, const QList<DataSetFile>& files)
{
    const DataSetInstallResult result = InstallDataSet(appState().DataFolder, files);
    switch (result.outcome) {
    case DataSetInstallResult::Installed:
        break;
    case DataSetInstallResult::Unfinished:
        return unfinishedText(heading);
    case DataSetInstallResult::Unchanged:
        if (result.busy)
            return failureText(heading, Fetched::NotSaved, {},
                               QStringLiteral("Inny uruchomiony program właśnie instaluje dane."));
        return failureText(heading, Fetched::NotSaved, result.file, FileFailureText(result.failure));
    }
    return std::nullopt;
}

} // namespace

QStringList UpdateFileNames()
{
    return {QStringLiteral("uczniowie.kls"), QStringLiteral("nauczyciele.kbs"),
            QStringLiteral("przedmioty.kps"), kVersionFileName};
}

UpdateLimits& updateLimits()
{
    static UpdateLimits limits;
    return limits;
}

int InitialDataFetch()
{
    Staging staging(QStringLiteral("Pobieranie danych szkoły"));
    QString name;
    Fetched fetched = fetchDataFiles(staging, &name);
    if (fetched == Fetched::Ok) {
        name = kVersionFileName;
        fetched = staging.fetch(name);
    }
    if (fetched == Fetched::Ok && !VersionFileIsSound(TextLines::split(staging.bytes(kVersionFileName))))
        fetched = Fetched::Damaged;
    if (fetched == Fetched::Ok) {
        QList<DataSetFile> files = stagedDataFiles(staging);
        files.append({kVersionFileName, staging.bytes(kVersionFileName)});
        if (const std::optional<QString> failure = installFailure(kHeadingFirstFetch, files)) {
            tell(*failure);
            return InitialFetchFailed;
        }
    }
    if (fetched != Fetched::Ok) {
        tell(failureText(kHeadingFirstFetch, fetched, name));
        return InitialFetchFailed;
    }
    tell(kMsgFetched);
    return InitialFetchDone;
}

int CheckForUpdate()
{
    const AppState& s = appState();
    // An install another start did not finish, or a damaged version file with a good
    // one in the backup, would otherwise decide this update.
    RepairDataSet(s.DataFolder, false);
    Staging staging(QStringLiteral("Aktualizacja danych szkoły"));
    switch (staging.fetch(kVersionFileName)) {
    case Fetched::Ok:
        break;
    case Fetched::Damaged:
        tell(kMsgVersionFileDamaged);
        return UpdateNothingDone;
    case Fetched::Cancelled:
        tell(failureText(kHeadingUpdate, Fetched::Cancelled, kVersionFileName));
        return UpdateNothingDone;
    case Fetched::NotSaved:
        tell(failureText(kHeadingUpdate, Fetched::NotSaved, {}));
        return UpdateNothingDone;
    case Fetched::Unreachable:
        tell(isHomeMode() ? kMsgNoInternet : kMsgNoFolder);
        return UpdateNothingDone;
    }

    QByteArray installed;
    if (ReadRegularFile(s.DataFolder + kVersionFileName, updateLimits().maxFileBytes, {}, &installed) !=
        FileReadResult::Read) {
        tell(kMsgVersionFileGone);
        return UpdateNothingDone;
    }
    const QList<QByteArray> fresh = TextLines::split(staging.bytes(kVersionFileName));
    const QList<QByteArray> current = TextLines::split(installed);
    // Dates that cannot be compared are as damaging as a wrong marker: nothing can be
    // decided from such a file.
    if (!VersionFileIsSound(fresh) || !VersionFileIsSound(current)) {
        tell(kMsgVersionFileDamaged);
        return UpdateNothingDone;
    }

    const bool outdated = VersionLine(fresh, 4).left(kProgramVersion.size()) != kProgramVersion;
    const QString advice = isHomeMode() ? kMsgAdviceHome : kMsgAdviceNetwork;
    if (!dataAreNewer(current, fresh)) {
        if (outdated) {
            tell(kMsgOutdated + advice);
            return UpdateProgramOutdated;
        }
        tell(kMsgAllCurrent);
        return UpdateAllCurrent;
    }

    QString name;
    Fetched fetched = fetchDataFiles(staging, &name);
    if (fetched == Fetched::Ok) {
        QList<DataSetFile> files = stagedDataFiles(staging);
        files.append({kVersionFileName, mergedVersionFile(current, fresh)});
        if (const std::optional<QString> failure = installFailure(kHeadingUpdate, files)) {
            tell(*failure);
            return UpdateFetchFailed;
        }
    }
    if (fetched != Fetched::Ok) {
        tell(failureText(kHeadingUpdate, fetched, name));
        return UpdateFetchFailed;
    }
    if (outdated) {
        tell(kMsgUpdatedButOutdated);
        tell(advice);
        return UpdateInstalledButOutdated;
    }
    tell(kMsgDataUpdated);
    return UpdateDataInstalled;
}

bool LoadSchoolDataOrBackup()
{
    const QString& dataFolder = appState().DataFolder;
    RepairDataSet(dataFolder, false);
    return LoadSchoolData([&dataFolder] {
        if (!RepairDataSet(dataFolder, true).restoredBackup)
            return false;
        tell(QStringLiteral("Pliki danych były uszkodzone.\rProgram przywrócił ich poprzednią, "
                            "poprawną wersję."));
        return true;
    });
}
