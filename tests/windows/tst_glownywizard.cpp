#include "core/AppState.h"
#include "core/Hints.h"
#include "program/ReportEditor.h"
#include "program/WizardWindows.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestInstallation.h"
#include "windows/UGlowny.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

// An installation with a settings file of its own, so that the main window's first
// showing starts the program for real.
class Installation : public TestInstallation
{
public:
    Installation() { writeHomeSettings(); }
};

QStringList teachers(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("Nauczyciel%1 Jan").arg(i, 2, 10, QLatin1Char('0'));
    return names;
}

// An editor window as the topics' editors are: a child of the main window that
// hands over to the preview when it finishes.
class FakeEditor final : public QWidget, public ReportEditor
{
public:
    WizardStepWindow* preview = nullptr;
    bool finishSucceeds = true;
    int cleared = 0;
    int dataLoaded = 0;

    void ShowEditor() override
    {
        SetHintGroup(HintGroupClassEditors);
        show();
    }
    bool FinishReport() override
    {
        if (!finishSucceeds)
            return false;
        hide();
        preview->ShowStepWindow();
        return true;
    }
    void CloseEditor() override { hide(); }
    void ClearEditorInputs() override { ++cleared; }
    void SchoolDataLoaded() override { ++dataLoaded; }
};

class FakeStepWindow final : public QWidget, public WizardStepWindow
{
public:
    explicit FakeStepWindow(int hintGroup) : m_hintGroup(hintGroup) {}
    void ShowStepWindow() override
    {
        SetHintGroup(m_hintGroup);
        show();
    }
    void CloseStepWindow() override { hide(); }

private:
    int m_hintGroup;
};

} // namespace

class TestGlownyWizard : public QObject
{
    Q_OBJECT

    Installation* installation = nullptr;
    TFGlowny* main = nullptr;
    FakeEditor* editor = nullptr;
    FakeStepWindow* preview = nullptr;
    FakeStepWindow* delivery = nullptr;
    QStringList loadedTeachers = teachers(12);
    int loads = 0;

