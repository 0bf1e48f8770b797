#include "core/AppState.h"
#include "core/Progress.h"
#include "encoding/ValueCipher.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "support/TestServer.h"
#include "update/DataSetInstall.h"
#include "update/DataUpdate.h"
#include "update/VersionDate.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

using TestFiles::writeFile;

const QString kNoInternet =
    QStringLiteral("Wystąpiły problemy z dostępem do plików aktualizacji.\rPrawdopodobnie brak łączności z "
                   "internetem.\rSprawdź później.");
const QString kNoFolder = QStringLiteral(
    "Wystąpiły problemy z dostępem do plików aktualizacji.\rFolder z plikami został usunięty lub "
    "sieć nie działa.\rZgłoś problem administratorowi.");
const QString kDamaged = QStringLiteral("Plik informacji o wersji jest uszkodzony.\rAktualizacja jest "
                                        "niemożliwa.\rZgłoś problem administratorowi.");

QString updateFailed(const QString& reason)
{
    return QStringLiteral("Wystąpiły problemy z aktualizacją.\r") + reason +
           QStringLiteral("\rDane nie zostały zmienione.");
}

QString noAccess(const QString& name)
{
    return updateFailed(QStringLiteral("Brak dostępu do pliku „%1”.").arg(name));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray versionFile(const QStringList& plainLines)
{
    QByteArray out;
    for (const QString& line : plainLines)
        out += EncodeValue(line).toLatin1() + "\r\n";
    return out;
}

QByteArray versionFile(const QString& d1, const QString& d2, const QString& d3,
                       const QString& version = QStringLiteral("2.1.1"))
{
    return versionFile({QStringLiteral("TabulonInfo"), d1, d2, d3, version});
}

QByteArray schoolFile(const QString& set, const QString& name)
{
    return readFile(TestPaths::testData(QStringLiteral("data/school/%1/%2").arg(set, name)));
}

// Every file below `folder` (the backup folder included), by relative path.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readFile(path));
    }
    return files;
}

// Cancels the work when it comes to `item`.
class CancellingPresenter final : public ProgressPresenter
{
public:
    explicit CancellingPresenter(QString item) : m_item(std::move(item)) { setProgressPresenter(this); }
    ~CancellingPresenter() override { setProgressPresenter(nullptr); }
    void begin(const QString&) override {}
    bool report(const QString& item, qint64, qint64) override { return item != m_item; }
    void end() override {}

private:
    QString m_item;
};

// Folders of one run: the school's source, the program's data and working folders.
struct Folders
{
    QTemporaryDir root;
    QString source;
    QString data;
    QString temp;

    Folders()
    {
        source = root.filePath(QStringLiteral("zrodlo")) + QLatin1Char('/');
        data = root.filePath(QStringLiteral("Files")) + QLatin1Char('/');
        temp = root.filePath(QStringLiteral("Temp")) + QLatin1Char('/');
        QDir().mkpath(source);
        QDir().mkpath(data);
        QDir().mkpath(temp);
        appState() = AppState{};
        appState().DataFolder = data;
        appState().TempFolder = temp;
        appState().Settings.WorkMode = QStringLiteral("sieciowy");
        appState().Settings.UpdateSource = source;
    }

    void useHttp(const TestServer& server)
    {
        appState().Settings.WorkMode = QStringLiteral("lokalny");
        appState().Settings.UpdateSource = QStringLiteral("http://127.0.0.1:%1/").arg(server.port());
    }

