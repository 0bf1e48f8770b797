#pragma once

#include "shell/ReportEditor.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class TFBrowser;
class TFEdytujNdst;

// The failing-grade justification editor (topic "Uzasadnienie oceny niedostatecznej"):
// the subject, the class, and a written justification for each pupil of that class
// who fails the subject. One text may be written for several pupils at once. The
// texts live in the class sheet; the right-hand list shows the justified pupils.
class TFUzasadnienie final : public QWidget, public ReportEditor
{
    Q_OBJECT

public:
    // `dialog` is the program's one justification text dialog; `preview` shows the
    // page once the report is written.
    explicit TFUzasadnienie(TFEdytujNdst* dialog = nullptr, TFBrowser* preview = nullptr,
                            QWidget* parent = nullptr);

    void SetTextDialog(TFEdytujNdst* dialog) { m_dialog = dialog; }
    void SetPreviewWindow(TFBrowser* preview) { m_preview = preview; }

    // Position in the main window's topic list.
    static constexpr int kTopicIndex = 5;
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
    void LoadClass(int classIndex);
    QString ChosenSubject() const;

    void CListaKlasChange(int index);
    void LUzasadniajClick();
    void LEdytujClick();
    void LUsunClick();
    void LRozwinPrzedmiotClick();
    void LRozwinKlaseClick();
    void ImTloClick() { Q_EMIT HideHint(); }

    TFEdytujNdst* m_dialog;
    TFBrowser* m_preview;

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

    bool m_filling = false;
};
