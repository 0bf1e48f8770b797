#pragma once

#include "windows/editors/ClassEditor.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class TFBrowser;
class TFEditNdst;
class TFEditSrednie;

// The class classification editor (topic "Werdykon uczniów danej klasy"): the class,
// its classified and promoted counts, the pupils with full attendance, those who
// deserve a distinction with their averages, and those with failing grades with their
// subjects. What the teacher enters lives in the class sheet; the right-hand lists show
// it by name. The forward arrow writes the report and opens the preview window.
class TFWerdykon final : public ClassEditor
{
    Q_OBJECT

public:
    // `preview` shows the page once the report is written.
    explicit TFWerdykon(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    bool FinishReport() override;
    void ClearEditorInputs() override;

    TFEditSrednie* AverageDialog() const { return m_editSrednie; }
    TFEditNdst* SubjectsDialog() const { return m_editNdst; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The averages and failing subjects beside the names of the right-hand lists.
    void ShowEnteredValues();

private:
    void FormShow() override;
    void TabShown(int tab) override;
    void LoadClass(int classIndex);
    bool ClassGetsNoAverage() const;

    WerdykonEdit Edit() const;
    bool ShowEdit(const WerdykonEdit& edit);
    std::optional<QJsonObject> DraftInput() const override { return DraftOf(Edit()); }
    bool RestoreDraft(const QJsonObject& in) override { return Restore(in, this, &TFWerdykon::ShowEdit); }
    QString DraftAbout() const override;
    void ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed) override;

    void CListaKlasOgolneChange(int index);
    void LRozwinListeClick();
    bool EPromowanychKeyPress(const QKeyEvent* event);
    void LDodajFrekwencjaClick();
    void LUsunFrekwencjaClick();
    void LDodajSrednieClick(const QJsonObject& typed = {});
    void LUsunSrednieClick();
    void LDodajNdstClick(const QJsonObject& typed = {});
    void LUsunNdstClick();

    // Removes the selected entry of a right-hand list and clears its row through
    // `clearRow`, the row found by the name in the tab's left-hand list.
    void RemoveListed(QListWidget* listed, QListWidget* pupils, const std::function<void(int row)>& clearRow);

    TFEditSrednie* m_editSrednie;
    TFEditNdst* m_editNdst;

    QLabel* m_imTlo;

    QComboBox* m_cListaKlasOgolne;
    QLabel* m_lRozwinListe;
    QLineEdit* m_eKlasyfikowanych;
    QLineEdit* m_ePromowanych;

    QListWidget* m_lUczniowieFrekwencja;
    QListWidget* m_l100Frekwencja;
    QLabel* m_lDodajFrekwencja;
    QLabel* m_lUsunFrekwencja;

    QListWidget* m_lUczniowieSrednie;
    QListWidget* m_lSrednieZPaskiem;
    QLabel* m_lDodajSrednie;
    QLabel* m_lUsunSrednie;

    QListWidget* m_lUczniowieNdst;
    QListWidget* m_lNiedostateczni;
    QLabel* m_lDodajNdst;
    QLabel* m_lUsunNdst;

    // The list that saw Enter go down: a release left over from Enter in a dialog
    // must not add the pupil again.
    QObject* m_enterPressedIn = nullptr;
};