    // The school publishes new data files and `version`; the program has old ones.
    // The new classes file is UTF-16: its bytes hold zeros and lone CR or LF bytes
    // that a line-wise copy would break.
    void publish(const QByteArray& version)
    {
        writeFile(source + QStringLiteral("uczniowie.kls"),
                  schoolFile(QStringLiteral("utf16"), QStringLiteral("uczniowie.kls")));
        writeFile(source + QStringLiteral("nauczyciele.kbs"),
                  schoolFile(QStringLiteral("encoded"), QStringLiteral("nauczyciele.kbs")));
        writeFile(source + QStringLiteral("przedmioty.kps"),
                  schoolFile(QStringLiteral("plain-true"), QStringLiteral("przedmioty.kps")));
        writeFile(source + QStringLiteral("verinfo.inf"), version);
    }
    void installOld(const QByteArray& version)
    {
        for (const QString& name : UpdateFileNames().mid(0, 3))
            writeFile(data + name, schoolFile(QStringLiteral("plain"), name));
        writeFile(data + QStringLiteral("verinfo.inf"), version);
    }
    bool sameAsSource(const QString& name) const { return readFile(data + name) == readFile(source + name); }
    bool stillOld(const QString& name) const
    {
        return readFile(data + name) == schoolFile(QStringLiteral("plain"), name);
    }
    // What an update left in the working folder (its staging folder included).
    QStringList tempFiles() const
    {
        return QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

class TestDataUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionDatesArePolishShortDates()
    {
        QCOMPARE(ParseVersionDate(QStringLiteral("05.09.2024")), QDate(2024, 9, 5));
        QCOMPARE(ParseVersionDate(QStringLiteral("5.09.2024")), QDate(2024, 9, 5));
        QCOMPARE(ParseVersionDate(QStringLiteral("2024-09-05")), QDate(2024, 9, 5));
        QVERIFY(!ParseVersionDate(QStringLiteral("09/05/2024")).isValid());
        QVERIFY(!ParseVersionDate(QStringLiteral("31.02.2024")).isValid());
        QVERIFY(!ParseVersionDate(QString()).isValid());
    }

    void onlyLineThreeNewerInstallsAllAndMerges()
    {
        Folders f;
        const QByteArray fresh = versionFile({QStringLiteral("TabulonInfo"), QStringLiteral("01.09.2024"),
                                              QStringLiteral("2024-09-01"), QStringLiteral("2.09.2024"),
                                              QStringLiteral("2.1.1 poprawka"), QStringLiteral("dalej")});
        const QByteArray old = versionFile({QStringLiteral("TabulonInfo"), QStringLiteral("01.09.2024"),
                                            QStringLiteral("01.09.2024"), QStringLiteral("01.09.2024"),
                                            QStringLiteral("2.1.1"), QStringLiteral("własny wiersz")});
        f.publish(fresh);
        f.installOld(old);
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(server);

        // A link planted where the staging folder goes is removed, never followed.
        QVERIFY(QDir().mkpath(f.root.filePath(QStringLiteral("cenne"))));
        QVERIFY(writeFile(f.root.filePath(QStringLiteral("cenne/list.txt")), "zostaje"));
        QVERIFY(QFile::link(f.root.filePath(QStringLiteral("cenne")),
                            appState().DataFolder + QStringLiteral("Nowe-zasadzony")));

        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateDataInstalled));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.")});
        QCOMPARE(recorder.messages().first().icon, int(IconInformation));
        for (int i = 0; i < 3; ++i)
            QVERIFY2(f.sameAsSource(UpdateFileNames().at(i)), qPrintable(UpdateFileNames().at(i)));

        // Lines 1 to 3 come from the new file as stored; the rest stays the installed one.
        const QList<QByteArray> merged = readFile(f.data + QStringLiteral("verinfo.inf")).split('\n');
        const QList<QByteArray> newLines = fresh.split('\n');
        const QList<QByteArray> oldLines = old.split('\n');
        QCOMPARE(merged.size(), oldLines.size());
        QCOMPARE(merged.at(0), oldLines.at(0));
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(merged.at(i), newLines.at(i));
        QCOMPARE(merged.at(4), oldLines.at(4));
        QCOMPARE(merged.at(5), oldLines.at(5));
        QCOMPARE(readFile(f.root.filePath(QStringLiteral("cenne/list.txt"))), QByteArray("zostaje"));
        QVERIFY(f.tempFiles().isEmpty());
        // The set installed before is kept beside the new one.
        for (const QString& name : UpdateFileNames().mid(0, 3))
            QCOMPARE(readFile(f.data + QStringLiteral("Kopia/") + name),
                     schoolFile(QStringLiteral("plain"), name));
        QCOMPARE(readFile(f.data + QStringLiteral("Kopia/verinfo.inf")), old);

