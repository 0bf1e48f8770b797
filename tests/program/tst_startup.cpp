#include "core/AppState.h"
#include "core/Messages.h"
#include "core/SchoolData.h"
#include "core/SettingsImportFile.h"
#include "encoding/ValueCipher.h"
#include "program/StartupSequence.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "support/TestServer.h"
#include "update/DataSetInstall.h"
#include "update/DataUpdate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

const QString kNoSettingsShare = QStringLiteral(
    "Brak danych koniecznych do poprawnej pracy.\rProgram nie może działać.\rUdostępnij konieczne dane.");
const QString kNoSettingsReinstall = QStringLiteral(
    "Brak danych koniecznych do poprawnej pracy.\rProgram nie może działać.\rZainstaluj program ponownie.");
const QString kSettingsDamaged = QStringLiteral(
    "Dane zawarte w pliku startowym są uszkodzone.Program nie może działać.\rZainstaluj program ponownie.");
const QString kFetchFailed =
    QStringLiteral("Wystąpiły problemy z pobraniem danych.\rDane są niedostępne lub uszkodzone.");
const QString kFetchDone = QStringLiteral("Dane zostały pobrane.\rŻyczę przyjemnej pracy.");
const QString kDataRestored =
    QStringLiteral("Pliki danych były uszkodzone.\rProgram przywrócił ich poprzednią, poprawną wersję.");

QString importDamaged(const QString& file, bool earlierSettingsWork)
{
    return earlierSettingsWork
               ? QStringLiteral("Plik ustawień „%1” jest uszkodzony i nie został wczytany.\rProgram działa "
                                "z dotychczasowymi ustawieniami.\rZgłoś problem administratorowi.")
                     .arg(file)
               : QStringLiteral("Plik ustawień „%1” jest uszkodzony.\rProgram nie może działać.\rZgłoś "
                                "problem administratorowi.")
                     .arg(file);
}

QByteArray settingsText(const QString& marker, const QString& workMode, int lineCount = 9,
                        const QString& updateSource = QStringLiteral("http://127.0.0.1/dane"))
{
    const QStringList values = {marker,
                                workMode,
                                QStringLiteral("/mnt/szkola/raporty"),
                                updateSource,
                                QStringLiteral("25"),
                                QStringLiteral("smtp.szkola.pl"),
                                QStringLiteral("nauczyciel@szkola.pl"),
                                QStringLiteral("tajne"),
                                QStringLiteral("sekretariat@szkola.pl")};
    QByteArray text;
    for (int i = 0; i < lineCount; ++i)
        text += EncodeValue(values.at(i)).toLatin1() + "\r\n";
    return text;
}

// What the school serves: its three data files (values encoded) and a version file.
void serveSchool(const QString& folder)
{
    for (const QString& name : {kTeachersFile, kSubjectsFile, kClassesFile})
        QVERIFY(QFile::copy(TestPaths::testData(QStringLiteral("data/school/encoded/") + name),
                            QDir(folder).filePath(name)));
    QByteArray version;
    for (const QString& line :
         {QStringLiteral("TabulonInfo"), QStringLiteral("1.09.2024"), QStringLiteral("1.09.2024"),
          QStringLiteral("1.09.2024"), QStringLiteral("2.1.1")})
        version += EncodeValue(line).toLatin1() + "\r\n";
    QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("verinfo.inf")), version));
}

// One start of the program in a folder of its own: the program's folder and the
// user's application-data folder, with every collaborator scripted and every call
// written down in order.
class StartupRun
{
public:
    StartupRun()
        : appFolder(root.filePath(QStringLiteral("program")) + QLatin1Char('/')),
          appData(root.filePath(QStringLiteral("dane"))),
          tabulonFolder(appData + QStringLiteral("/Orvix/Tabulon")),
          settingsFile(tabulonFolder + QStringLiteral("/Tabulon.ini")),
          importFile(appFolder + QStringLiteral("tabulon.ini")),
          systemFolder(root.filePath(QStringLiteral("etc/tabulon")))
    {
        QDir().mkpath(appFolder);
        QDir().mkpath(appData);
        // The system settings folder of the test's own, never the machine's /etc.
        qputenv(kSystemSettingsFolderVariable, QFile::encodeName(systemFolder));
        appState() = AppState{};
    }

