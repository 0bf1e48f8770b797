#pragma once

#include "windows/editors/FreeTextEditor.h"

// The editor of another report for the staff-meeting minutes (topic "Inne
// sprawozdanie do protokołu"): what it concerns and the information. Each report is
// numbered from the time it is written.
class TFInne final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFInne(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;
    InneEdit Edit() const;
    bool ShowEdit(const InneEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFInne::ShowEdit); }

    QLabel* m_imRealizacja;
    QLineEdit* m_eDotyczy;
    QPlainTextEdit* m_mInfo;
};
