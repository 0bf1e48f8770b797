#include "program/WizardMachine.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/Messages.h"
#include "program/WizardView.h"
#include "program/WizardWindows.h"

#include <QFileInfo>

namespace {

const QString kNoTeacher = QStringLiteral("Dokonaj wyboru własnej osoby z listy nauczycieli.");
const QString kNoTopic = QStringLiteral("Dokonaj wyboru zagadnienia z listy zagadnień.");
const QString kUpdateOnlyFromWelcome =
    QStringLiteral("Wróć do pierwszego okna programu i ponownie zbadaj dostępność aktualizacji.");
const QString kTopicNotReady = QStringLiteral(
    "To zagadnienie nie jest jeszcze dostępne w tej wersji programu.\rWybierz inne zagadnienie.");
const QString kDeliveryNotReady =
    QStringLiteral("Wysyłka sprawozdania nie jest jeszcze dostępna w tej wersji programu.");

// The class-based editors of these topics start on the first class.
bool startsOnFirstClass(int topic)
{
    return topic == 1 || topic == 2 || topic == 4;
}

} // namespace

WizardMachine::WizardMachine(WizardView& view, WizardWindows& windows) : m_view(view), m_windows(windows) {}

void WizardMachine::SetStep(int step)
{
    appState().WizardStep = step;
    m_view.SetYellowNumbers(step);
}

void WizardMachine::ResetWizard()
{
    m_view.ShowTeacherPanel(false);
    m_view.ShowTopicPanel(false);
    m_view.ShowWelcomePanel(true);
    SetStep(StepWelcome);
    m_view.ShowBackArrow(false);
    m_view.ShowForwardArrow(false);
    appState().HintIndex = 1;
    SetHintGroup(HintGroupWelcome);
}

void WizardMachine::ShowTeacherList()
{
    m_view.ShowTeacherPanel(true);
    m_view.ShowWelcomePanel(false);
    SetStep(StepTeacherList);
    m_view.ShowBackArrow(true);
    m_view.ShowTopicPanel(false);
    m_view.ShowForwardArrow(true);
    m_view.FocusTeacherList();
}

void WizardMachine::ShowTopicList()
{
    SetStep(StepTopicList);
    m_view.ShowTeacherPanel(false);
    m_view.ShowTopicPanel(true);
    m_view.ShowBackArrow(true);
    m_view.FocusTopicList();
}

void WizardMachine::OpenEditor()
{
    m_view.ShowTopicPanel(false);
    if (startsOnFirstClass(appState().TopicIndex))
        appState().CurrentClassIndex = 0;
    if (ReportEditor* editor = m_windows.Editor(appState().TopicIndex))
        editor->ShowEditor();
}

void WizardMachine::CloseEditor()
{
    m_view.ShowTopicPanel(true);
    if (ReportEditor* editor = m_windows.Editor(appState().TopicIndex))
        editor->CloseEditor();
}

void WizardMachine::StartNewDocument()
{
    appState().SendExisting = false;
    ShowTeacherList();
}

void WizardMachine::SendExistingDocument()
{
    appState().SendExisting = true;
    const QString path = m_view.ChooseExistingDocument();
    if (path.isEmpty())
        return;
    appState().DocumentPath = path;
    appState().DocumentFileName = QFileInfo(path).fileName();
    appState().WizardStep = StepPreview;
    GoForward();
}

