#pragma once

#include "core/Messages.h"

#include <QDialog>
#include <QPoint>

class QLabel;
class QWidget;

// The program's own modal message box: a borderless, skinned window 350 pixels wide
// with an icon, the text and picture buttons (Tak/Nie/Anuluj for questions, Zamknij
// for notices, or two buttons that name what they do). It is 150 pixels high and
// grows downwards for a longer text, so that no line is ever cut. Its buttons are
// focus stops named by their captions; the one the dialog opens on has the focus and
// the text is the dialog's description for screen readers. It is created once at
// start and installed as the message presenter.
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
    int presentNamed(int icon, const QString& text, const NamedAnswers& answers) override;

    static constexpr int kWidth = 350;
    static constexpr int kBaseHeight = 150;

protected:
    void showEvent(QShowEvent* event) override;
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

    int open(int kind, int icon, const QString& text, const NamedAnswers* named);
    // Grows the window below the text to the height the wrapped text needs.
    void fitText();
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
    // The captions of a question with named answers (Tak and Anuluj's places), else
    // empty; `m_keeps` is its answer for Esc and the close mark.
    QString m_firstCaption;
    QString m_secondCaption;
    int m_keeps = AnswerCancel;
    int m_result = AnswerClose;
    bool m_dragging = false;
    QPoint m_dragLast;
};
