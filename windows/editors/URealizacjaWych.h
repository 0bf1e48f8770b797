#pragma once

#include "windows/editors/FreeTextEditor.h"

// The class educational programme editor (topic "Realizacja programu wychowawczego
// klasy"): the class, general information and the successes, problems and conclusions.
class TFRealWych final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFRealWych(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;
    RealWychEdit Edit() const;
    bool ShowEdit(const RealWychEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFRealWych::ShowEdit); }
    QString DraftAbout() const override;
    void CKlasaChange();

    QWidget* m_pRealizacjaProgramu;
    QLabel* m_imRealizacja;
    QComboBox* m_cKlasa;
    QLabel* m_lRozwinListe;
    QPlainTextEdit* m_mOgolne;
    QPlainTextEdit* m_mSukcesy;
};
