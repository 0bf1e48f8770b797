#pragma once

#include "windows/editors/FreeTextEditor.h"

// The additional activities editor (topic "Sprawozdanie z prowadzonych zajęć
// dodatkowych"): the paid activity run and the report on it. Each report is numbered
// from the time it is written.
class TFZajDodatkowe final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFZajDodatkowe(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;
    ZajDodatkoweEdit Edit() const;
    bool ShowEdit(const ZajDodatkoweEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFZajDodatkowe::ShowEdit); }

    QLabel* m_imRealizacja;
    QLineEdit* m_eZajecia;
    QPlainTextEdit* m_mOgolne;
};
