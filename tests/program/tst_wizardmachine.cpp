#include "core/AppState.h"
#include "core/Hints.h"
#include "program/WizardMachine.h"
#include "program/WizardView.h"
#include "program/WizardWindows.h"
#include "support/MessageRecorder.h"

#include <QTest>

namespace {

// Records what the wizard does to the main window.
class FakeView final : public WizardView
{
public:
    bool welcome = false, teachers = false, topics = false, back = false, forward = false;
    int yellow = -1;
    std::optional<QString> teacher = QStringLiteral("Kowalski Jan");
    int topic = 0;
    QString chosenFile;
    int updateResult = 0;
    int updateChecks = 0;
    bool reloadSucceeds = true;
    int reloads = 0;

    void ShowWelcomePanel(bool visible) override { welcome = visible; }
    bool IsWelcomePanelVisible() const override { return welcome; }
    void ShowTeacherPanel(bool visible) override { teachers = visible; }
    void ShowTopicPanel(bool visible) override { topics = visible; }
    void ShowBackArrow(bool visible) override { back = visible; }
    void ShowForwardArrow(bool visible) override { forward = visible; }
    void SetYellowNumbers(int step) override { yellow = step; }
    void FocusTeacherList() override {}
    void FocusTopicList() override {}
    std::optional<QString> SelectedTeacher() const override { return teacher; }
    int SelectedTopic() const override { return topic; }
    QString ChooseExistingDocument() override { return chosenFile; }
    int CheckForUpdate() override
    {
        ++updateChecks;
        return updateResult;
    }
    bool ReloadSchoolData() override
    {
        ++reloads;
        return reloadSucceeds;
    }
};

class FakeEditor final : public ReportEditor
{
public:
    bool visible = false;
    bool finishSucceeds = true;
    bool shownGoingBack = false;
    int cleared = 0;
    WizardStepWindow* preview = nullptr;

    void ShowEditor() override
    {
        visible = true;
        shownGoingBack = appState().NavigatingBack;
        SetHintGroup(HintGroupClassEditors);
    }
    bool FinishReport() override
    {
        if (!finishSucceeds)
            return false;
        visible = false;
        preview->ShowStepWindow();
        return true;
    }
    void CloseEditor() override { visible = false; }
    void ClearEditorInputs() override { ++cleared; }
};

class FakeStepWindow final : public WizardStepWindow
{
public:
    bool visible = false;
    void ShowStepWindow() override { visible = true; }
    void CloseStepWindow() override { visible = false; }
};

} // namespace

class TestWizardMachine : public QObject
{
    Q_OBJECT

    FakeView* view = nullptr;
    FakeEditor* editor = nullptr;
    FakeStepWindow* preview = nullptr;
    FakeStepWindow* delivery = nullptr;
    WizardWindows* windows = nullptr;
    WizardMachine* wizard = nullptr;

    // Walks from the welcome panel to the delivery window with topic 0.
    void walkToDelivery()
    {
        wizard->StartNewDocument();
        wizard->GoForward();
        wizard->GoForward();
        wizard->GoForward();
        wizard->GoForward();
    }

private Q_SLOTS:
    void init()
    {
        appState() = AppState{};
        view = new FakeView;
        editor = new FakeEditor;
        preview = new FakeStepWindow;
        delivery = new FakeStepWindow;
        editor->preview = preview;
        windows = new WizardWindows;
        windows->SetEditor(0, editor);
        windows->SetPreview(preview);
        windows->SetDelivery(delivery);
        wizard = new WizardMachine(*view, *windows);
        wizard->ResetWizard();
    }

    void cleanup()
    {
        delete wizard;
        delete windows;
        delete delivery;
        delete preview;
        delete editor;
        delete view;
    }

