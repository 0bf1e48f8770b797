#pragma once

#include "windows/editors/FreeTextEditor.h"

// The subject curriculum editor (topic "Realizacja programu z przedmiotu nauczania"):
// the subject, the classes it was taught in, general information and the successes,
// problems and conclusions. The subject and the classes outlive a fresh opening; the
// main window fills the subjects and empties the texts.
class TFRealProgramu final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFRealProgramu(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;
    void ClearEditorInputs() override;
    void SchoolDataLoaded() override;

private:
    void FormShow() override;
    RealProgramuEdit Edit() const;
    bool ShowEdit(const RealProgramuEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFRealProgramu::ShowEdit); }
    QString DraftAbout() const override;
    void CPrzedmiotNauczaniaChange();

    QWidget* m_pRealizacjaProgramu;
    QLabel* m_imRealizacja;
    QComboBox* m_cPrzedmiotNauczania;
    QLabel* m_lRozwinListe;
    QLineEdit* m_eKlasy;
    QPlainTextEdit* m_mOgolne;
    QPlainTextEdit* m_mSukcesy;
};
