#pragma once

#include <QString>

#include <optional>

// The main window as the wizard sees it: panels, arrows, the yellow step numbers,
// the two lists and the few things only the window can do.
class WizardView
{
public:
    virtual ~WizardView() = default;

    virtual void ShowWelcomePanel(bool visible) = 0;
    virtual bool IsWelcomePanelVisible() const = 0;
    virtual void ShowTeacherPanel(bool visible) = 0;
    virtual void ShowTopicPanel(bool visible) = 0;
    virtual void ShowBackArrow(bool visible) = 0;
    virtual void ShowForwardArrow(bool visible) = 0;
    // Marks steps 1 to `step` as visited (none for 0).
    virtual void SetYellowNumbers(int step) = 0;

    virtual void FocusTeacherList() = 0;
    virtual void FocusTopicList() = 0;
    // The chosen teacher's name, nothing when no teacher is selected.
    virtual std::optional<QString> SelectedTeacher() const = 0;
    // The chosen topic, -1 when none is selected.
    virtual int SelectedTopic() const = 0;

    // Asks for a report prepared earlier; empty when the user cancels.
    virtual QString ChooseExistingDocument() = 0;

    // Runs the data update and returns its result (1: new data installed).
    virtual int CheckForUpdate() = 0;
    // Loads the school data again and refills the lists; false when the data are
    // unusable (the user has been told and the program is ending).
    virtual bool ReloadSchoolData() = 0;
};
