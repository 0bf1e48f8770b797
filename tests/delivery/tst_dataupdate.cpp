#include "delivery/DataUpdate.h"
#include "delivery/VersionDate.h"
#include "document/ValueCipher.h"
#include "shell/AppState.h"
#include "support/MessageRecorder.h"
#include "support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kNoInternet =
    QStringLiteral("Wystąpiły problemy z dostępem do plików aktualizacji.\rPrawdopodobnie brak łączności z "
                   "internetem.\rSprawdź później.");
const QString kNoFolder = QStringLiteral(
    "Wystąpiły problemy z dostępem do plików aktualizacji.\rFolder z plikami został usunięty lub "
    "sieć nie działa.\rZgłoś problem administratorowi.");
const QString kDamaged = QStringLiteral("Plik informacji o wersji jest uszkodzony.\rAktualizacja jest "
                                        "niemożliwa.\rZgłoś problem administratorowi.");
const QString kUpdateFailed = QStringLiteral("Wystąpiły problemy z aktualizacją.\rBrak dostępu do danych.");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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

// A UTF-16 data file: its bytes hold zeros and lone CR or LF bytes that a line-wise
// copy would break.
QByteArray utf16DataFile(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

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
    void publish(const QByteArray& version)
    {
        writeFile(source + QStringLiteral("uczniowie.kls"),
                  utf16DataFile(QStringLiteral("<Szkoła>\nśą\r</Szkoła>")));
        writeFile(source + QStringLiteral("nauczyciele.kbs"), "<Nauczyciele>nowi</Nauczyciele>\n");
        writeFile(source + QStringLiteral("przedmioty.kps"), "<Przedmioty>nowe</Przedmioty>\r\n");
        writeFile(source + QStringLiteral("verinfo.inf"), version);
    }
    void installOld(const QByteArray& version)
    {
        for (const QString& name : UpdateFileNames())
            writeFile(data + name, "stary " + name.toLatin1());
        writeFile(data + QStringLiteral("verinfo.inf"), version);
    }
    bool sameAsSource(const QString& name) const { return readFile(data + name) == readFile(source + name); }
    bool stillOld(const QString& name) const { return readFile(data + name) == "stary " + name.toLatin1(); }
    QStringList tempFiles() const { return QDir(temp).entryList(QDir::Files, QDir::Name); }
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
        QVERIFY(f.tempFiles().isEmpty());

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
        QCOMPARE(recorder.texts(), QStringList{kUpdateFailed});
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
        QCOMPARE(recorder.texts(), QStringList{kUpdateFailed});
        for (const QString& name : UpdateFileNames())
            QVERIFY2(f.stillOld(name) || name == QLatin1String("verinfo.inf"), qPrintable(name));
        QCOMPARE(readFile(f.data + QStringLiteral("verinfo.inf")), installedVersion);
        QCOMPARE(f.tempFiles(),
                 (QStringList{QStringLiteral("nauczyciele.kbs"), QStringLiteral("uczniowie.kls"),
                              QStringLiteral("verinfo.inf")}));
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

        // A date in another format: reported, then counted as not newer.
        f.publish(versionFile(QStringLiteral("1.09.2024"), QStringLiteral("09/02/2024"),
                              QStringLiteral("2.09.2024")));
        recorder.clear();
        QCOMPARE(CheckForUpdate(), int(UpdateAllCurrent));
        QCOMPARE(
            recorder.texts().first(),
            QStringLiteral("Plik informacji o wersji jest uszkodzony.\rZgłoś problem administratorowi."));
        QVERIFY(f.stillOld(QStringLiteral("uczniowie.kls")));

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
                 QStringList{QStringLiteral(
                     "Wystąpiły problemy z pobraniem danych.\rDane są niedostępne lub uszkodzone.")});
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

        MessageRecorder recorder;
        QCOMPARE(CheckForUpdate(), int(UpdateFetchFailed));
        QCOMPARE(recorder.texts(), QStringList{kUpdateFailed});
        // The file installed before the failure stays installed, the one after it is
        // untouched, and the installed version file is not merged.
        QVERIFY(f.sameAsSource(QStringLiteral("uczniowie.kls")));
        QVERIFY(f.stillOld(QStringLiteral("przedmioty.kps")));
        QCOMPARE(readFile(f.data + QStringLiteral("verinfo.inf")), installedVersion);
        QCOMPARE(QDir(f.data).entryList(QDir::Files).size(), 3); // no temporary file left behind

        QVERIFY(InstallDataFile(QStringLiteral("brak.kps"))); // nothing fetched, nothing to do
        QVERIFY(!QFile::exists(f.data + QStringLiteral("brak.kps")));
        DropTempFile(QStringLiteral("nauczyciele.kbs"));
        QVERIFY(!f.tempFiles().contains(QStringLiteral("nauczyciele.kbs")));
    }
};

QTEST_GUILESS_MAIN(TestDataUpdate)
#include "tst_dataupdate.moc"
