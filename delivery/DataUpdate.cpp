#include "delivery/DataUpdate.h"

#include "delivery/VersionDate.h"
#include "document/ValueCipher.h"
#include "protocol/HttpClient.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

#include <QFile>
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
const QString kMsgVersionDateDamaged =
    QStringLiteral("Plik informacji o wersji jest uszkodzony.\rZgłoś problem administratorowi.");
const QString kMsgAllCurrent =
    QStringLiteral("Posiadasz aktualną wersję programu i aktualne dane konieczne do pracy.");
const QString kMsgDataUpdated = QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.");
const QString kMsgUpdateFailed =
    QStringLiteral("Wystąpiły problemy z aktualizacją.\rBrak dostępu do danych.");
const QString kMsgUpdatedButOutdated =
    QStringLiteral("Dane zostały zaktualizowane, ale Twoja wersja programu jest nieaktualna.");
const QString kMsgAdviceNetwork =
    QStringLiteral("Poproś administratora, by zainstalował nową wersję programu.");
const QString kMsgAdviceHome = QStringLiteral("Ściągnij program ze strony szkolnej i zainstaluj go.");
const QString kMsgOutdated = QStringLiteral("Twoja wersja programu jest nieaktualna.\r");
const QString kMsgFetched = QStringLiteral("Dane zostały pobrane.\rŻyczę przyjemnej pracy.");
const QString kMsgFetchFailed =
    QStringLiteral("Wystąpiły problemy z pobraniem danych.\rDane są niedostępne lub uszkodzone.");

constexpr int kVersionFileLines = 5;

bool isHomeMode()
{
    return appState().Settings.WorkMode == kWorkModeHome;
}

void tell(const QString& text)
{
    ShowMessage(KindNotice, IconInformation, text);
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

// Reads a file of the network folder, refusing one too large to be a data file.
bool readWhole(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > HttpClient::kDefaultMaxBodySize)
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool fetchOne(HttpClient& http, const QString& name, QByteArray& buffer)
{
    const AppState& s = appState();
    const QString source = s.Settings.UpdateSource + name;
    buffer.clear();
    if (isHomeMode()) {
        if (!http.get(source, &buffer))
            return false;
    } else if (!readWhole(source, &buffer)) {
        return false;
    }
    return writeWhole(s.TempFolder + name, buffer);
}

// The lines of a text file; a line ends at CR LF, CR or LF. The lines of the version
// file are Base64 texts, so they are kept as bytes.
bool loadLines(const QString& path, QList<QByteArray>* lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    lines->clear();
    QByteArray line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r' || c == '\n') {
            lines->append(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines->append(line);
    return true;
}

bool saveLines(const QString& path, const QList<QByteArray>& lines)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + "\r\n";
    return writeWhole(path, text);
}

QString decodeLine(const QList<QByteArray>& lines, int index)
{
    return index < lines.size() ? DecodeValue(QString::fromLatin1(lines.at(index))) : QString();
}

// The three data files and the version file are fetched; the data files are installed
// only when all four arrived.
bool fetchForUpdate()
{
    const QStringList names = UpdateFileNames();
    if (!FetchUpdateFiles(names))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!InstallDataFile(names.at(i)))
            return false;
    }
    for (int i = 0; i < 3; ++i)
        DropTempFile(names.at(i));
    return true;
}

// Current lines 1 to 3 := New lines 1 to 3; everything else of Current stays.
bool mergeVersionFiles(QList<QByteArray> current, const QList<QByteArray>& fresh)
{
    while (current.size() < 4)
        current.append(QByteArray());
    for (int i = 1; i <= 3; ++i)
        current[i] = fresh.at(i);
    if (!saveLines(appState().DataFolder + kVersionFileName, current))
        return false;
    DropTempFile(kVersionFileName);
    return true;
}

// True when any of lines 1 to 3 of New holds a later date than Current. A missing
// line or a date that cannot be read is reported and counts as not newer.
bool dataAreNewer(const QList<QByteArray>& current, const QList<QByteArray>& fresh)
{
    for (int i = 1; i <= 3; ++i) {
        const QDate installed = ParseVersionDate(decodeLine(current, i));
        const QDate offered = ParseVersionDate(decodeLine(fresh, i));
        if (i >= current.size() || i >= fresh.size() || !installed.isValid() || !offered.isValid()) {
            tell(kMsgVersionDateDamaged);
            return false;
        }
        if (installed < offered)
            return true;
    }
    return false;
}

} // namespace

QStringList UpdateFileNames()
{
    return {QStringLiteral("uczniowie.kls"), QStringLiteral("nauczyciele.kbs"),
            QStringLiteral("przedmioty.kps"), kVersionFileName};
}

bool FetchUpdateFile(const QString& name)
{
    HttpClient http;
    QByteArray buffer;
    return fetchOne(http, name, buffer);
}

bool FetchUpdateFiles(const QStringList& names)
{
    HttpClient http; // one connection for all files, closed when it goes
    QByteArray buffer;
    for (const QString& name : names) {
        if (!fetchOne(http, name, buffer))
            return false;
    }
    return true;
}

bool InstallDataFile(const QString& name)
{
    const AppState& s = appState();
    const QString fetched = s.TempFolder + name;
    if (!QFile::exists(fetched))
        return true;
    // Byte for byte, so that a UTF-16 data file arrives whole; through a temporary
    // file, so that an interrupted install leaves the old file, not half of the new.
    QByteArray bytes;
    if (!readWhole(fetched, &bytes))
        return false;
    return writeWhole(s.DataFolder + name, bytes);
}

void DropTempFile(const QString& name)
{
    const QString path = appState().TempFolder + name;
    if (QFile::exists(path))
        QFile::remove(path);
}

int InitialDataFetch()
{
    const QStringList names = UpdateFileNames();
    bool ok = FetchUpdateFiles(names);
    for (int i = 0; ok && i < names.size(); ++i)
        ok = InstallDataFile(names.at(i));
    if (!ok) {
        tell(kMsgFetchFailed);
        return InitialFetchFailed;
    }
    for (const QString& name : names)
        DropTempFile(name);
    tell(kMsgFetched);
    return InitialFetchDone;
}

int CheckForUpdate()
{
    const AppState& s = appState();
    if (!FetchUpdateFile(kVersionFileName)) {
        tell(isHomeMode() ? kMsgNoInternet : kMsgNoFolder);
        return UpdateNothingDone;
    }

    QList<QByteArray> fresh;
    QList<QByteArray> current;
    if (!loadLines(s.TempFolder + kVersionFileName, &fresh) ||
        !loadLines(s.DataFolder + kVersionFileName, &current)) {
        tell(kMsgVersionFileGone);
        return UpdateNothingDone;
    }
    // A file without its marker, or one too short to hold the dates and the program
    // version, cannot be trusted for anything.
    if (decodeLine(fresh, 0) != kVersionMarker || fresh.size() < kVersionFileLines) {
        tell(kMsgVersionFileDamaged);
        return UpdateNothingDone;
    }

    const bool outdated = decodeLine(fresh, 4).left(kProgramVersion.size()) != kProgramVersion;
    const bool newer = dataAreNewer(current, fresh);
    const QString advice = isHomeMode() ? kMsgAdviceHome : kMsgAdviceNetwork;

    if (!newer) {
        DropTempFile(kVersionFileName);
        if (outdated) {
            tell(kMsgOutdated + advice);
            return UpdateProgramOutdated;
        }
        tell(kMsgAllCurrent);
        return UpdateAllCurrent;
    }
    if (!fetchForUpdate() || !mergeVersionFiles(current, fresh)) {
        tell(kMsgUpdateFailed);
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
