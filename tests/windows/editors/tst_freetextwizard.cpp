#include "core/AppState.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/RunningProgram.h"
#include "windows/UGlowny.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UKarta.h"
#include "windows/editors/URealizacjaProgramu.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBrowser>

namespace {

template <typename T = QWidget> T* part(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

} // namespace

// The subject curriculum report and the charter report from the main window's first
// step to the preview, through the program's own windows.
class TestFreeTextWizard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RunningProgram> m_program;
    TFGlowny* m_main = nullptr;

    template <typename T> T* window() const { return m_program->window<T>(); }
    void mainClick(const char* name) const { m_program->click(name); }

    void chooseTopic(int topic)
    {
        auto* topics = part<QListWidget>(m_main, "blistazagadnien");
        topics->setCurrentRow(topic);
        mainClick("ImNaprzod");
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<RunningProgram>([] {
            schoolData() = SchoolData{};
            appState().TeacherNames = {QStringLiteral("Abacki Jan"), QStringLiteral("Kowalska Anna")};
            appState().SubjectNames = {QStringLiteral("Fizyka"), QStringLiteral("Matematyka")};
            return true;
        });
        m_main = m_program->main();
        QVERIFY(m_program->isStarted());
        mainClick("LNowaWerdykon");
        part<QListWidget>(m_main, "BListaNauczycieli")->setCurrentRow(1);
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 2);
    }

    void cleanup() { m_program.reset(); }

    void curriculumFromTheTopicListToThePreviewAndBack()
    {
        MessageRecorder messages;
        auto* editor = window<TFRealProgramu>();
        auto* preview = window<TFBrowser>();
        QVERIFY(editor && preview);
        // The school data filled the subjects at start.
        auto* subjects = part<QComboBox>(editor, "CPrzedmiotNauczania");
        QCOMPARE(subjects->count(), 2);
        QCOMPARE(subjects->currentText(), QStringLiteral("Fizyka"));

        // Moving through the topic list empties the editors behind it, and the hint the
        // teacher opened stays on screen meanwhile.
        mainClick("LPodpowiedz");
        QVERIFY(part(m_main, "PPodpowiedz")->isVisible());
        QTest::keyClick(part<QListWidget>(m_main, "blistazagadnien"), Qt::Key_Down);
        QVERIFY(part(m_main, "PPodpowiedz")->isVisible());
        mainClick("LPodpowiedz");

        chooseTopic(3);
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->parentWidget(), m_main);
        QCOMPARE(editor->pos(), QPoint(46, 86));
        QVERIFY(messages.messages().isEmpty());

        // Nothing typed: the step stays.
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral(
                     "Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza.")});
        messages.clear();

        subjects->setCurrentIndex(1);
        QTest::keyClicks(part<QLineEdit>(editor, "EKlasy"), QStringLiteral("IIa"));
        auto* general = part<QPlainTextEdit>(editor, "Mogolne");
        QTest::keyClicks(general, QStringLiteral("Temat 1"));
        QTest::keyClick(general, Qt::Key_Return);
        QTest::keyClicks(general, QStringLiteral("Temat 2"));
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!editor->isVisible() && preview->isVisible());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("RProg_Matematyka_IIa_Kowalska Anna"));
        QVERIFY(QFile::exists(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml")));
        QCOMPARE(preview->LoadedPath(), appState().TempFolder + QStringLiteral("Wb.htm"));
        const QString page = preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY2(page.contains(QStringLiteral("Temat 2")), qPrintable(page));
        QVERIFY(!page.contains(QStringLiteral("Sukcesy, problemy i wnioski")));

        // Back: the text is there.
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(general->toPlainText(), QStringLiteral("Temat 1\nTemat 2"));

        // Back to the topic list and a click on the same topic: nothing typed goes.
        const QString classes = part<QLineEdit>(editor, "EKlasy")->text();
        QVERIFY(!classes.isEmpty());
        mainClick("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        QVERIFY(!editor->isVisible());
        auto* topics = part<QListWidget>(m_main, "blistazagadnien");
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {},
                          topics->visualItemRect(topics->item(3)).center());
        QCOMPARE(part<QLineEdit>(editor, "EKlasy")->text(), classes);
        QCOMPARE(general->toPlainText(), QStringLiteral("Temat 1\nTemat 2"));
        QCOMPARE(subjects->currentText(), QStringLiteral("Matematyka"));
    }

    void charterReportNeedsItsText()
    {
        MessageRecorder messages;
        auto* editor = window<TFKarta>();
        QVERIFY(editor);
        chooseTopic(8);
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->pos(), QPoint(46, 86));
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Wpisz konieczne informacje.")});
        QTest::keyClicks(part<QPlainTextEdit>(editor, "MInfo"), QStringLiteral("Kolo matematyczne"));
        mainClick("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(appState().DocumentFileName.startsWith(QStringLiteral("ZKarty_")));
        QVERIFY(appState().DocumentFileName.endsWith(QStringLiteral("_Kowalska Anna")));
    }
};

QTEST_MAIN(TestFreeTextWizard)
#include "tst_freetextwizard.moc"
