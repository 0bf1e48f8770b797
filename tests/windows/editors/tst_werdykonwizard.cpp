#include "WerdykonSteps.h"
#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/RunningProgram.h"
#include "support/TestPaths.h"
#include "windows/UGlowny.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UWerdykon.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

using namespace WerdykonSteps;

// The class classification report from the main window's first step to the preview,
// through the program's own windows, as a teacher makes it.
class TestWerdykonWizard : public QObject
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
        m_program = std::make_unique<RunningProgram>(loadGoldenSchool);
        m_main = m_program->main();
        QVERIFY(m_program->isStarted());
    }

    void cleanup() { m_program.reset(); }

    void fromTheTeacherListToThePreviewAndBack()
    {
        MessageRecorder messages;
        auto* editor = window<TFWerdykon>();
        auto* preview = window<TFBrowser>();
        QVERIFY(editor && preview);

        mainClick("LNowaWerdykon");
        part<QListWidget>(m_main, "BListaNauczycieli")->setCurrentRow(1);
        mainClick("ImNaprzod");
        QCOMPARE(appState().TeacherName, QStringLiteral("Kowalska Anna"));
        part<QListWidget>(m_main, "blistazagadnien")->setCurrentRow(0);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->parentWidget(), m_main);
        QCOMPARE(editor->pos(), QPoint(46, 86));
        QVERIFY(messages.messages().isEmpty()); // no notice that the topic is missing

        enterGoldenCase(editor);
        // The document names the machine; the hand-worked one names a school's.
        appState().MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(!editor->isVisible());
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->pos(), QPoint(46, 86));
        QVERIFY(messages.messages().isEmpty());

        const QString golden = TestPaths::testData(QStringLiteral("document/golden/werdykon/"));
        const QString documentPath =
            appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
        const QByteArray document = readAll(documentPath);
        QCOMPARE(withoutDate(document), withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Klas.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));
        QVERIFY(preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))
                    ->toPlainText()
                    .contains(QStringLiteral("Wiśniewska Ewa - 6,00")));

        // Ctrl+C in the preview puts the whole page on the clipboard.
        QApplication::clipboard()->clear();
        QTest::keyClick(preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser")), Qt::Key_C,
                        Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("Cieślak Michał - Matematyka")));

        // Back to the editor: everything stays; forward again writes the same report.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible() && !preview->isVisible());
        QCOMPARE(items(editor, "LSrednieZPaskiem").size(), 3);
        QCOMPARE(items(editor, "LNiedostateczni").size(), 2);
        QFile::remove(documentPath);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QCOMPARE(withoutDate(readAll(documentPath)), withoutDate(document));

        // Back to the topic list and the same topic again: no new choice, so no
        // question, and the editor keeps everything entered.
        mainClick("ImWstecz");
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        QVERIFY(!editor->isVisible());
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(items(editor, "LSrednieZPaskiem").size(), 3);
        QCOMPARE(items(editor, "LNiedostateczni").size(), 2);
        QCOMPARE(klasaFull().CollectPupils(FilterAverage).size(), 3);
    }
};

QTEST_MAIN(TestWerdykonWizard)
#include "tst_werdykonwizard.moc"
