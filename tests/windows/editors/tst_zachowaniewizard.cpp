#include "ZachowanieSteps.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/RunningProgram.h"
#include "support/TestPaths.h"
#include "windows/UGlowny.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UNaganneEdycja.h"
#include "windows/editors/UZachowanie.h"

#include <QListWidget>
#include <QTest>

using namespace ZachowanieSteps;

// The conduct report from the topic list to the preview, through the program's own
// windows and its grade dialog.
class TestZachowanieWizard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RunningProgram> m_program;
    TFGlowny* m_main = nullptr;

    template <typename T> T* window() const { return m_program->window<T>(); }
    void mainClick(const char* name) const { m_program->click(name); }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<RunningProgram>([] {
            schoolData() = SchoolData{};
            schoolData().Classes = ZachowanieSteps::goldenSchool();
            appState().TeacherNames = {QStringLiteral("Abacki Jan"), QStringLiteral("Nowak Jan")};
            return true;
        });
        m_main = m_program->main();
        QVERIFY(m_program->isStarted());
    }

    void cleanup()
    {
        m_program.reset();
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

        // Back to the topic list, a click on the same topic and forward again: no
        // question, and everything entered is still there.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        auto* topics = part<QListWidget>(m_main, "blistazagadnien");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(1)).center());
        QCOMPARE(items(editor, "LNaganni").size(), 3);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(items(editor, "LNaganni").size(), 3);
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestZachowanieWizard)
#include "tst_zachowaniewizard.moc"
