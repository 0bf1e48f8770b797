#pragma once

#include "shell/Messages.h"

#include <QDialog>
#include <QPoint>

class QLabel;
class QWidget;

// The program's own modal message box: a borderless, skinned 350 by 150 window with
// an icon, the text and picture buttons (Tak/Nie/Anuluj for questions, Zamknij for
// notices). It is created once at start and installed as the message presenter.
class TFWarning final : public QDialog, public MessagePresenter
{
    Q_OBJECT

public:
    explicit TFWarning(QWidget* parent = nullptr);
    ~TFWarning() override;

    // Shows `text` modally and returns the answer: 0 Zamknij (also Escape and the close
    // mark), 1 Tak, 2 Nie, 3 Anuluj. Kind 1 offers Zamknij, kind 2 Tak and Anuluj,
    // kind 3 Tak, Nie and Anuluj; icon 1 information, 2 question, 3 warning, any other
    // value keeps the icon of the previous message.
    int present(int kind, int icon, const QString& text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum Button
    {
        ButTak = 1,
        ButNie = 2,
        ButAnuluj = 3,
        ButZamknij = 4
    };

    QWidget* panel(Button button) const;
    QLabel* image(Button button) const;
    void showButton(Button button, bool highlighted);
    void moveHighlight(int step);
    void closeWith(int answer);
    // 1 for a Tab, -1 for a Shift+Tab pressed in this dialog while it is shown, else 0.
    int tabStep(QObject* watched, QEvent* event) const;

    void FormKeyDown(QKeyEvent* event);
    void ImButTakClick() { closeWith(AnswerYes); }
    void ImButNieClick() { closeWith(AnswerNo); }
    void ImButAnulujClick() { closeWith(AnswerCancel); }
    void ImButZamknijClick() { closeWith(AnswerClose); }
    void LCloseClick();
    void LListwaMouseDown(QMouseEvent* event);
    void LListwaMouseMove(QMouseEvent* event);
    void LListwaMouseUp();

    QLabel* m_imWarning;
    QLabel* m_lTekstWarning;
    QLabel* m_lClose;
    QLabel* m_lListwa;
    QWidget* m_pIkona;
    QLabel* m_imIkona;
    QWidget* m_pButTak;
    QLabel* m_imButTak;
    QWidget* m_pButNie;
    QLabel* m_imButNie;
    QWidget* m_pButAnuluj;
    QLabel* m_imButAnuluj;
    QWidget* m_pButZamknij;
    QLabel* m_imButZamknij;

    int m_focusedButton = ButZamknij;
    int m_result = AnswerClose;
    bool m_dragging = false;
    QPoint m_dragLast;
};
