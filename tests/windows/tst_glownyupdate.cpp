#include "core/AppState.h"
#include "program/WizardWindows.h"
#include "support/MessageRecorder.h"
#include "support/TestInstallation.h"
#include "support/TestPaths.h"
#include "support/TestServer.h"
#include "windows/ProgramWindows.h"
#include "windows/UGlowny.h"
#include "windows/delivery/DocumentFileDialogs.h"
#include "windows/delivery/UDecyzja.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool copyDemoFiles(const QString& demoFolder, const QString& target)
{
    for (const char* name : {"nauczyciele.kbs", "przedmioty.kps", "uczniowie.kls"}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(TestPaths::sourceDir() + QStringLiteral("/demo/") + demoFolder + QLatin1Char('/') +
                             file,
                         target + QLatin1Char('/') + file))
            return false;
    }
    return true;
}

class ChosenReport final : public DocumentFileDialogs
{
public:
    QString path;
    int asked = 0;
    QString ChooseSaveFile(QWidget*, const QString&) override { return QString(); }
    QString ChooseOpenFile(QWidget*) override
    {
        ++asked;
        return path;
    }
};

} // namespace

// The main window with the real parts around it: the start-up, the school-data
// loader and the update over HTTP on the demo school, and the program's own windows.
class TestGlownyUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateButtonInstallsNewerDataAndRefillsTheLists()
    {
        TestInstallation installation;
        const QString served = installation.root.filePath(QStringLiteral("serwer"));
        const QString program = installation.programData();
        QVERIFY(QDir().mkpath(served) && QDir().mkpath(program + QStringLiteral("/Files")));
        QVERIFY(copyDemoFiles(QStringLiteral("school"), program + QStringLiteral("/Files")));
        QVERIFY(copyDemoFiles(QStringLiteral("update"), served));
        const QString marker = QStringLiteral("TabulonInfo");
        const QString version = QStringLiteral("2.1.1");
        const QString older = QStringLiteral("01.09.2026");
        QVERIFY(TestInstallation::writeEncodedLines(program + QStringLiteral("/Files/verinfo.inf"),
                                  {marker, older, older, older, version}));
        QVERIFY(TestInstallation::writeEncodedLines(served + QStringLiteral("/verinfo.inf"),
                                  {marker, older, older, QStringLiteral("16.11.2026"), version}));

        TestServer http;
        QString error;
        TestServer::HttpOptions options;
        options.folder = served;
        QVERIFY2(http.startHttp(options, &error), qPrintable(error));
        QVERIFY(installation.writeSettings(
            {QStringLiteral("Tabulon"), QStringLiteral("lokalny"), QString(),
             QStringLiteral("http://127.0.0.1:%1").arg(http.port()), QStringLiteral("25"),
             QStringLiteral("127.0.0.1"), QStringLiteral("nauczyciel@x"), QStringLiteral("haslo"),
             QStringLiteral("sekretariat@x")}));

        appState() = AppState{};
        MessageRecorder messages;
        TFGlowny main;
        main.show();
        QVERIFY(main.isStarted());
        QVERIFY(messages.messages().isEmpty());
        auto* teachers = main.findChild<QListWidget*>(QStringLiteral("BListaNauczycieli"));
        QCOMPARE(teachers->count(), 30);
        // More teachers than the list's 25 rows: the scroll bar is there from the start.
        QVERIFY(!main.findChild<QWidget*>(QStringLiteral("PPodListwe"))->isHidden());

        QTest::mouseClick(main.findChild<QWidget*>(QStringLiteral("LUpdate")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Dane zostały zaktualizowane.\rŻyczę przyjemnej pracy.")});
        QCOMPARE(teachers->count(), 31);
        QVERIFY(appState().TeacherNames.contains(QStringLiteral("Żurawska Beata")));
        QCOMPARE(appState().WizardStep, 0);

        // Asked again, the data are current.
        messages.clear();
        QTest::mouseClick(main.findChild<QWidget*>(QStringLiteral("LUpdate")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral(
                     "Posiadasz aktualną wersję programu i aktualne dane konieczne do pracy.")});
        QCOMPARE(teachers->count(), 31);
    }

    // The program's own windows: the delivery window lies over the main window, and
    // "Chcę przesłać przygotowany wcześniej dokument" asks through its file dialog.
    void deliveryWindowLiesOverTheMainWindow()
    {
        appState() = AppState{};
        ProgramWindows windows;
        TFGlowny* main = windows.mainWindow();
        auto* decyzja = main->findChild<TFDecyzja*>();
        QVERIFY(decyzja);
        QCOMPARE(wizardWindows().Delivery(), static_cast<WizardStepWindow*>(decyzja));
        QVERIFY(!decyzja->isWindow());

        ChosenReport dialogs;
        dialogs.path = QStringLiteral("/tmp/Nowak_Anna_081530.xml");
        decyzja->SetFileDialogs(&dialogs);
        QTest::mouseClick(main->findChild<QWidget*>(QStringLiteral("LPrzeslacGotowy")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(dialogs.asked, 1);
        QCOMPARE(appState().WizardStep, 5);
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Nowak_Anna_081530.xml"));
        QVERIFY(!decyzja->isHidden());
        QCOMPARE(decyzja->pos(), QPoint(TFDecyzja::kLeftOffset, TFDecyzja::kTopOffset));
        decyzja->SetFileDialogs(nullptr);
    }
};

QTEST_MAIN(TestGlownyUpdate)
#include "tst_glownyupdate.moc"
