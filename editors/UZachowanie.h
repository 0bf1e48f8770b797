#pragma once

#include "shell/ReportEditor.h"

#include <QList>
#include <QWidget>

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
class TFZachowania final : public QWidget, public ReportEditor
{
    Q_OBJECT

public:
    // `dialog` takes the grade and its justification; `preview` shows the page once
    // the report is written.
    explicit TFZachowania(TFEdytujZachowanie* dialog = nullptr, TFBrowser* preview = nullptr,
                          QWidget* parent = nullptr);

    void SetGradeDialog(TFEdytujZachowanie* dialog) { m_dialog = dialog; }
    void SetPreviewWindow(TFBrowser* preview) { m_preview = preview; }

    // Position in the main window's topic list.
    static constexpr int kTopicIndex = 1;
    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    void ShowEditor() override;
    bool FinishReport() override;
    void CloseEditor() override;
    void ClearEditorInputs() override;

Q_SIGNALS:
    // A click anywhere in the editor dismisses the main window's hint panel.
    void HideHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void ShowTab(int tab);
    void LoadClass(int classIndex);

    void LOgolneClick() { ShowTab(1); }
    void LFrekwencjaClick() { ShowTab(2); }
    void LSrednieClick() { ShowTab(3); }
    void CListaKlasOgolneChange(int index);
    void LRozwinListeClick();
    void LDodajWzorowegoClick();
    void LUsunWzorowegoClick();
    void LDodajObnizoneClick();
    void LUsunObnizoneClick();
    void LEdytujObnizoneClick();
    void ImTloClick() { Q_EMIT HideHint(); }

    TFEdytujZachowanie* m_dialog;
    TFBrowser* m_preview;

    QLabel* m_imTlo;
    QWidget* m_pZakladki;
    QLabel* m_imZakladki;
    QLabel* m_lOgolne;
    QLabel* m_lFrekwencja;
    QLabel* m_lSrednie;
    QList<QWidget*> m_panels;
    QList<QLabel*> m_tabLabels;

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

    bool m_filling = false;
};
