#include "ZachowanieSteps.h"
#include "delivery/UBrowser.h"
#include "editors/UNaganneEdycja.h"
#include "editors/UZachowanie.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/KlasaFull.h"
#include "shell/ProgramWindows.h"
#include "shell/SchoolData.h"
#include "shell/UGlowny.h"
#include "support/MessageRecorder.h"
#include "support/TestInstallation.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QListWidget>
#include <QTest>

using namespace ZachowanieSteps;

namespace {

class Installation : public TestInstallation
{
public:
    Installation() { writeHomeSettings(); }
};

} // namespace

// The conduct report from the topic list to the preview, through the program's own
// windows and its grade dialog.
class TestZachowanieWizard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Installation> m_installation;
    std::unique_ptr<ProgramWindows> m_windows;
    TFGlowny* m_main = nullptr;

    template <typename T = QWidget> T* window()
    {
        for (QWidget* w : m_windows->all()) {
            if (auto* found = qobject_cast<T*>(w))
                return found;
        }
        return nullptr;
    }

    void mainClick(const char* name)
    {
        QTest::mouseClick(part(m_main, name), Qt::LeftButton, {}, QPoint(5, 5));
    }

private Q_SLOTS:
    void init()
    {
        m_installation = std::make_unique<Installation>();
        m_windows = std::make_unique<ProgramWindows>();
        m_main = m_windows->mainWindow();
        m_main->SetSchoolDataLoader([] {
            schoolData() = SchoolData{};
            schoolData().Classes = ZachowanieSteps::goldenSchool();
            appState().TeacherNames = {QStringLiteral("Abacki Jan"), QStringLiteral("Nowak Jan")};
            return true;
        });
        m_main->show();
        QVERIFY(m_main->isStarted());
    }

    void cleanup()
    {
        m_windows.reset();
        m_installation.reset();
    }

    void fromTheTopicListToThePreviewAndBack()
    {
        MessageRecorder messages;
        auto* editor = window<TFZachowania>();
        auto* dialog = window<TFEdytujZachowanie>();
        auto* preview = window<TFBrowser>();
        QVERIFY(editor && dialog && preview);

        mainClick("LNowaWerdykon");
        part<QListWidget>(m_main, "BListaNauczycieli")->setCurrentRow(1);
        mainClick("ImNaprzod");
        part<QListWidget>(m_main, "blistazagadnien")->setCurrentRow(1);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->parentWidget(), m_main);
        QCOMPARE(editor->pos(), QPoint(46, 86));
        QVERIFY(messages.messages().isEmpty());

        // The editor's hints; a click on a tab dismisses them.
        mainClick("LPodpowiedz");
        QVERIFY(part(m_main, "PPodpowiedz")->isVisible());
        QCOMPARE(part<QLabel>(m_main, "LTrescPodpowiedzi")->text(), HintText(HintGroupClassEditors, 1));
        click(editor, "LFrekwencja");
        QVERIFY(!part(m_main, "PPodpowiedz")->isVisible());

        // The grade dialog opens over the main window.
        click(editor, "LSrednie");
        choose(editor, "LUczniowieNaganne", {QStringLiteral("Baran Kinga")});
        QPoint dialogPlace;
        ModalAnswer placed([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(dialog));
            dialogPlace = modal->pos() - m_main->mapToGlobal(QPoint(0, 0));
            click(modal, "LAnuluj");
        });
        click(editor, "LDodajObnizone");
        QVERIFY(placed.ran() && !placed.leftOpen());
        QCOMPARE(dialogPlace, QPoint(TFEdytujZachowanie::kLeftOffset, TFEdytujZachowanie::kTopOffset));

        ZachowanieSteps::enterGoldenCase(editor);
        appState().MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(!editor->isVisible());
        QVERIFY(preview->isVisible());
        QVERIFY(messages.messages().isEmpty());

        const QString golden = TestPaths::testData(QStringLiteral("document/golden/zachowanie/"));
        const QString documentPath =
            appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
        QCOMPARE(withoutDate(readAll(documentPath)),
                 withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Zach.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));

        // Back to the editor: everything stays.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible() && !preview->isVisible());
        QCOMPARE(items(editor, "LNaganni").size(), 3);

        // Back to the topic list, a click in it, and the topic again: empty.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        auto* topics = part<QListWidget>(m_main, "blistazagadnien");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(1)).center());
        QVERIFY(items(editor, "LNaganni").isEmpty());
        QVERIFY(items(editor, "LWzorowi").isEmpty());
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(items(editor, "LNaganni").isEmpty());
        QVERIFY(klasaFull().CollectPupils(FilterConductGrade).isEmpty());
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestZachowanieWizard)
#include "tst_zachowaniewizard.moc"
