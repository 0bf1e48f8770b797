#pragma once

#include "windows/editors/ClassEditor.h"

class QComboBox;
class QLabel;
class QListWidget;
class TFBrowser;
class TFEdytujNdst;

// The failing-grade justification editor (topic "Uzasadnienie oceny niedostatecznej"):
// the subject, the class, and a written justification for each pupil of that class
// who fails the subject. One text may be written for several pupils at once. The
// texts live in the class sheet; the right-hand list shows the justified pupils.
class TFUzasadnienie final : public ClassEditor
{
    Q_OBJECT

public:
    // `dialog` is the program's one justification text dialog; `preview` shows the
    // page once the report is written.
    explicit TFUzasadnienie(TFEdytujNdst* dialog = nullptr, TFBrowser* preview = nullptr,
                            QWidget* parent = nullptr);

    void SetTextDialog(TFEdytujNdst* dialog) { m_dialog = dialog; }

    // Position in the main window's topic list.
    static constexpr int kTopicIndex = 5;
    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    bool FinishReport() override;
    void ClearEditorInputs() override;

private:
    void FormShow() override;
    void LoadClass(int classIndex);
    void ShowEnteredJustifications();
    QString ChosenSubject() const;

    UzasadnienieEdit Edit() const;
    bool ShowEdit(const UzasadnienieEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFUzasadnienie::ShowEdit); }
    QString DraftAbout() const override;
    void ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed) override;

    void CListaKlasChange(int index);
    void LUzasadniajClick(const QJsonObject& typed = {});
    void LEdytujClick(const QJsonObject& typed = {});
    void LUsunClick();
    void LRozwinPrzedmiotClick();
    void LRozwinKlaseClick();

    TFEdytujNdst* m_dialog;

    QLabel* m_imTlo;
    QComboBox* m_cPrzedmiotNauczania;
    QLabel* m_lRozwinPrzedmiot;
    QComboBox* m_cListaKlas;
    QLabel* m_lRozwinKlase;
    QListWidget* m_lUczniowie;
    QListWidget* m_lUzasadnione;
    QLabel* m_lUzasadniaj;
    QLabel* m_lUsun;
    QLabel* m_lEdytuj;
};
