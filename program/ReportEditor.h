#pragma once

// What the main window expects of every topic's editor window. The editor sits over
// the main window and is driven by its forward and back arrows.
class ReportEditor
{
public:
    virtual ~ReportEditor() = default;

    // Shows the editor and names its hint group. Opened for another teacher or topic
    // than last time it starts empty; shown again by a backward move, or by a forward
    // move for the same teacher and topic, it keeps all its input.
    virtual void ShowEditor() = 0;

    // Checks the input; on a fault tells the user what is missing and returns false,
    // leaving the editor open. Otherwise writes the report and its preview page,
    // closes the editor, shows the preview window and returns true.
    virtual bool FinishReport() = 0;

    // Hides the editor without touching its input.
    virtual void CloseEditor() = 0;

    // Empties the lists and texts a new teacher or topic choice must not inherit.
    virtual void ClearEditorInputs() {}

    // Something the teacher typed or chose is in the editor (asked about before the
    // program closes).
    virtual bool HoldsInput() const { return false; }
    // Writes the editor's draft at once.
    virtual void KeepDraftNow() {}

    // The school data were loaded (at start and after an update): lists taken from
    // them, such as the subjects, are filled again.
    virtual void SchoolDataLoaded() {}
};

// The preview and delivery windows, shown and closed by the wizard.
class WizardStepWindow
{
public:
    virtual ~WizardStepWindow() = default;
    virtual void ShowStepWindow() = 0;
    virtual void CloseStepWindow() = 0;
};