    // The files that an installation holds: settings and data.
    QMap<QString, QByteArray> installation() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(tabulonFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(QStringLiteral("/Temp/")))
                files.insert(path, readFile(path));
        }
        return files;
    }

    // The school's files as the update installs them, values encoded.
    void installSchoolFiles(const QStringList& names)
    {
        QVERIFY(QDir().mkpath(tabulonFolder + QStringLiteral("/Files")));
        for (const QString& name : names)
            QVERIFY(QFile::copy(TestPaths::testData(QStringLiteral("data/school/encoded/") + name),
                                tabulonFolder + QStringLiteral("/Files/") + name));
    }

    void installSettings(const QByteArray& text)
    {
        QVERIFY(QDir().mkpath(tabulonFolder + QStringLiteral("/Files")));
        QVERIFY(writeFile(settingsFile, text));
    }

    bool run()
    {
        StartupHooks hooks;
        hooks.clearDragState = [this] { calls << QStringLiteral("clearDrag"); };
        hooks.decodeValue = DecodeValue;
        hooks.initialDataFetch = [this] {
            calls << QStringLiteral("fetch");
            if (realFetch)
                return InitialDataFetch();
            settingsAtFetch = appState().Settings;
            foldersAtFetch =
                QFileInfo(appState().DataFolder).isDir() && QFileInfo(appState().TempFolder).isDir();
            ShowMessage(KindNotice, IconInformation, kFetchDone);
            return 1;
        };
        hooks.shapeWindow = [this] { calls << QStringLiteral("shape"); };
        hooks.loadSchoolData = [this] {
            calls << QStringLiteral("load");
            if (realLoad)
                return LoadSchoolDataOrBackup();
            appState().TeacherNames = QStringList{QStringLiteral("Kowalski Jan")};
            return true;
        };
        hooks.fillLists = [this] { calls << QStringLiteral("fill"); };
        hooks.machineSignature = [this] {
            calls << QStringLiteral("signature");
            return QStringLiteral("PRACOWNIA jan osNieznany");
        };
        hooks.resetWizard = [this] { calls << QStringLiteral("reset"); };
        hooks.hideHint = [this] { calls << QStringLiteral("hideHint"); };
        hooks.endProgram = [this] { calls << QStringLiteral("end"); };
        return StartupSequence(appState(), hooks, appFolder, appData).run();
    }

    int endRequests() const { return calls.count(QStringLiteral("end")); }

    QTemporaryDir root;
    QString appFolder;
    QString appData;
    QString tabulonFolder;
    QString settingsFile;
    QString importFile;
    QString systemFolder;
    bool realFetch = false;
    bool realLoad = false;
    QStringList calls;
    Settings settingsAtFetch;
    bool foldersAtFetch = false;
    MessageRecorder messages;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutSettingsTheProgramEnds()
    {
        StartupRun start;
        QVERIFY(!start.run());
        QCOMPARE(start.messages.texts(), QStringList{kNoSettingsShare});
        QCOMPARE(start.messages.messages().first().kind, int(KindNotice));
        QCOMPARE(start.messages.messages().first().icon, int(IconInformation));
        QCOMPARE(start.calls, (QStringList{QStringLiteral("clearDrag"), QStringLiteral("end")}));
        QCOMPARE(appState().AppFolder, start.appFolder);
        QCOMPARE(appState().SettingsFile, start.settingsFile);
        // Nothing is created when there is nothing to import.
        QVERIFY(!QFileInfo::exists(start.appData + QStringLiteral("/Orvix")));
    }

    void damagedSettingsEndTheProgram_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("marker in small letters") << settingsText(QStringLiteral("tabulon"), kWorkModeHome);
        QTest::newRow("marker not encoded")
            << settingsText(QStringLiteral("Tabulon"), kWorkModeHome)
                   .replace(EncodeValue(QStringLiteral("Tabulon")).toLatin1(), "Tabulon");
        QTest::newRow("eight lines") << settingsText(QStringLiteral("Tabulon"), kWorkModeHome, 8);
        QTest::newRow("one line") << settingsText(QStringLiteral("Tabulon"), kWorkModeHome, 1);
    }

    void damagedSettingsEndTheProgram()
    {
        QFETCH(QByteArray, text);
        StartupRun start;
        start.installSettings(text);
        QVERIFY(!start.run());
        QCOMPARE(start.messages.texts(), QStringList{kSettingsDamaged});
        QCOMPARE(start.endRequests(), 1);
        QVERIFY(!start.calls.contains(QStringLiteral("load")));
    }

    void goodSettingsBringTheProgramUp()
    {
        StartupRun start;
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
        // Left over from an earlier run: files go, the folder and its contents stay.
        const QString temp = start.tabulonFolder + QStringLiteral("/Temp/");
        QVERIFY(QDir().mkpath(temp + QStringLiteral("pobrane")));
        QVERIFY(writeFile(temp + QStringLiteral("Werdykon.xml"), "<Szkola/>"));
        QVERIFY(writeFile(temp + QStringLiteral("pobrane/zostaje.txt"), "x"));
        appState().PreviewPage = QStringList{QStringLiteral("<html>")};
        appState().SelectedPupils = QStringList{QStringLiteral("Nowak Anna")};

        QVERIFY(start.run());
        QVERIFY(start.messages.texts().isEmpty());
        QCOMPARE(start.calls,
                 (QStringList{QStringLiteral("clearDrag"), QStringLiteral("shape"), QStringLiteral("load"),
                              QStringLiteral("fill"), QStringLiteral("signature"), QStringLiteral("reset"),
                              QStringLiteral("hideHint")}));
        const AppState& state = appState();
        QCOMPARE(state.Settings.UpdateSource, QStringLiteral("http://127.0.0.1/dane/"));
        QCOMPARE(state.Settings.NetworkFolder, QStringLiteral("/mnt/szkola/raporty"));
        QCOMPARE(state.Settings.SchoolAddress, QStringLiteral("sekretariat@szkola.pl"));
        QCOMPARE(state.DataFolder, start.tabulonFolder + QStringLiteral("/Files/"));
        QCOMPARE(state.TempFolder, temp);
        QCOMPARE(state.MachineSignature, QStringLiteral("PRACOWNIA jan osNieznany"));
        QCOMPARE(state.TeacherNames, QStringList{QStringLiteral("Kowalski Jan")});
        QVERIFY(state.PreviewPage.isEmpty());
        QVERIFY(state.SelectedPupils.isEmpty());
        QVERIFY(!QFileInfo::exists(temp + QStringLiteral("Werdykon.xml")));
        QVERIFY(QFileInfo::exists(temp + QStringLiteral("pobrane/zostaje.txt")));
    }

    void theSchoolDataFilesFillTheLists()
    {
        StartupRun start;
        start.realLoad = true;
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
        start.installSchoolFiles({kTeachersFile, kSubjectsFile, kClassesFile});
        QVERIFY(start.run());
        QVERIFY(start.messages.texts().isEmpty());
        QCOMPARE(appState().TeacherNames.first(), QStringLiteral("Kowalski Jan"));
        QCOMPARE(appState().SubjectNames.first(), QStringLiteral("Matematyka"));
        QCOMPARE(schoolData().Classes.size(), 3);
    }

    void aMissingSchoolDataFileIsToldOnceAndEndsTheProgram()
    {
        for (const QString& missing : {kTeachersFile, kSubjectsFile, kClassesFile}) {
            StartupRun start;
            start.realLoad = true;
            start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
            QStringList present = {kTeachersFile, kSubjectsFile, kClassesFile};
            present.removeOne(missing);
            start.installSchoolFiles(present);
            QVERIFY(!start.run());
            QCOMPARE(start.messages.texts(),
                     QStringList{QStringLiteral("Pliki danych są uszkodzone.\rProgram nie może działać. "
                                                "Zainstaluj program ponownie.")});
            QCOMPARE(start.endRequests(), 1);
            QVERIFY(!start.calls.contains(QStringLiteral("fill")));
        }
    }

    void theWorkingFolderIsCreatedWhenMissing()
    {
        StartupRun start;
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork));
        QVERIFY(start.run());
        QVERIFY(QFileInfo(start.tabulonFolder + QStringLiteral("/Temp")).isDir());
        QCOMPARE(appState().Settings.NetworkFolder, QStringLiteral("/mnt/szkola/raporty/"));
        QCOMPARE(appState().Settings.UpdateSource, QStringLiteral("http://127.0.0.1/dane/"));
    }

    void aSettingsFileBesideTheProgramIsImportedOnce()
    {
        StartupRun start;
        const QByteArray imported = settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork);
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
        QVERIFY(writeFile(start.importFile, imported));

        QVERIFY(start.run());
        QCOMPARE(start.messages.texts(), QStringList{kFetchDone});
        QCOMPARE(start.calls.count(QStringLiteral("fetch")), 1);
        // The fetch already sees the imported settings and the four folders.
        QCOMPARE(start.settingsAtFetch.WorkMode, kWorkModeNetwork);
        QCOMPARE(start.settingsAtFetch.UpdateSource, QStringLiteral("http://127.0.0.1/dane/"));
        QVERIFY(start.foldersAtFetch);
        QVERIFY(!QFileInfo::exists(start.importFile));
        QCOMPARE(readFile(start.settingsFile), imported); // the older file is overwritten
        QCOMPARE(appState().Settings.WorkMode, kWorkModeNetwork);

        // The next start reads the copy and fetches nothing.
        start.calls.clear();
        start.messages.clear();
        QVERIFY(start.run());
        QVERIFY(!start.calls.contains(QStringLiteral("fetch")));
        QVERIFY(start.messages.texts().isEmpty());
    }

    void anImportFetchesTheDataFilesOverHttp()
    {
        StartupRun start;
        start.realFetch = true;
        QTemporaryDir served;
        serveSchool(served.path());
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({served.path(), {}, 0, {}}, &error), qPrintable(error));
        const QString source = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
        QVERIFY(
            writeFile(start.importFile, settingsText(QStringLiteral("Tabulon"), kWorkModeHome, 9, source)));

        QVERIFY(start.run());
        QCOMPARE(start.messages.texts(), QStringList{kFetchDone});
        QVERIFY(!QFileInfo::exists(start.importFile));
        for (const QString& name : UpdateFileNames()) {
            QCOMPARE(readFile(appState().DataFolder + name), readFile(served.filePath(name)));
            QVERIFY(!QFileInfo::exists(appState().TempFolder + name));
        }
    }

    // In school-network mode the files are copied from a mounted folder, joined with
    // the separator the settings reading appended.
    void anImportCopiesTheDataFilesFromTheNetworkFolder()
    {
        StartupRun start;
        start.realFetch = true;
        QTemporaryDir served;
        serveSchool(served.path());
        QVERIFY(writeFile(start.importFile,
                          settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork, 9, served.path())));

        QVERIFY(start.run());
        QCOMPARE(appState().Settings.UpdateSource, served.path() + QLatin1Char('/'));
        QCOMPARE(start.messages.texts(), QStringList{kFetchDone});
        QVERIFY(!QFileInfo::exists(start.importFile));
        for (const QString& name : UpdateFileNames())
            QCOMPARE(readFile(appState().DataFolder + name), readFile(served.filePath(name)));
    }

    // The new settings replace the working ones only once their data have arrived;
    // until then the program works on what it had, or ends when it had nothing.
    void anImportWhoseFetchFailsOverHttpIsKept()
    {
        for (const bool earlierInstallation : {true, false}) {
            StartupRun start;
            start.realFetch = true;
            start.realLoad = true;
            if (earlierInstallation) {
                start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
                start.installSchoolFiles({kTeachersFile, kSubjectsFile, kClassesFile});
            }
            const QMap<QString, QByteArray> before = start.installation();
            QTemporaryDir served;
            TestServer server;
            QString error;
            QVERIFY2(server.startHttp({served.path(), {}, 404, {}}, &error), qPrintable(error));
            const QString source = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
            const QByteArray imported = settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork, 9, source);
            QVERIFY(writeFile(start.importFile, imported));

            QCOMPARE(start.run(), earlierInstallation);
            QCOMPARE(
                start.messages.texts(),
                QStringList{QStringLiteral("Wystąpiły problemy z pobraniem danych.\rBrak dostępu do pliku "
                                           "„uczniowie.kls”.\rDane nie zostały zmienione.")});
            QCOMPARE(start.endRequests(), earlierInstallation ? 0 : 1);
            QCOMPARE(readFile(start.importFile), imported);
            QCOMPARE(start.calls.contains(QStringLiteral("load")), earlierInstallation);
            QCOMPARE(start.installation(), before);
            if (earlierInstallation)
                QCOMPARE(appState().Settings.WorkMode, kWorkModeHome);
        }
    }

    void aDamagedFileBesideTheProgramIsNotFetchedFor()
    {
        StartupRun start;
        QVERIFY(writeFile(start.importFile, settingsText(QStringLiteral("tabulon"), kWorkModeHome)));
        QVERIFY(!start.run());
        QCOMPARE(start.messages.texts(), QStringList{importDamaged(start.importFile, false)});
        QCOMPARE(start.endRequests(), 1);
        QVERIFY(!start.calls.contains(QStringLiteral("fetch")));
        QVERIFY(QFileInfo::exists(start.importFile));
    }

    // A damaged file beside a working installation is named, replaces nothing, and
    // the program starts on the settings and data it had.
    void aDamagedImportLeavesAWorkingInstallationAlone_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("eight lines") << false;
        QTest::newRow("a FIFO, never opened") << true;
    }

    void aDamagedImportLeavesAWorkingInstallationAlone()
    {
        QFETCH(bool, fifo);
        StartupRun start;
        start.realLoad = true;
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
        start.installSchoolFiles({kTeachersFile, kSubjectsFile, kClassesFile});
        const QMap<QString, QByteArray> before = start.installation();
        if (fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(start.importFile).constData(), 0600), 0);
        else
            QVERIFY(
                writeFile(start.importFile, settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork, 8)));

        QVERIFY(start.run());
        QCOMPARE(start.messages.texts(), QStringList{importDamaged(start.importFile, true)});
        QVERIFY(!start.calls.contains(QStringLiteral("fetch")));
        QCOMPARE(start.installation(), before);
        QCOMPARE(appState().Settings.WorkMode, kWorkModeHome);
        QCOMPARE(appState().TeacherNames.first(), QStringLiteral("Kowalski Jan"));
    }

    // A settings file in the system folder cannot be deleted by the teacher: it is
    // imported when it differs from the one imported last, and stays where it is.
    void aSystemWideSettingsFileIsImportedWhenItChanges()
    {
        StartupRun start;
        QVERIFY(QDir().mkpath(start.systemFolder));
        const QString systemFile = start.systemFolder + QStringLiteral("/tabulon.ini");
        const QByteArray first = settingsText(QStringLiteral("Tabulon"), kWorkModeNetwork);
        QVERIFY(writeFile(systemFile, first));

        QVERIFY(start.run());
        QCOMPARE(start.calls.count(QStringLiteral("fetch")), 1);
        QCOMPARE(readFile(start.settingsFile), first);
        QCOMPARE(readFile(systemFile), first);

        start.calls.clear();
        QVERIFY(start.run());
        QVERIFY(!start.calls.contains(QStringLiteral("fetch")));

        const QByteArray second = settingsText(QStringLiteral("Tabulon"), kWorkModeHome);
        QVERIFY(writeFile(systemFile, second));
        start.calls.clear();
        QVERIFY(start.run());
        QCOMPARE(start.calls.count(QStringLiteral("fetch")), 1);
        QCOMPARE(readFile(start.settingsFile), second);
        QCOMPARE(appState().Settings.WorkMode, kWorkModeHome);

        // The file beside the program comes first (a build tree, Windows).
        QVERIFY(writeFile(start.importFile, first));
        QCOMPARE(SettingsImportFile(start.appFolder), start.importFile);
        start.calls.clear();
        QVERIFY(start.run());
        QCOMPARE(start.calls.count(QStringLiteral("fetch")), 1);
        QVERIFY(!QFileInfo::exists(start.importFile));
        QVERIFY(QFileInfo::exists(systemFile));
    }

    // Installed data that no longer load are replaced by the backup kept at the last
    // update, once and with one message; without a good backup the start ends as
    // ever.
    void damagedDataStartOnTheBackup()
    {
        StartupRun start;
        start.realLoad = true;
        start.installSettings(settingsText(QStringLiteral("Tabulon"), kWorkModeHome));
        start.installSchoolFiles({kTeachersFile, kSubjectsFile, kClassesFile});
        const QString files = start.tabulonFolder + QStringLiteral("/Files/");
        QVERIFY(QDir().mkpath(files + QStringLiteral("Kopia")));
        for (const QString& name : {kTeachersFile, kSubjectsFile, kClassesFile})
            QVERIFY(QFile::copy(files + name, files + QStringLiteral("Kopia/") + name));
        const QByteArray good = readFile(files + kTeachersFile);
        QVERIFY(writeFile(files + kTeachersFile, "<html><body>Błąd 500</body></html>"));

        QVERIFY(start.run());
        QCOMPARE(start.messages.texts(), QStringList{kDataRestored});
        QCOMPARE(readFile(files + kTeachersFile), good);
        QCOMPARE(appState().TeacherNames.first(), QStringLiteral("Kowalski Jan"));

        // Restored once: the next start says nothing.
        start.messages.clear();
        QVERIFY(start.run());
        QVERIFY(start.messages.texts().isEmpty());

        // Neither the data nor the backup load: the data message alone.
        QVERIFY(writeFile(files + kTeachersFile, "<html/>"));
        QVERIFY(writeFile(files + QStringLiteral("Kopia/") + kTeachersFile, "<html/>"));
        start.messages.clear();
        QVERIFY(!start.run());
        QCOMPARE(start.messages.texts(),
                 QStringList{QStringLiteral("Pliki danych są uszkodzone.\rProgram nie może działać. "
                                            "Zainstaluj program ponownie.")});
    }

    // A folder by the import's name cannot be read as lines: a damaged file, which
    // leaves the working settings in use.
    void anImportThatCannotBeReadKeepsBothFiles()
    {
        StartupRun start;
        const QByteArray older = settingsText(QStringLiteral("Tabulon"), kWorkModeHome);
        start.installSettings(older);
        QVERIFY(QDir().mkpath(start.importFile));
        QVERIFY(start.run());
        QCOMPARE(start.messages.texts(), QStringList{importDamaged(start.importFile, true)});
        QCOMPARE(start.endRequests(), 0);
        QVERIFY(!start.calls.contains(QStringLiteral("fetch")));
        QVERIFY(QFileInfo::exists(start.importFile));
        QCOMPARE(readFile(start.settingsFile), older);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
