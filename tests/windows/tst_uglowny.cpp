#include "core/AppState.h"
#include "core/Messages.h"
#include "core/SchoolData.h"
#include "program/WizardWindows.h"
#include "support/MessageRecorder.h"
#include "support/TestInstallation.h"
#include "support/TestPaths.h"
#include "windows/ProgramEntry.h"
#include "windows/ProgramWindows.h"
#include "windows/UGlowny.h"
#include "windows/parts/SkinPicture.h"
#include "windows/parts/SkinPrefetch.h"
#include "windows/parts/UWarning.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <optional>
#include <utility>

namespace {

const QString kNoSettingsShare = QStringLiteral(
    "Brak danych koniecznych do poprawnej pracy.\rProgram nie może działać.\rUdostępnij konieczne dane.");

// Points the program at empty folders of its own for one test.
class EmptyInstallation : public TestInstallation
{
public:
    // A settings file for home mode and the school's three data files, as an
    // installation that has fetched its data once leaves them.
    void installSchool()
    {
        QVERIFY(QDir().mkpath(programData() + QStringLiteral("/Files")));
        QVERIFY(writeSettings({QStringLiteral("Tabulon"), QStringLiteral("lokalny"), QString(),
                               QStringLiteral("http://127.0.0.1:1/dane"), QStringLiteral("25"),
                               QStringLiteral("smtp.szkola.test"), QStringLiteral("nauczyciel@szkola.test"),
                               QStringLiteral("tajne"), QStringLiteral("sekretariat@szkola.test")}));
        for (const QString& name : {kTeachersFile, kSubjectsFile, kClassesFile})
            QVERIFY(QFile::copy(TestPaths::testData(QStringLiteral("data/school/encoded/") + name),
                                programData() + QStringLiteral("/Files/") + name));
    }
};

} // namespace

namespace {

// Calls `seen` when the window is first exposed, before the window handles it.
class ExposeWatch : public QObject
{
public:
    ExposeWatch(QWindow* window, std::function<void()> seen) : m_seen(std::move(seen))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed() && m_seen) {
            std::exchange(m_seen, nullptr)();
        }
        return false;
    }

private:
    std::function<void()> m_seen;
};

} // namespace

