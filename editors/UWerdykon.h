#pragma once

#include "shell/ReportEditor.h"

#include <QList>
#include <QWidget>

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
class TFWerdykon final : public QWidget, public ReportEditor
{
    Q_OBJECT

public:
    // `preview` shows the page once the report is written.
    explicit TFWerdykon(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    void SetPreviewWindow(TFBrowser* preview) { m_preview = preview; }

    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    void ShowEditor() override;
    bool FinishReport() override;
    void CloseEditor() override;
    void ClearEditorInputs() override;

    TFEditSrednie* AverageDialog() const { return m_editSrednie; }
    TFEditNdst* SubjectsDialog() const { return m_editNdst; }

Q_SIGNALS:
    // A click anywhere in the editor dismisses the main window's hint panel.
    void HideHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void ShowTab(int tab);
    void LoadClass(int classIndex);
    bool ClassGetsNoAverage() const;

    void LOgolneClick() { ShowTab(1); }
    void LFrekwencjaClick() { ShowTab(2); }
    void LSrednieClick() { ShowTab(3); }
    void LNdstClick() { ShowTab(4); }
    void CListaKlasOgolneChange(int index);
    void LRozwinListeClick();
    bool EPromowanychKeyPress(const QKeyEvent* event);
    void LDodajFrekwencjaClick();
    void LUsunFrekwencjaClick();
    void LDodajSrednieClick();
    void LUsunSrednieClick();
    void LDodajNdstClick();
    void LUsunNdstClick();
    void ImTloClick() { Q_EMIT HideHint(); }

    // Removes the selected entry of a right-hand list and clears its row through
    // `clearRow`, the row found by the name in the tab's left-hand list.
    void RemoveListed(QListWidget* listed, QListWidget* pupils, const std::function<void(int row)>& clearRow);

    TFBrowser* m_preview;
    TFEditSrednie* m_editSrednie;
    TFEditNdst* m_editNdst;

    QLabel* m_imTlo;
    QWidget* m_pZakladki;
    QLabel* m_imZakladki;
    QLabel* m_lOgolne;
    QLabel* m_lFrekwencja;
    QLabel* m_lSrednie;
    QLabel* m_lNdst;
    QList<QWidget*> m_panels;
    QList<QLabel*> m_tabLabels;

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

    bool m_filling = false;
    // The list that saw Enter go down: a release left over from Enter in a dialog
    // must not add the pupil again.
    QObject* m_enterPressedIn = nullptr;
};
