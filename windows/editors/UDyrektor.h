#pragma once

#include "windows/editors/FreeTextEditor.h"

// The head teacher's report editor (topic "Sprawozdanie dyrektora szkoły"): teaching,
// educational and care activity, and pedagogical supervision. The document keeps one
// name per teacher, so a later report replaces an earlier one in the working folder.
class TFDyrektor final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFDyrektor(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;
    DyrektorEdit Edit() const;
    bool ShowEdit(const DyrektorEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFDyrektor::ShowEdit); }

    QLabel* m_imTlo;
    QPlainTextEdit* m_mDydaktyczna;
    QPlainTextEdit* m_mNadzor;
};