class TestGlowny : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file dialogs and the print preview speak Polish with the rest of the program.
    void toolkitTextsArePolish()
    {
        QVERIFY(InstallPolishToolkitTexts(*qApp));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Anuluj"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), QStringLiteral("Zachowaj"));
    }

    void windowsAreCreatedHiddenMainWindowFirst()
    {
        ProgramWindows windows;
        QVERIFY(!windows.all().isEmpty());
        QCOMPARE(windows.all().first(), static_cast<QWidget*>(windows.mainWindow()));
        QCOMPARE(windows.all().at(1), static_cast<QWidget*>(windows.messageDialog()));
        QCOMPARE(messagePresenter(), static_cast<MessagePresenter*>(windows.messageDialog()));
        QStringList names;
        for (const QWidget* window : windows.all())
            names.append(window->objectName());
        QCOMPARE(names,
                 QStringList({QStringLiteral("FGlowny"), QStringLiteral("FWarning"),
                              QStringLiteral("FRealProgramu"), QStringLiteral("FBrowser"),
                              QStringLiteral("FDecyzja"), QStringLiteral("FUzasadnienie"),
                              QStringLiteral("FEdytujNdst"), QStringLiteral("FWerdykon"),
                              QStringLiteral("FZachowania"), QStringLiteral("FEdytujZachowanie"),
                              QStringLiteral("FZajDodatkowe"), QStringLiteral("FDyrektor"),
                              QStringLiteral("FKarta"), QStringLiteral("FRealWych"), QStringLiteral("FInne"),
                              QStringLiteral("FAbout")}));
        for (const QWidget* window : windows.all())
            QVERIFY(!window->isVisible());
        const TFGlowny* main = windows.mainWindow();
        QCOMPARE(main->objectName(), QStringLiteral("FGlowny"));
        QCOMPARE(main->size(), QSize(900, 650));
        QVERIFY(main->windowFlags().testFlag(Qt::FramelessWindowHint));
    }

    // The program makes the main window first and the others once it is on the screen;
    // input that comes sooner makes them before it is handled. The windows are the same,
    // in the same order, as when all are made at once.
    void laterWindowsFollowTheMainWindowOrItsFirstInput()
    {
        QStringList allAtOnce;
        {
            ProgramWindows windows;
            QVERIFY(windows.complete());
            for (const QWidget* window : windows.all())
                allAtOnce.append(window->objectName());
        }
        ProgramWindows windows(ProgramWindows::Creation::MainWindowFirst);
        TFGlowny* main = windows.mainWindow();
        QVERIFY(!windows.complete());
        QCOMPARE(windows.all().size(), 1);
        QVERIFY(!windows.messageDialog());
        QVERIFY(!main->findChild<QWidget*>(QStringLiteral("FWerdykon")));
        QVERIFY(!wizardWindows().Editor(0));

        QTest::keyClick(main, Qt::Key_Tab);
        QVERIFY(windows.complete());
        QStringList names;
        for (const QWidget* window : windows.all())
            names.append(window->objectName());
        QCOMPARE(names, allAtOnce);
        QVERIFY(main->findChild<QWidget*>(QStringLiteral("FWerdykon")));
        QVERIFY(wizardWindows().Editor(0));
        QCOMPARE(messagePresenter(), static_cast<MessagePresenter*>(windows.messageDialog()));
        windows.createLaterWindows();
        QCOMPARE(windows.all().size(), allAtOnce.size());
    }

    // The teacher sees the same main window, from its first showing on, whether the
    // windows laid over it are made before its start-up or after it.
    void theMainWindowLooksTheSameWhenTheOthersComeLater()
    {
        EmptyInstallation installation;
        installation.installSchool();
        const auto shown = [](ProgramWindows::Creation creation) {
            appState() = AppState{};
            ProgramWindows windows(creation);
            TFGlowny* main = windows.mainWindow();
            main->show();
            return main->isStarted() ? main->grab().toImage() : QImage();
        };
        const QImage allAtOnce = shown(ProgramWindows::Creation::AllAtOnce);
        QVERIFY(!allAtOnce.isNull());
        QCOMPARE(shown(ProgramWindows::Creation::MainWindowFirst), allAtOnce);
    }

    // The whole program, as build/bin/tabulon runs it, on an installation without a
    // settings file: the message dialog shows one notice, and once "Zamknij" is
    // clicked the event loop ends.
    void withoutSettingsTheProgramShowsOneMessageAndEnds()
    {
        EmptyInstallation installation;
        QStringList shownTexts;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, qApp, [&shownTexts] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != QLatin1String("FWarning") || !window->isVisible())
                    continue;
                shownTexts << window->findChild<QLabel*>(QStringLiteral("LTekstWarning"))->text();
                QTest::mouseClick(window->findChild<QLabel*>(QStringLiteral("ImButZamknij")), Qt::LeftButton,
                                  {}, QPoint(5, 5));
            }
        });
        answerer.start(50);
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        guard.start(20000);

        const int exitCode = RunProgram(*qApp);

        QVERIFY2(!timedOut, "the program did not end after the message");
        QCOMPARE(exitCode, 0);
        QString expected = kNoSettingsShare;
        QCOMPARE(shownTexts, QStringList{expected.replace(QLatin1Char('\r'), QLatin1Char('\n'))});
        QCOMPARE(appState().AppFolder,
                 installation.root.filePath(QStringLiteral("program")) + QLatin1Char('/'));
    }

    // A complete installation: the program comes up without a message, and closing
    // the main window ends it and frees the lists.
    void aCompleteInstallationComesUpAndEndsWithTheMainWindow()
    {
        EmptyInstallation installation;
        installation.installSchool();
        bool wasUp = false;
        int messagesShown = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, qApp, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("FWarning") && window->isVisible()) {
                    ++messagesShown;
                    window->close();
                }
            }
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<TFGlowny*>(window);
                // The curriculum editor, made after the start-up, still lists the subjects.
                const auto* editor = main ? main->findChild<QWidget*>(QStringLiteral("FRealProgramu")) : nullptr;
                const auto* subjects =
                    editor ? editor->findChild<QComboBox*>(QStringLiteral("CPrzedmiotNauczania")) : nullptr;
                if (main && main->isVisible() && main->isStarted() && subjects) {
                    wasUp = appState().TeacherNames.size() == 4 && appState().SubjectNames.size() == 4 &&
                            appState().WizardStep == 0 && subjects->count() == 4;
                    main->close();
                }
            }
        });
        closer.start(50);
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        guard.start(20000);

        QCOMPARE(RunProgram(*qApp), 0);

        QVERIFY(!timedOut);
        QCOMPARE(messagesShown, 0);
        QVERIFY(wasUp);
        QVERIFY(appState().TeacherNames.isEmpty());
        QVERIFY(appState().MachineSignature.endsWith(QStringLiteral(" osNieznany")));
        QCOMPARE(appState().Settings.UpdateSource, QStringLiteral("http://127.0.0.1:1/dane/"));
    }

    // The program puts its main window on the screen first: the start-up runs once the
    // window has been painted, and the other windows are made after it.
    void theProgramPaintsItsMainWindowBeforeTheStartUp()
    {
        EmptyInstallation installation;
        installation.installSchool();
        ProgramWindows windows(ProgramWindows::Creation::MainWindowFirst);
        TFGlowny* main = windows.mainWindow();
        std::optional<bool> startedWhenPainted;
        std::optional<bool> laterWindowsAtStartUp;
        bool messagesAtStartUp = false;
        main->SetSchoolDataLoader([&] {
            laterWindowsAtStartUp = windows.complete();
            messagesAtStartUp = windows.messageDialog() &&
                                messagePresenter() == static_cast<MessagePresenter*>(windows.messageDialog());
            return LoadSchoolData();
        });
        main->winId();
        ExposeWatch watch(main->windowHandle(), [&] { startedWhenPainted = main->isStarted(); });

        windows.start();
        QTRY_VERIFY(windows.complete());
        QCOMPARE(startedWhenPainted, std::optional<bool>(false));
        QCOMPARE(laterWindowsAtStartUp, std::optional<bool>(false));
        QVERIFY(messagesAtStartUp);
        QVERIFY(main->isStarted());
        QCOMPARE(appState().TeacherNames.size(), 4);
        // The keyboard starts on the welcome panel's first choice.
        QTRY_COMPARE(main->focusWidget(), main->findChild<QWidget*>(QStringLiteral("LNowaWerdykon")));
    }

    // A key pressed before the start-up has run (the window is not painted yet) has
    // the start-up and the other windows done first, then reaches the window.
    void inputBeforeTheStartUpHasItDoneFirst()
    {
        EmptyInstallation installation;
        installation.installSchool();
        ProgramWindows windows(ProgramWindows::Creation::MainWindowFirst);
        TFGlowny* main = windows.mainWindow();
        main->winId();
        std::optional<bool> readyForTheKey;
        ExposeWatch watch(main->windowHandle(), [&] {
            // The pointer passing over the window waits for nothing.
            QMouseEvent move(QEvent::MouseMove, QPointF(450, 300), main->mapToGlobal(QPointF(450, 300)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(main, &move);
            QVERIFY(!main->isStarted());
            QTest::keyClick(main, Qt::Key_Tab);
            readyForTheKey = main->isStarted() && windows.complete();
        });

        windows.start();
        QTRY_VERIFY(readyForTheKey.has_value());
        QVERIFY(*readyForTheKey);
        // The start-up the paint would have run does not run a second time.
        QTest::qWait(50);
        QCOMPARE(appState().TeacherNames.size(), 4);
        QVERIFY(main->isStarted());
    }

    // The pictures the program decodes ahead are exactly the ones the welcome panel
    // shows on the window's first showing.
    void theWelcomePicturesAreTheOnesTheFirstShowingTakes()
    {
        EmptyInstallation installation;
        installation.installSchool();
        QPixmapCache::clear();
        TFGlowny main;
        SkinPrefetch prefetch(TFGlowny::WelcomePictures(), main.devicePixelRatioF());
        const int before = SkinPicturesLoaded();
        main.show();
        QVERIFY(main.isStarted());
        QCOMPARE(prefetch.untaken(), QStringList());
        QCOMPARE(SkinPicturesLoaded() - before, TFGlowny::WelcomePictures().size());
    }

    void theStartUpRunsOnTheFirstShowingOnly()
    {
        EmptyInstallation installation;
        MessageRecorder messages;
        TFGlowny main;
        main.show();
        QVERIFY(!main.isStarted());
        QCOMPARE(messages.texts().size(), 1);
        main.hide();
        main.show();
        QCOMPARE(messages.texts().size(), 1);
        // The end it asked for is queued; it must not be left to a later loop.
        QCoreApplication::removePostedEvents(qApp);
    }

    void closingTheMainWindowFreesTheLists()
    {
        appState() = AppState{};
        appState().TeacherNames = QStringList{QStringLiteral("Kowalski Jan")};
        appState().SubjectNames = QStringList{QStringLiteral("matematyka")};
        appState().PreviewPage = QStringList{QStringLiteral("<html>")};
        appState().SelectedPupils = QStringList{QStringLiteral("Nowak Anna")};
        TFGlowny main;
        main.close();
        QVERIFY(appState().TeacherNames.isEmpty());
        QVERIFY(appState().SubjectNames.isEmpty());
        QVERIFY(appState().PreviewPage.isEmpty());
        QVERIFY(appState().SelectedPupils.isEmpty());
    }
};

QTEST_MAIN(TestGlowny)
#include "tst_uglowny.moc"
