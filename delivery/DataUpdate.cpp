#include "delivery/DataUpdate.h"

#include "delivery/DataSetInstall.h"
#include "delivery/RegularFileReader.h"
#include "delivery/VersionDate.h"
#include "document/ValueCipher.h"
#include "protocol/HttpClient.h"
#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/Progress.h"
#include "shell/TextLines.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>

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

constexpr int kVersionFileLines = 5;

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
// installed data are as they were.
QString failureText(const QString& heading, Fetched what, const QString& name)
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
        reason = QStringLiteral("Nie udało się zapisać pobranych plików.");
        break;
    case Fetched::Ok:
    case Fetched::Unreachable:
        reason = QStringLiteral("Brak dostępu do pliku „%1”.").arg(name);
        break;
    }
    return heading + QLatin1Char('\r') + reason + QStringLiteral("\rDane nie zostały zmienione.");
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// The files of one update run, fetched one by one into the staging folder under one
// progress window and over one connection. The folder goes with the run, whatever
// its outcome.
class Staging
{
public:
    explicit Staging(const QString& title) : m_progress(title), m_folder(UpdateStagingFolder())
    {
        RemoveFolderTree(m_folder);
        m_ready = QDir().mkpath(m_folder);
        const UpdateLimits& limits = updateLimits();
        m_http.setMaxBodySize(limits.maxFileBytes);
        m_http.setStallTimeout(limits.stallSeconds);
    }
    ~Staging() { RemoveFolderTree(m_folder); }
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
        if (!m_ready || !writeWhole(path(name), bytes))
            return Fetched::NotSaved;
        m_bytes.insert(name, bytes);
        return Fetched::Ok;
    }

    QString path(const QString& name) const { return m_folder + name; }
    QByteArray bytes(const QString& name) const { return m_bytes.value(name); }

private:
    ProgressScope m_progress;
    HttpClient m_http;
    QString m_folder;
    bool m_ready = false;
    QHash<QString, QByteArray> m_bytes;
};

QString decodeLine(const QList<QByteArray>& lines, int index)
{
    return index < lines.size() ? DecodeValue(QString::fromLatin1(lines.at(index))) : QString();
}

// A version file the program can act on: its marker, three dates it can read and
// the program version line.
bool versionFileSound(const QList<QByteArray>& lines)
{
    if (lines.size() < kVersionFileLines || decodeLine(lines, 0) != kVersionMarker)
        return false;
    for (int i = 1; i <= 3; ++i) {
        if (!ParseVersionDate(decodeLine(lines, i)).isValid())
            return false;
    }
    return true;
}

// True when any of lines 1 to 3 of `fresh` holds a later date than `current`; both
// files have been found sound.
bool dataAreNewer(const QList<QByteArray>& current, const QList<QByteArray>& fresh)
{
    for (int i = 1; i <= 3; ++i) {
        if (ParseVersionDate(decodeLine(current, i)) < ParseVersionDate(decodeLine(fresh, i)))
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
        if (!CheckDataFile(name, staging.path(name)))
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

QString UpdateStagingFolder()
{
    const QString& temp = appState().TempFolder;
    return temp + QStringLiteral("Aktualizacja") + temp.right(1);
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
    if (fetched == Fetched::Ok && !versionFileSound(TextLines::split(staging.bytes(kVersionFileName))))
        fetched = Fetched::Damaged;
    if (fetched == Fetched::Ok) {
        QList<DataSetFile> files = stagedDataFiles(staging);
        files.append({kVersionFileName, staging.bytes(kVersionFileName)});
        if (!InstallDataSet(appState().DataFolder, files))
            fetched = Fetched::NotSaved;
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
        tell(failureText(kHeadingUpdate, Fetched::NotSaved, kVersionFileName));
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
    if (!versionFileSound(fresh) || !versionFileSound(current)) {
        tell(kMsgVersionFileDamaged);
        return UpdateNothingDone;
    }

    const bool outdated = decodeLine(fresh, 4).left(kProgramVersion.size()) != kProgramVersion;
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
        if (!InstallDataSet(s.DataFolder, files))
            fetched = Fetched::NotSaved;
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