void WizardMachine::GoForward()
{
    AppState& state = appState();
    state.NavigatingBack = false;
    switch (state.WizardStep) {
    case StepTeacherList: {
        SetHintGroup(HintGroupLists);
        const std::optional<QString> teacher = m_view.SelectedTeacher();
        if (!teacher) {
            ShowMessage(KindQuestion, IconInformation, kNoTeacher);
            return;
        }
        state.TeacherName = *teacher;
        m_view.ShowBackArrow(true);
        m_view.ShowForwardArrow(true);
        ShowTopicList();
        return;
    }
    case StepTopicList: {
        const int topic = m_view.SelectedTopic();
        if (topic < 0) {
            ShowMessage(KindQuestion, IconInformation, kNoTopic);
            return;
        }
        if (!m_windows.Editor(topic)) {
            ShowMessage(KindNotice, IconInformation, kTopicNotReady);
            return;
        }
        state.TopicIndex = topic;
        m_view.ShowBackArrow(true);
        m_view.ShowForwardArrow(true);
        SetStep(StepEditor);
        // Back and then forward again to the same teacher and topic is no new choice:
        // the editor keeps what it holds. Another choice starts afresh; the earlier
        // input waits in its draft.
        if (topic == m_editorTopic && state.TeacherName == m_editorTeacher &&
            m_editorGeneration == m_windows.Generation()) {
            state.NavigatingBack = true;
        } else {
            m_windows.Editor(topic)->ClearEditorInputs();
            m_editorTeacher = state.TeacherName;
            m_editorTopic = topic;
            m_editorGeneration = m_windows.Generation();
        }
        OpenEditor();
        state.NavigatingBack = false;
        return;
    }
    case StepEditor: {
        ReportEditor* editor = m_windows.Editor(state.TopicIndex);
        if (editor && editor->FinishReport())
            state.WizardStep = StepPreview;
        m_view.SetYellowNumbers(state.WizardStep);
        return;
    }
    case StepPreview: {
        WizardStepWindow* delivery = m_windows.Delivery();
        if (!delivery) {
            // Without a delivery window a chosen earlier document goes nowhere:
            // stay where the user was.
            if (state.SendExisting)
                state.WizardStep = StepWelcome;
            ShowMessage(KindNotice, IconInformation, kDeliveryNotReady);
            return;
        }
        if (state.SendExisting) {
            m_view.ShowWelcomePanel(false);
        } else if (WizardStepWindow* preview = m_windows.Preview()) {
            preview->CloseStepWindow();
        }
        delivery->ShowStepWindow();
        SetStep(StepDelivery);
        m_view.ShowForwardArrow(false);
        m_view.ShowBackArrow(true);
        return;
    }
    default:
        return;
    }
}

void WizardMachine::GoBack()
{
    AppState& state = appState();
    state.NavigatingBack = true;
    switch (state.WizardStep) {
    case StepTeacherList:
        ResetWizard();
        return;
    case StepTopicList:
        ShowTeacherList();
        return;
    case StepEditor:
        CloseEditor();
        ShowTopicList();
        return;
    case StepPreview:
        if (WizardStepWindow* preview = m_windows.Preview())
            preview->CloseStepWindow();
        OpenEditor();
        SetStep(StepEditor);
        return;
    case StepDelivery:
        if (state.SendExisting) {
            if (WizardStepWindow* delivery = m_windows.Delivery())
                delivery->CloseStepWindow();
            SetStep(StepWelcome);
            // The welcome panel has no step to go forward to: neither arrow stands on it.
            m_view.ShowBackArrow(false);
            m_view.ShowForwardArrow(false);
            m_view.ShowWelcomePanel(true);
        } else {
            if (WizardStepWindow* preview = m_windows.Preview())
                preview->ShowStepWindow();
            if (WizardStepWindow* delivery = m_windows.Delivery())
                delivery->CloseStepWindow();
            SetStep(StepPreview);
            m_view.ShowForwardArrow(true);
        }
        return;
    default:
        return;
    }
}

void WizardMachine::JumpBackToNumber(int x)
{
    if (x < 0)
        return;
    const int number = x / NumberWidth;
    while (number < appState().WizardStep - 1) {
        const int before = appState().WizardStep;
        GoBack();
        if (appState().WizardStep >= before)
            break;
    }
}

void WizardMachine::ClearEditorInputs()
{
    m_windows.ClearEditorInputs();
}

void WizardMachine::UpdateData()
{
    if (!m_view.IsWelcomePanelVisible()) {
        ShowMessage(KindNotice, IconInformation, kUpdateOnlyFromWelcome);
        return;
    }
    // New data were installed (also for an outdated program): the lists show them.
    const int result = m_view.CheckForUpdate();
    if (result != 1 && result != 4)
        return;
    if (!m_view.ReloadSchoolData())
        return;
    ClearEditorInputs();
    ResetWizard();
}
