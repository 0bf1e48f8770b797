#pragma once

#include "program/ReportEditor.h"

#include <array>
#include <cstddef>

// The windows the wizard leads through, registered by the program as it creates them:
// one editor per report topic, the preview window and the delivery window. A topic
// without a registered editor cannot be chosen yet.
class WizardWindows
{
public:
    static constexpr int TopicCount = 9;

    void SetEditor(int topic, ReportEditor* editor);
    ReportEditor* Editor(int topic) const;

    void SetPreview(WizardStepWindow* window) { m_preview = window; }
    WizardStepWindow* Preview() const { return m_preview; }

    void SetDelivery(WizardStepWindow* window) { m_delivery = window; }
    WizardStepWindow* Delivery() const { return m_delivery; }

    // Calls ClearEditorInputs of every registered editor. Each call starts a new
    // generation: an editor opened later starts afresh even for the same teacher and
    // topic.
    void ClearEditorInputs();
    int Generation() const { return m_generation; }

    void Clear();

private:
    std::array<ReportEditor*, TopicCount> m_editors{};
    WizardStepWindow* m_preview = nullptr;
    WizardStepWindow* m_delivery = nullptr;
    int m_generation = 0;
};

// The one registry of the run.
WizardWindows& wizardWindows();
