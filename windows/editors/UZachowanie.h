#pragma once

#include "windows/editors/ClassEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class TFBrowser;
class TFEdytujZachowanie;

// The conduct classification editor (topic "Werdykon uczniów pod względem
// zachowania"): the class and its classified count, the pupils with exemplary
// conduct, the pupils with a lowered grade and its justification (one text may cover
// several pupils), and free remarks. What the teacher enters lives in the class sheet
// and the remarks memo; the right-hand lists show the sheet by name.
class TFZachowania final : public ClassEditor
{
    Q_OBJECT

public:
    // `dialog` takes the grade and its justification; `preview` shows the page once
    // the report is written.
    explicit TFZachowania(TFEdytujZachowanie* dialog = nullptr, TFBrowser* preview = nullptr,
                          QWidget* parent = nullptr);

    void SetGradeDialog(TFEdytujZachowanie* dialog) { m_dialog = dialog; }

    // Position in the main window's topic list.
    static constexpr int kTopicIndex = 1;
    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    bool FinishReport() override;
    void ClearEditorInputs() override;

private:
    void FormShow() override;
    void LoadClass(int classIndex);
    // The lowered grades beside the names of the right-hand list.
    void ShowEnteredGrades();

    ZachowanieEdit Edit() const;
    bool ShowEdit(const ZachowanieEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFZachowania::ShowEdit); }
    QString DraftAbout() const override;
    void ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed) override;

    void CListaKlasOgolneChange(int index);
    void LRozwinListeClick();
    void LDodajWzorowegoClick();
    void LUsunWzorowegoClick();
    void LDodajObnizoneClick(const QJsonObject& typed = {});
    void LUsunObnizoneClick();
    void LEdytujObnizoneClick(const QJsonObject& typed = {});

    TFEdytujZachowanie* m_dialog;

    QLabel* m_imTlo;

    QComboBox* m_cListaKlasOgolne;
    QLabel* m_lRozwinListe;
    QLineEdit* m_eKlasyfikowanych;
    QPlainTextEdit* m_mInneUwagi;

    QListWidget* m_lUczniowieWzorowe;
    QListWidget* m_lWzorowi;
    QLabel* m_lDodajWzorowego;
    QLabel* m_lUsunWzorowego;

    QListWidget* m_lUczniowieNaganne;
    QListWidget* m_lNaganni;
    QLabel* m_lDodajObnizone;
    QLabel* m_lUsunObnizone;
    QLabel* m_lEdytujObnizone;
};
