#include "UzasadnienieSteps.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/RunningProgram.h"
#include "support/TestPaths.h"
#include "windows/UGlowny.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UEdycjaNdst.h"
#include "windows/editors/UUzasadnienie.h"

#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

using namespace UzasadnienieSteps;

// The failing-grade justification from the topic list to the preview, through the
// program's own windows and its one justification dialog.
class TestUzasadnienieWizard : public QObject
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
            schoolData().Classes = UzasadnienieSteps::goldenSchool();
            appState().TeacherNames = {QStringLiteral("Abacki Jan"), QStringLiteral("Lewandowski Marek")};
            appState().SubjectNames = UzasadnienieSteps::goldenSubjects();
            return true;
        });
        m_main = m_program->main();
        QVERIFY(m_program->isStarted());
    }

    void cleanup() { m_program.reset(); }

    void fromTheTopicListToThePreviewAndBack()
    {
        MessageRecorder messages;
        auto* editor = window<TFUzasadnienie>();
        auto* dialog = window<TFEdytujNdst>();
        auto* preview = window<TFBrowser>();
        QVERIFY(editor && dialog && preview);

        mainClick("LNowaWerdykon");
        part<QListWidget>(m_main, "BListaNauczycieli")->setCurrentRow(1);
        mainClick("ImNaprzod");
        part<QListWidget>(m_main, "blistazagadnien")->setCurrentRow(5);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->parentWidget(), m_main);
        QCOMPARE(editor->pos(), QPoint(46, 86));
        QCOMPARE(appState().HintGroup, 81);
        QVERIFY(messages.messages().isEmpty());

        // The editor's hints; a press on one of its lists dismisses them.
        mainClick("LPodpowiedz");
        QVERIFY(part(m_main, "PPodpowiedz")->isVisible());
        QCOMPARE(part<QLabel>(m_main, "LTrescPodpowiedzi")->text(), HintText(HintGroupJustification, 1));
        auto* pupils = part<QListWidget>(editor, "LUczniowie");
        QTest::mouseClick(pupils->viewport(), Qt::LeftButton, {}, QPoint(5, 300));
        QVERIFY(!part(m_main, "PPodpowiedz")->isVisible());

        // The program's one text dialog opens over the main window.
        chooseItem(editor, "CListaKlas", QStringLiteral("Ia & Ib"));
        choose(editor, "LUczniowie", {QStringLiteral("Adamski Kamil")});
        QPoint dialogPlace;
        ModalAnswer placed([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(dialog));
            dialogPlace = modal->pos() - m_main->mapToGlobal(QPoint(0, 0));
            click(modal, "LAnuluj");
        });
        click(editor, "LUzasadniaj");
        QVERIFY(placed.ran() && !placed.leftOpen());
        QCOMPARE(dialogPlace, QPoint(TFEdytujNdst::kLeftOffset, TFEdytujNdst::kTopOffset));

        // Forward without any justification stays in the editor.
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(messages.texts(), QStringList{kNoJustification});
        messages.clear();

        UzasadnienieSteps::enterGoldenCase(editor);
        appState().MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(!editor->isVisible());
        QVERIFY(preview->isVisible());
        QVERIFY(messages.messages().isEmpty());

        const QString golden = TestPaths::testData(QStringLiteral("document/golden/uzasadnienie/"));
        const QString documentPath =
            appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
        const QByteArray document = readAll(documentPath);
        QCOMPARE(withoutDate(document), withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Ndst.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));
        QVERIFY(preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))
                    ->toPlainText()
                    .contains(QStringLiteral("Nie opanowała podstawowego słownictwa.")));

        // Back to the editor: everything stays; forward again writes the same report.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible() && !preview->isVisible());
        QCOMPARE(items(editor, "LUzasadnione").size(), 3);
        QFile::remove(documentPath);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QCOMPARE(withoutDate(readAll(documentPath)), withoutDate(document));

        // Back to the topic list, a click on the same topic and forward again: no
        // question, and everything entered is still there.
        mainClick("ImWstecz");
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        auto* topics = part<QListWidget>(m_main, "blistazagadnien");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(5)).center());
        QCOMPARE(items(editor, "LUzasadnione").size(), 3);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(items(editor, "LUzasadnione").size(), 3);
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestUzasadnienieWizard)
#include "tst_uzasadnieniewizard.moc"