        // Checked again, everything is current.
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateAllCurrent));
    }

    void identicalVersionFilesAreCurrent()
    {
        Folders f;
        const QByteArray version = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                               QStringLiteral("1.09.2024"));
        f.publish(version);
        f.installOld(version);
        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateAllCurrent));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral(
                     "Posiadasz aktualną wersję programu i aktualne dane konieczne do pracy.")});
        QVERIFY(f.tempFiles().isEmpty());
        QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));
    }

    void programVersionDecidesOutdatedResults()
    {
        Folders f;
        const QByteArray same = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                            QStringLiteral("1.09.2024"), QStringLiteral("2.2.0"));
        f.publish(same);
        f.installOld(same);
        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateProgramOutdated));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Twoja wersja programu jest nieaktualna.\rPoproś "
                                            "administratora, by zainstalował nową wersję programu.")});
        QVERIFY(f.tempFiles().isEmpty());

        f.publish(versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024"), QStringLiteral("2.1")));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateInstalledButOutdated));
        QCOMPARE(
            recorder.texts(),
            (QStringList{
                QStringLiteral("Dane zostały zaktualizowane, ale Twoja wersja programu jest nieaktualna."),
                QStringLiteral("Poproś administratora, by zainstalował nową wersję programu.")}));
        QVERIFY(f.sameAsSource(QStringLiteral("przedmioty.kps")));

        // At home the advice names the school's web page instead of the administrator.
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(server);
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateProgramOutdated));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Twoja wersja programu jest nieaktualna.\r"
                                            "Ściągnij program ze strony szkolnej i zainstaluj go.")});
        f.publish(versionFile(QStringLiteral("3.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024"), QStringLiteral("2.2.0")));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateInstalledButOutdated));
        QCOMPARE(recorder.texts(),
                 (QStringList{QStringLiteral("Dane zostały zaktualizowane, ale Twoja wersja programu jest "
                                             "nieaktualna."),
                              QStringLiteral("Ściągnij program ze strony szkolnej i zainstaluj go.")}));
        for (const MessageRecorder::Message& m : recorder.messages())
            QVERIFY(m.kind == KindNotice && m.icon == IconInformation);

        // Newer data for an outdated program that cannot be fetched: a failed update,
        // nothing installed.
        f.publish(versionFile(QStringLiteral("4.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024"), QStringLiteral("2.2.0")));
        QVERIFY(QFile::remove(f.source + QStringLiteral("nauczyciele.kbs")));
        const QByteArray installedPupils = readFile(f.data + QStringLiteral("uczniowie.kls"));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateFetchFailed));
        QCOMPARE(recorder.texts(), QStringList{noAccess(QStringLiteral("nauczyciele.kbs"))});
        QCOMPARE(readFile(f.data + QStringLiteral("uczniowie.kls")), installedPupils);
    }

    void failedThirdFileInstallsNothing()
    {
        Folders f;
        f.publish(versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024")));
        f.installOld(versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                 QStringLiteral("1.09.2024")));
        const QByteArray installedVersion = readFile(f.data + QStringLiteral("verinfo.inf"));
        QVERIFY(QFile::remove(f.source + QStringLiteral("przedmioty.kps")));
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(server);

        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateFetchFailed));
        QCOMPARE(recorder.texts(), QStringList{noAccess(QStringLiteral("przedmioty.kps"))});
        for (const QString& name : UpdateFileNames())
            QVERIFY2(f.stillOld(name) || name == QLatin1String("verinfo.inf"), qPrintable(name));
        QCOMPARE(readFile(f.data + QStringLiteral("verinfo.inf")), installedVersion);
        // The files fetched before the failure went with the staging folder.
        QVERIFY(f.tempFiles().isEmpty());
    }

    void unreachableSourceGivesTheModesMessage()
    {
        Folders f;
        f.installOld(versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                 QStringLiteral("1.09.2024")));
        MessageRecorder recorder;

        // School network: the folder holds no version file.
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(), QStringList{kNoFolder});

        // Home: nothing listens on the port.
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(server);
        server.stop();
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(), QStringList{kNoInternet});

        // Home: a redirect is not followed, even to a server that has the file.
        f.publish(versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024")));
        TestServer files;
        TestServer redirect;
        QVERIFY2(files.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        QVERIFY2(redirect.startHttp(
                     {f.source, {}, 0, QStringLiteral("http://127.0.0.1:%1/verinfo.inf").arg(files.port())},
                     &error),
                 qPrintable(error));
        f.useHttp(redirect);
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(), QStringList{kNoInternet});
        QVERIFY(f.tempFiles().isEmpty());
    }

    // A damaged installed version file does not block the update when the backup
    // holds a sound one: that one is taken again and the newer data are installed.
    void damagedInstalledVersionFileIsTakenFromTheBackup()
    {
        Folders f;
        const QByteArray old = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                           QStringLiteral("1.09.2024"));
        f.publish(versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024")));
        f.installOld(old);
        QVERIFY(QDir().mkpath(DataBackupFolder(f.data)));
        QVERIFY(writeFile(DataBackupFolder(f.data) + QStringLiteral("verinfo.inf"), old));
        QVERIFY(writeFile(f.data + QStringLiteral("verinfo.inf"), "\xff\xfe uszkodzony"));

        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateDataInstalled));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.")});
        for (int i = 0; i < 3; ++i)
            QVERIFY2(f.sameAsSource(UpdateFileNames().at(i)), qPrintable(UpdateFileNames().at(i)));
    }

    void damagedVersionFileChangesNothing()
    {
        Folders f;
        const QByteArray old = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                           QStringLiteral("1.09.2024"));
        f.installOld(old);
        MessageRecorder recorder;

        const QList<QByteArray> damagedFiles = {
            versionFile(
                {QStringLiteral("TabulonInfo"), QStringLiteral("2.09.2024"), QStringLiteral("2.09.2024")}),
            QByteArray(),
            versionFile({QStringLiteral("tabulonInfo"), QStringLiteral("2.09.2024"),
                         QStringLiteral("2.09.2024"), QStringLiteral("2.09.2024"), QStringLiteral("2.1.1")}),
        };
        for (const QByteArray& damaged : damagedFiles) {
            f.publish(damaged);
            recorder.clear();
            QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
            QCOMPARE(recorder.texts(), QStringList{kDamaged});
            QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));
            QCOMPARE(readFile(f.data + QStringLiteral("verinfo.inf")), old);
        }

        // A date in another format, in the new file or in the installed one: one
        // message, nothing more, nothing changed.
        const QByteArray otherFormat = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("09/02/2024"),
                                                   QStringLiteral("2.09.2024"));
        f.publish(otherFormat);
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(), QStringList{kDamaged});
        QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));
        f.publish(old);
        QVERIFY(writeFile(f.data + QStringLiteral("verinfo.inf"), otherFormat));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(), QStringList{kDamaged});
        QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));
        QVERIFY(f.tempFiles().isEmpty());

        // The installed copy is gone.
        QVERIFY(QFile::remove(f.data + QStringLiteral("verinfo.inf")));
        f.publish(old);
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral(
                     "Usunięto plik z informacjami o wersji programu.\rZainstaluj program ponownie.")});
    }

    void firstInstallationFetchesAllFour()
    {
        Folders f;
        const QByteArray version = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                               QStringLiteral("1.09.2024"));
        f.publish(version);
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(server);

        MessageRecorder recorder;
        QCOMPARE(InitialDataFetch(), int(InitialFetchDone));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Dane zostały pobrane.\rŻyczę przyjemnej pracy.")});
        for (const QString& name : UpdateFileNames())
            QVERIFY2(f.sameAsSource(name), qPrintable(name));
        QVERIFY(f.tempFiles().isEmpty());
        // No temporary file of the atomic install is left beside the data files.
        QCOMPARE(QDir(f.data).entryList(QDir::Files).size(), UpdateFileNames().size());

        // The installed version file is the one a later check compares against.
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateAllCurrent));

        // Without the source nothing is installed and the user is told.
        Folders empty;
        recorder.clear();
        QCOMPARE(InitialDataFetch(), int(InitialFetchFailed));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Wystąpiły problemy z pobraniem danych.\rBrak dostępu do pliku "
                                            "„uczniowie.kls”.\rDane nie zostały zmienione.")});
        QVERIFY(QDir(empty.data).entryList(QDir::Files).isEmpty());

        // A first fetch checks the files as an update does: a damaged one installs
        // nothing.
        f.publish(version);
        QVERIFY(writeFile(empty.source + QStringLiteral("nauczyciele.kbs"), "<html>Nie ma</html>"));
        for (const QString& name : {QStringLiteral("uczniowie.kls"), QStringLiteral("przedmioty.kps"),
                                    QStringLiteral("verinfo.inf")})
            QVERIFY(QFile::copy(f.source + name, empty.source + name));
        recorder.clear();
        QCOMPARE(InitialDataFetch(), int(InitialFetchFailed));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Wystąpiły problemy z pobraniem danych.\rPlik „nauczyciele.kbs” "
                                            "jest uszkodzony.\rDane nie zostały zmienione.")});
        QVERIFY(QDir(empty.data).entryList(QDir::Files).isEmpty());
    }

    void failedInstallIsAFailedUpdate()
    {
        Folders f;
        f.publish(versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                              QStringLiteral("1.09.2024")));
        f.installOld(versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                 QStringLiteral("1.09.2024")));
        const QByteArray installedVersion = readFile(f.data + QStringLiteral("verinfo.inf"));
        // Something in the way of the second data file: it cannot be replaced.
        QVERIFY(QFile::remove(f.data + QStringLiteral("nauczyciele.kbs")));
        QVERIFY(QDir().mkdir(f.data + QStringLiteral("nauczyciele.kbs")));

        const QMap<QString, QByteArray> before = snapshot(f.data);

        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateFetchFailed));
        QCOMPARE(recorder.texts(), QStringList{updateFailed(QStringLiteral(
                                       "Nie udało się zapisać pliku „nauczyciele.kbs”: w miejscu "
                                       "pliku znajduje się coś, co nie jest zwykłym plikiem."))});
        // The file installed before the failure is put back: all or nothing. No
        // temporary file is left behind.
        QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));
        QCOMPARE(readFile(f.data + QStringLiteral("verinfo.inf")), installedVersion);
        QCOMPARE(snapshot(f.data), before);
        QVERIFY(f.tempFiles().isEmpty());
    }

    // Whatever a bad server sends, the installed files stay as they were, byte for
    // byte, the teacher gets one message, and a good server's update then installs.
    void badServersChangeNothing_data()
    {
        QTest::addColumn<QString>("behave");
        QTest::addColumn<QString>("cancelAt");
        QTest::addColumn<bool>("badMarker");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        const QString pupils = QStringLiteral("uczniowie.kls");
        const QString teachers = QStringLiteral("nauczyciele.kbs");
        const QString subjects = QStringLiteral("przedmioty.kps");
        const QString damaged = QStringLiteral("Plik „%1” jest uszkodzony.");
        QTest::newRow("error page with status 200")
            << teachers + QStringLiteral("=html") << QString() << false << int(UpdateFetchFailed)
            << updateFailed(damaged.arg(teachers));
        QTest::newRow("data file cut in the middle")
            << pupils + QStringLiteral("=cut") << QString() << false << int(UpdateFetchFailed)
            << updateFailed(damaged.arg(pupils));
        QTest::newRow("bytes dripping past the time limit")
            << subjects + QStringLiteral("=drip") << QString() << false << int(UpdateFetchFailed)
            << noAccess(subjects);
        QTest::newRow("connection closed mid-file") << pupils + QStringLiteral("=close") << QString() << false
                                                    << int(UpdateFetchFailed) << noAccess(pupils);
        QTest::newRow("version file with a bad marker")
            << QString() << QString() << true << int(UpdateNothingDone) << kDamaged;
        QTest::newRow("cancelled by the teacher") << QString() << teachers << false << int(UpdateFetchFailed)
                                                  << updateFailed(QStringLiteral("Pobieranie przerwano."));
    }

    void badServersChangeNothing()
    {
        QFETCH(QString, behave);
        QFETCH(QString, cancelAt);
        QFETCH(bool, badMarker);
        QFETCH(int, result);
        QFETCH(QString, message);

        Folders f;
        const QByteArray fresh = versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                                             QStringLiteral("1.09.2024"));
        f.publish(badMarker ? versionFile({QStringLiteral("TabulonInfoX"), QStringLiteral("2.09.2024"),
                                           QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                           QStringLiteral("2.1.1")})
                            : fresh);
        f.installOld(versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                 QStringLiteral("1.09.2024")));
        QVERIFY(QDir().mkpath(f.data + QStringLiteral("Kopia")));
        QVERIFY(writeFile(f.data + QStringLiteral("Kopia/uczniowie.kls"), "kopia sprzed lat"));
        const QMap<QString, QByteArray> before = snapshot(f.data);
        updateLimits().fileSeconds = 2;

        {
            TestServer bad;
            QString error;
            TestServer::HttpOptions options{f.source, {}, 0, {}};
            if (!behave.isEmpty())
                options.behave = QStringList{behave};
            QVERIFY2(bad.startHttp(options, &error), qPrintable(error));
            f.useHttp(bad);
            std::optional<CancellingPresenter> cancel;
            if (!cancelAt.isEmpty())
                cancel.emplace(cancelAt);
            MessageRecorder recorder;
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(CheckForUpdate(), result);
            // Ended by the file's own time limit, not by the server's 100-second drip.
            QVERIFY(clock.elapsed() < 30000);
            QCOMPARE(recorder.texts(), QStringList{message});
            QCOMPARE(snapshot(f.data), before);
            QVERIFY(f.tempFiles().isEmpty());
        }

        f.publish(fresh);
        TestServer good;
        QString error;
        QVERIFY2(good.startHttp({f.source, {}, 0, {}}, &error), qPrintable(error));
        f.useHttp(good);
        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateDataInstalled));
        QCOMPARE(recorder.texts(),
                 QStringList{QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.")});
        for (const QString& name : UpdateFileNames().mid(0, 3))
            QVERIFY2(f.sameAsSource(name), qPrintable(name));
        updateLimits() = UpdateLimits{};
    }

    // In school-network mode a version file that is no regular file is never read:
    // a FIFO would wait for a writer for ever, /dev/zero would never end.
    void networkModeReadsOnlyRegularFiles()
    {
        Folders f;
        const QByteArray old = versionFile(QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
                                           QStringLiteral("1.09.2024"));
        f.publish(old);
        f.installOld(old);
        const QString version = f.source + QStringLiteral("verinfo.inf");
        const QMap<QString, QByteArray> before = snapshot(f.data);
        MessageRecorder recorder;
        for (const QString& kind :
             {QStringLiteral("fifo"), QStringLiteral("/dev/zero"), QStringLiteral("folder")}) {
            QVERIFY(QFile::remove(version) || QDir(version).removeRecursively());
            if (kind == QLatin1String("fifo"))
                QCOMPARE(::mkfifo(QFile::encodeName(version).constData(), 0600), 0);
            else if (kind == QLatin1String("folder"))
                QVERIFY(QFile::link(f.root.path(), version));
            else
                QVERIFY(QFile::link(kind, version));
            recorder.clear();
            QCOMPARE(CheckForUpdate(), int(UpdateNothingDone));
            QCOMPARE(recorder.texts(), QStringList{kDamaged});
            QCOMPARE(snapshot(f.data), before);
        }

        // A data file linked to a device is a damaged file too.
        QVERIFY(QFile::remove(version));
        QVERIFY(writeFile(version, versionFile(QStringLiteral("2.09.2024"), QStringLiteral("1.09.2024"),
                                               QStringLiteral("1.09.2024"))));
        QVERIFY(QFile::remove(f.source + QStringLiteral("przedmioty.kps")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), f.source + QStringLiteral("przedmioty.kps")));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateFetchFailed));
        QCOMPARE(recorder.texts(),
                 QStringList{updateFailed(QStringLiteral("Plik „przedmioty.kps” jest uszkodzony."))});
        QCOMPARE(snapshot(f.data), before);
    }
};

QTEST_GUILESS_MAIN(TestDataUpdate)
#include "tst_dataupdate.moc"
