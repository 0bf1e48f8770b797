#pragma once

#include <QString>

class WizardView;
class WizardWindows;

// The main window's step machine: welcome (0), teacher list (1), topic list (2),
// editor (3), preview (4), delivery (5). It keeps its position in
// AppState::WizardStep and drives the windows through the view and the registry.
class WizardMachine
{
public:
    static constexpr int StepWelcome = 0;
    static constexpr int StepTeacherList = 1;
    static constexpr int StepTopicList = 2;
    static constexpr int StepEditor = 3;
    static constexpr int StepPreview = 4;
    static constexpr int StepDelivery = 5;

    // Width of one step number in the strip of yellow numbers, in pixels.
    static constexpr int NumberWidth = 39;

    WizardMachine(WizardView& view, WizardWindows& windows);

    // Back to the welcome panel, nothing visited, the welcome hints.
    void ResetWizard();

    // "Chcę przygotować nowy dokument".
    void StartNewDocument();
    // "Chcę przesłać przygotowany wcześniej dokument": asks for the file and opens
    // the delivery window directly.
    void SendExistingDocument();

    void GoForward();
    void GoBack();

    // A click at `x` pixels into the strip of yellow numbers goes back to the
    // visited step under the click.
    void JumpBackToNumber(int x);

    // A new teacher or topic choice starts with empty editors.
    void ClearEditorInputs();

    // The update button: only from the welcome panel.
    void UpdateData();

private:
    void ShowTeacherList();
    void ShowTopicList();
    void SetStep(int step);
    void OpenEditor();
    void CloseEditor();

    WizardView& m_view;
    WizardWindows& m_windows;
    // The teacher and topic the editors' input was last opened for, and the
    // generation of the editors' clearing then: the same again keeps the input.
    QString m_editorTeacher;
    int m_editorTopic = -1;
    int m_editorGeneration = -1;
};