    template <typename T> T* control(const char* name) const
    {
        T* found = main->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    void click(const char* name, QPoint at = QPoint(5, 5))
    {
        QTest::mouseClick(control<QWidget>(name), Qt::LeftButton, {}, at);
    }

    bool shown(const char* name) const { return control<QWidget>(name)->isVisible(); }
    int yellowWidth() const { return control<QWidget>("PNumeryY")->width(); }
    int step() const { return appState().WizardStep; }

private Q_SLOTS:
    void init()
    {
        installation = new Installation;
        main = new TFGlowny;
        editor = new FakeEditor;
        preview = new FakeStepWindow(HintGroupPreview);
        delivery = new FakeStepWindow(HintGroupDelivery);
        editor->preview = preview;
        main->AttachWindow(editor, QPoint(46, 86));
        main->AttachWindow(preview, QPoint(46, 89));
        main->AttachWindow(delivery, QPoint(192, 165));
        wizardWindows().Clear();
        wizardWindows().SetEditor(0, editor);
        wizardWindows().SetPreview(preview);
        wizardWindows().SetDelivery(delivery);
        loads = 0;
        loadedTeachers = teachers(12);
        main->SetSchoolDataLoader([this] {
            ++loads;
            appState().TeacherNames = loadedTeachers;
            return true;
        });
        main->SetHelpOpener([](const QString&) { return true; });
        main->show();
        QVERIFY(main->isStarted());
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }

    void cleanup()
    {
        wizardWindows().Clear();
        delete main; // its children, the laid-over windows, go with it
        delete installation;
    }

    void startsOnTheWelcomePanel()
    {
        QCOMPARE(main->size(), QSize(900, 650));
        QVERIFY(!main->mask().isEmpty());
        QCOMPARE(step(), 0);
        QVERIFY(shown("PPowitanie") && !shown("pListaNauczycieli") && !shown("PWyborOpcji"));
        QVERIFY(!shown("PWstecz") && !shown("PNaprzod"));
        QCOMPARE(yellowWidth(), 0);
        QCOMPARE(control<QLabel>("LNowaWerdykon")->text().trimmed(),
                 QStringLiteral("Chcę przygotować nowy dokument"));
        auto* topics = control<QListWidget>("blistazagadnien");
        QCOMPARE(topics->count(), 9);
        QCOMPARE(topics->item(8)->text(), QStringLiteral("Sprawozdanie z zajęć wynikających z karty"));
        QCOMPARE(topics->currentRow(), 0);
        QCOMPARE(control<QListWidget>("BListaNauczycieli")->count(), 12);
        QCOMPARE(editor->dataLoaded, 1);
    }

    void forwardAndBackThroughEveryWindow()
    {
        click("LNowaWerdykon");
        QCOMPARE(step(), 1);
        QVERIFY(shown("pListaNauczycieli") && !shown("PPowitanie") && shown("PWstecz") && shown("PNaprzod"));
        QCOMPARE(yellowWidth(), 39);
        QVERIFY(control<QWidget>("BListaNauczycieli")->hasFocus());

        control<QListWidget>("BListaNauczycieli")->setCurrentRow(3);
        click("ImNaprzod");
        QCOMPARE(step(), 2);
        QCOMPARE(appState().TeacherName, loadedTeachers.at(3));
        QVERIFY(shown("PWyborOpcji") && !shown("pListaNauczycieli"));
        QCOMPARE(yellowWidth(), 78);

        click("ImNaprzod");
        QCOMPARE(step(), 3);
        QVERIFY(editor->isVisible() && !shown("PWyborOpcji"));
        QCOMPARE(editor->pos(), QPoint(46, 86));

        editor->finishSucceeds = false;
        click("ImNaprzod");
        QCOMPARE(step(), 3);
        editor->finishSucceeds = true;
        click("ImNaprzod");
        QCOMPARE(step(), 4);
        QVERIFY(preview->isVisible() && !editor->isVisible());
        QCOMPARE(yellowWidth(), 156);

        click("ImNaprzod");
        QCOMPARE(step(), 5);
        QVERIFY(delivery->isVisible() && !preview->isVisible() && !shown("PNaprzod") && shown("PWstecz"));
        QCOMPARE(yellowWidth(), 195);

        for (int expected = 4; expected >= 0; --expected) {
            click("ImWstecz");
            QCOMPARE(step(), expected);
        }
        QVERIFY(shown("PPowitanie") && !shown("PWstecz") && !delivery->isVisible() && !editor->isVisible());
    }

    void enterAndDoubleClickInTheLists()
    {
        click("LNowaWerdykon");
        auto* teacherList = control<QListWidget>("BListaNauczycieli");
        const int clearedBefore = editor->cleared;
        QTest::keyClick(teacherList, Qt::Key_Down);
        QCOMPARE(step(), 1);
        // A key or a press in a list is no choice yet: the editors keep their input
        // until the forward arrow opens one for another teacher or topic.
        const QPoint onCurrent = teacherList->visualItemRect(teacherList->currentItem()).center();
        QTest::mousePress(teacherList->viewport(), Qt::RightButton, {}, onCurrent);
        QTest::mouseRelease(teacherList->viewport(), Qt::RightButton, {}, onCurrent);
        QCOMPARE(editor->cleared, clearedBefore);
        QCOMPARE(step(), 1);
        // The release of an Enter pressed elsewhere (the one that closed a message
        // over the list) does not go forward; Enter pressed in the list does.
        QTest::keyRelease(teacherList, Qt::Key_Return);
        QCOMPARE(step(), 1);
        QTest::keyClick(teacherList, Qt::Key_Return);
        QCOMPARE(step(), 2);
        QCOMPARE(appState().TeacherName, loadedTeachers.at(1));

        click("ImWstecz");
        QCOMPARE(step(), 1);
        QTest::mouseDClick(teacherList->viewport(), Qt::LeftButton, {},
                           teacherList->visualItemRect(teacherList->item(5)).center());
        QCOMPARE(step(), 2);
        QCOMPARE(appState().TeacherName, loadedTeachers.at(5));

        auto* topicList = control<QListWidget>("blistazagadnien");
        QTest::mouseDClick(topicList->viewport(), Qt::LeftButton, {},
                           topicList->visualItemRect(topicList->item(0)).center());
        QCOMPARE(step(), 3);
        QVERIFY(editor->isVisible());
    }

    void topicWithoutItsEditorStaysOnTheList()
    {
        MessageRecorder messages;
        click("LNowaWerdykon");
        click("ImNaprzod");
        control<QListWidget>("blistazagadnien")->setCurrentRow(6);
        QTest::keyClick(control<QListWidget>("blistazagadnien"), Qt::Key_Return);
        QCOMPARE(step(), 2);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(shown("PWyborOpcji"));
    }

    void yellowNumbersLeadBack()
    {
        click("LNowaWerdykon");
        for (int i = 0; i < 4; ++i)
            click("ImNaprzod");
        QCOMPARE(step(), 5);
        // The yellow strip is clipped to the visited steps: its second number.
        QTest::mousePress(control<QWidget>("ImY"), Qt::LeftButton, {}, QPoint(39 + 20, 10));
        QCOMPARE(step(), 2);
        QCOMPARE(yellowWidth(), 78);
        QVERIFY(!delivery->isVisible() && !preview->isVisible() && !editor->isVisible() &&
                shown("PWyborOpcji"));
    }

    void sendingADocumentPreparedEarlier()
    {
        QString offered;
        main->SetDocumentChooser([&offered] { return offered; });
        click("LPrzeslacGotowy");
        QCOMPARE(step(), 0);
        QVERIFY(appState().SendExisting && shown("PPowitanie") && !delivery->isVisible());

        offered = installation->root.filePath(QStringLiteral("Kowalski_101010.xml"));
        click("LPrzeslacGotowy");
        QCOMPARE(step(), 5);
        QCOMPARE(yellowWidth(), 195);
        QCOMPARE(appState().DocumentPath, offered);
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Kowalski_101010.xml"));
        QVERIFY(delivery->isVisible() && !shown("PPowitanie") && !editor->isVisible() &&
                !preview->isVisible());

        click("ImWstecz");
        QCOMPARE(step(), 0);
        QVERIFY(shown("PPowitanie") && !delivery->isVisible() && !shown("PWstecz") && !shown("PNaprzod"));
        click("ImNaprzod");
        QCOMPARE(step(), 0);
    }

    void updateOnlyFromTheWelcomePanel()
    {
        MessageRecorder messages;
        int checks = 0;
        main->SetUpdateChecker([&checks] {
            ++checks;
            return 1;
        });
        click("LNowaWerdykon");
        click("LUpdate");
        QCOMPARE(checks, 0);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral(
                     "Wróć do pierwszego okna programu i ponownie zbadaj dostępność aktualizacji.")});
        QCOMPARE(step(), 1);

