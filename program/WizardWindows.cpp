#include "program/WizardWindows.h"

void WizardWindows::SetEditor(int topic, ReportEditor* editor)
{
    if (topic >= 0 && topic < TopicCount)
        m_editors[std::size_t(topic)] = editor;
}

ReportEditor* WizardWindows::Editor(int topic) const
{
    if (topic < 0 || topic >= TopicCount)
        return nullptr;
    return m_editors[std::size_t(topic)];
}

void WizardWindows::ClearEditorInputs()
{
    ++m_generation;
    for (ReportEditor* editor : m_editors) {
        if (editor)
            editor->ClearEditorInputs();
    }
}

void WizardWindows::Clear()
{
    m_editors.fill(nullptr);
    m_preview = nullptr;
    m_delivery = nullptr;
}

WizardWindows& wizardWindows()
{
    static WizardWindows windows;
    return windows;
}