    void resetShowsTheWelcomePanelOnly()
    {
        QVERIFY(view->welcome);
        QVERIFY(!view->teachers && !view->topics && !view->back && !view->forward);
        QCOMPARE(view->yellow, 0);
        QCOMPARE(appState().HintGroup, int(HintGroupWelcome));
        QCOMPARE(appState().HintCount, 2);
        QCOMPARE(appState().HintIndex, 1);
        // The forward arrow does nothing on the welcome panel.
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 0);
    }

    void forwardThroughEveryStepAndBackAgain()
    {
        MessageRecorder messages;
        wizard->StartNewDocument();
        QCOMPARE(appState().WizardStep, 1);
        QVERIFY(view->teachers && !view->welcome && view->back && view->forward);
        QCOMPARE(view->yellow, 1);
        QCOMPARE(appState().HintGroup, int(HintGroupWelcome));

        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 2);
        QCOMPARE(appState().TeacherName, QStringLiteral("Kowalski Jan"));
        QCOMPARE(appState().HintGroup, int(HintGroupLists));
        QVERIFY(view->topics && !view->teachers);
        QCOMPARE(view->yellow, 2);

        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(appState().TopicIndex, 0);
        QVERIFY(editor->visible && !editor->shownGoingBack && !view->topics);
        QCOMPARE(view->yellow, 3);

        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(!editor->visible && preview->visible);
        QCOMPARE(view->yellow, 4);

        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 5);
        QVERIFY(!preview->visible && delivery->visible && !view->forward && view->back);
        QCOMPARE(view->yellow, 5);
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 5);

        wizard->GoBack();
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(preview->visible && !delivery->visible && view->forward);
        QCOMPARE(view->yellow, 4);

        wizard->GoBack();
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->visible && editor->shownGoingBack && !preview->visible);
        QCOMPARE(view->yellow, 3);

        wizard->GoBack();
        QCOMPARE(appState().WizardStep, 2);
        QVERIFY(!editor->visible && view->topics);
        // Going back does not restore the hints: the topic list shows the editor's.
        QCOMPARE(appState().HintGroup, int(HintGroupClassEditors));

        wizard->GoBack();
        QCOMPARE(appState().WizardStep, 1);
        QVERIFY(view->teachers && !view->topics);

        wizard->GoBack();
        QCOMPARE(appState().WizardStep, 0);
        QVERIFY(view->welcome && !view->teachers && !view->back && !view->forward);
        QVERIFY(messages.messages().isEmpty());
    }

    void aFailedFinishKeepsTheEditorStep()
    {
        wizard->StartNewDocument();
        wizard->GoForward();
        wizard->GoForward();
        editor->finishSucceeds = false;
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(view->yellow, 3);
        QVERIFY(editor->visible && !preview->visible);
    }

    void missingChoicesAreReportedAndTheStepStays()
    {
        MessageRecorder messages;
        wizard->StartNewDocument();
        view->teacher.reset();
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 1);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Dokonaj wyboru własnej osoby z listy nauczycieli.")});
        QCOMPARE(messages.messages().at(0).kind, int(KindQuestion));
        QCOMPARE(messages.messages().at(0).icon, int(IconInformation));

        view->teacher = QStringLiteral("Nowak Anna");
        wizard->GoForward();
        view->topic = -1;
        messages.clear();
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 2);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Dokonaj wyboru zagadnienia z listy zagadnień.")});

        // A topic whose editor the program does not have yet is refused with a notice.
        view->topic = 7;
        messages.clear();
        wizard->GoForward();
        QCOMPARE(appState().WizardStep, 2);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(view->topics);
        QCOMPARE(appState().TopicIndex, 0);
    }

    void yellowNumbersJumpBackToTheClickedStep()
    {
        walkToDelivery();
        QCOMPARE(appState().WizardStep, 5);
        // The second number, anywhere inside its 39 pixels.
        wizard->JumpBackToNumber(2 * WizardMachine::NumberWidth - 1);
        QCOMPARE(appState().WizardStep, 2);
        QVERIFY(!delivery->visible && !preview->visible && !editor->visible && view->topics);

        // A number not yet passed does nothing.
        wizard->JumpBackToNumber(4 * WizardMachine::NumberWidth + 3);
        QCOMPARE(appState().WizardStep, 2);

        wizard->JumpBackToNumber(0);
        QCOMPARE(appState().WizardStep, 1);
        QVERIFY(view->teachers);
    }

    void sendingAnEarlierDocument()
    {
        MessageRecorder messages;
        // Cancelled dialog: the welcome panel stays, the choice is remembered.
        wizard->SendExistingDocument();
        QCOMPARE(appState().WizardStep, 0);
        QVERIFY(appState().SendExisting);
        QVERIFY(view->welcome && !delivery->visible);

        view->chosenFile = QStringLiteral("/home/nauczyciel/raporty/Kowalski_123456.xml");
        wizard->SendExistingDocument();
        QCOMPARE(appState().WizardStep, 5);
        QCOMPARE(view->yellow, 5);
        QCOMPARE(appState().DocumentPath, view->chosenFile);
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Kowalski_123456.xml"));
        QVERIFY(delivery->visible && !view->welcome && !editor->visible && !preview->visible);
        QVERIFY(view->back && !view->forward);

        // Back goes straight to the welcome panel, also through the yellow numbers.
        wizard->JumpBackToNumber(WizardMachine::NumberWidth + 5);
        QCOMPARE(appState().WizardStep, 0);
        QVERIFY(view->welcome && !delivery->visible && !view->back && !view->forward);
        QCOMPARE(view->yellow, 0);

        wizard->StartNewDocument();
        QVERIFY(!appState().SendExisting);
        QVERIFY(messages.messages().isEmpty());
    }

    void withoutADeliveryWindowTheStepStays()
    {
        MessageRecorder messages;
        windows->SetDelivery(nullptr);
        view->chosenFile = QStringLiteral("/tmp/a.xml");
        wizard->SendExistingDocument();
        QCOMPARE(appState().WizardStep, 0);
        QVERIFY(view->welcome);
        QCOMPARE(messages.messages().size(), 1);
    }

    void updateOnlyFromTheWelcomePanel()
    {
        MessageRecorder messages;
        wizard->StartNewDocument();
        view->updateResult = 1;
        wizard->UpdateData();
        QCOMPARE(view->updateChecks, 0);
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral(
                     "Wróć do pierwszego okna programu i ponownie zbadaj dostępność aktualizacji.")});
        QCOMPARE(appState().WizardStep, 1);

        wizard->GoBack();
        messages.clear();
        view->updateResult = 0;
        wizard->UpdateData();
        QCOMPARE(view->updateChecks, 1);
        QCOMPARE(view->reloads, 0);
        QCOMPARE(editor->cleared, 0);

        view->updateResult = 1;
        appState().HintGroup = 99;
        wizard->UpdateData();
        QCOMPARE(view->reloads, 1);
        QCOMPARE(editor->cleared, 1);
        QCOMPARE(appState().HintGroup, int(HintGroupWelcome));
        QVERIFY(messages.messages().isEmpty());

        // New data for an outdated program are installed too: the lists follow them;
        // current data for an outdated one (5) and a failed fetch (3) reload nothing.
        for (const int result : {5, 3, 4}) {
            view->updateResult = result;
            wizard->UpdateData();
        }
        QCOMPARE(view->reloads, 2);
        QCOMPARE(editor->cleared, 2);
    }

    void hintTable()
    {
        const QList<QPair<int, int>> counts = {{0, 2},  {2, 2},  {41, 4},  {51, 2},  {61, 2}, {71, 2},
                                               {81, 3}, {91, 2}, {101, 2}, {111, 2}, {121, 3}};
        for (const auto& [group, count] : counts) {
            QCOMPARE(HintCountOf(group), count);
            for (int i = 1; i <= count; ++i)
                QVERIFY2(!HintText(group, i).isEmpty(), qPrintable(QString::number(group)));
            QVERIFY(HintText(group, 0).isEmpty());
            QVERIFY(HintText(group, count + 1).isEmpty());
        }
        QVERIFY(HintText(3, 1).isEmpty());
        QCOMPARE(HintCountOf(3), 0);
        QCOMPARE(
            HintText(121, 3),
            QStringLiteral("Z tego okna możesz wrócić do poprzednich okien, klikając żółte numery w lewym "
                           "dolnym rogu."));
        SetHintGroup(HintGroupJustification);
        QCOMPARE(appState().HintGroup, 81);
        QCOMPARE(appState().HintCount, 3);
    }
};

QTEST_GUILESS_MAIN(TestWizardMachine)
#include "tst_wizardmachine.moc"