        click("ImWstecz");
        loadedTeachers = teachers(26);
        const int loadsBefore = loads;
        click("LUpdate");
        QCOMPARE(checks, 1);
        QCOMPARE(loads, loadsBefore + 1);
        QCOMPARE(control<QListWidget>("BListaNauczycieli")->count(), 26);
        QCOMPARE(step(), 0);
        QVERIFY(shown("PPowitanie"));
    }

    void scrollBarOnlyAboveTwentyFiveTeachers()
    {
        main->SetUpdateChecker([] { return 1; });
        loadedTeachers = teachers(25);
        click("LUpdate");
        click("LNowaWerdykon");
        QVERIFY(!shown("PPodListwe"));

        click("ImWstecz");
        loadedTeachers = teachers(26);
        click("LUpdate");
        click("LNowaWerdykon");
        QVERIFY(shown("PPodListwe"));
        auto* bar = control<QScrollBar>("ListwaVNauczyciele");
        QCOMPARE(bar->maximum(), 1);
        bar->setValue(1);
        auto* list = control<QListWidget>("BListaNauczycieli");
        QTRY_COMPARE(list->verticalScrollBar()->value(), 1);
        // Keys scroll the list; the bar keeps up.
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(bar->value(), list->verticalScrollBar()->value());
    }

    void hintsCycleAndHideOnAClick()
    {
        click("LPodpowiedz");
        auto* text = control<QLabel>("LTrescPodpowiedzi");
        QVERIFY(shown("PPodpowiedz"));
        QCOMPARE(control<QWidget>("PPodpowiedz")->y(), 0);
        QCOMPARE(text->text(), HintText(HintGroupWelcome, 1));
        click("ImTlo", QPoint(450, 300));
        QVERIFY(!shown("PPodpowiedz"));

        // In the delivery window: 1, 2, 3 and round to 1.
        click("LNowaWerdykon");
        for (int i = 0; i < 4; ++i)
            click("ImNaprzod");
        QCOMPARE(appState().HintGroup, int(HintGroupDelivery));
        click("LPodpowiedz");
        QStringList seen{text->text()};
        for (int i = 0; i < 3; ++i) {
            click("LButPodpowiedz");
            seen << text->text();
        }
        QCOMPARE(seen, (QStringList{HintText(121, 1), HintText(121, 2), HintText(121, 3), HintText(121, 1)}));
        click("LButPodpowiedz");
        click("ImWstecz");
        QVERIFY(!shown("PPodpowiedz"));
        QCOMPARE(appState().HintIndex, 1);
    }

    void helpOpensThePageBesideTheProgram()
    {
        QStringList opened;
        bool succeed = true;
        main->SetHelpOpener([&](const QString& path) {
            opened << path;
            return succeed;
        });
        QTest::keyClick(control<QWidget>("BListaNauczycieli"), Qt::Key_F1);
        click("LHelp");
        const QString expected = appState().AppFolder + QStringLiteral("Pomoc/index.htm");
        // At the section of the step shown: the welcome panel's steps.
        QCOMPARE(appState().WizardStep, 0);
        QCOMPARE(opened, (QStringList{expected + QStringLiteral("#kroki"), expected + QStringLiteral("#kroki")}));

        MessageRecorder messages;
        succeed = false;
        click("LHelp");
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.texts().constFirst().contains(expected));

        // With no program for web pages the page is shown in the program's own window.
        QVERIFY(QDir().mkpath(appState().AppFolder + QStringLiteral("Pomoc")));
        QFile page(expected);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(
            "<html><body><h1>Pomoc programu</h1><p>Krok 1 \xe2\x80\x93 lista nauczycieli</p></body></html>");
        page.close();
        QTest::keyClick(control<QWidget>("BListaNauczycieli"), Qt::Key_F1);
        QCOMPARE(messages.messages().size(), 1);
        auto* helpWindow = main->findChild<QWidget*>(QStringLiteral("FPomoc"));
        QVERIFY(helpWindow && helpWindow->isVisible() && helpWindow->isWindow());
        auto* shownPage = helpWindow->findChild<QTextBrowser*>(QStringLiteral("StronaPomocy"));
        QVERIFY(shownPage->toPlainText().contains(QStringLiteral("Krok 1 – lista nauczycieli")));
        QCOMPARE(shownPage->accessibleName(), QStringLiteral("Pomoc programu"));
        QTest::keyClick(shownPage, Qt::Key_Escape);
        QVERIFY(!helpWindow->isVisible());
        QFile::remove(expected);
    }

    void welcomeCaptionsLightUpUnderTheMouse()
    {
        auto* newDocument = control<QLabel>("LNowaWerdykon");
        auto* existing = control<QLabel>("LPrzeslacGotowy");
        const auto colour = [](QLabel* label) { return label->palette().color(QPalette::WindowText); };
        QTest::mouseMove(newDocument, QPoint(100, 10));
        QCOMPARE(colour(newDocument), QColor(0xF2, 0xC2, 0x30));
        QCOMPARE(colour(existing), QColor(Qt::white));
        QTest::mouseMove(existing, QPoint(100, 10));
        QCOMPARE(colour(newDocument), QColor(Qt::white));
        QCOMPARE(colour(existing), QColor(0xF2, 0xC2, 0x30));
        QTest::mouseMove(control<QWidget>("ImPowitanie"), QPoint(10, 10));
        QCOMPARE(colour(existing), QColor(Qt::white));
    }

    void draggingTheTitleBarMovesTheWindowWithWhatLiesOverIt()
    {
        click("LNowaWerdykon");
        for (int i = 0; i < 4; ++i)
            click("ImNaprzod");
        QVERIFY(delivery->isVisible());
        const QPoint before = main->pos();
        const QPoint deliveryBefore = delivery->mapToGlobal(QPoint(0, 0));
        auto* bar = control<QWidget>("LListwa");
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(100, 10));
        // The offscreen platform does not move windows itself: the window follows the
        // cursor.
        QTest::mouseMove(bar, QPoint(160, 50));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(160, 50));
        QTRY_COMPARE(main->pos(), before + QPoint(60, 40));
        QCOMPARE(delivery->mapToGlobal(QPoint(0, 0)), deliveryBefore + QPoint(60, 40));
        QCOMPARE(delivery->pos(), QPoint(192, 165));
    }

    void titleBarMinimisesAndCloses()
    {
        click("LMnimize");
        QTRY_VERIFY(main->isMinimized());
        main->showNormal();
        click("Lclose");
        QVERIFY(!main->isVisible());
        QVERIFY(appState().TeacherNames.isEmpty());
    }

    void aboutWindowClosesWithItsMark()
    {
        ModalAnswer answer([](QWidget* about) {
            QCOMPARE(about->objectName(), QStringLiteral("FAbout"));
            QCOMPARE(about->size(), QSize(399, 287));
            QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("LClose")), Qt::LeftButton, {},
                              QPoint(5, 5));
        });
        click("LAbout");
        QVERIFY(answer.ran());
        QVERIFY(!answer.leftOpen());
    }
};

QTEST_MAIN(TestGlownyWizard)
#include "tst_glownywizard.moc"
