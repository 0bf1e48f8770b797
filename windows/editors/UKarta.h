#pragma once

#include "windows/editors/FreeTextEditor.h"

// The editor of activities under the teachers' charter (topic "Sprawozdanie z zajęć
// wynikających z karty"): one information text. Each report is numbered from the time
// it is written.
class TFKarta final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFKarta(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;
    KartaEdit Edit() const;
    bool ShowEdit(const KartaEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFKarta::ShowEdit); }

    QLabel* m_imRealizacja;
    QPlainTextEdit* m_mInfo;
};
