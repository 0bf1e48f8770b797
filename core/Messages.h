#pragma once

#include <QString>

// The program's only message box. Code of the core asks through ShowMessage; in the
// program the message dialog answers, in tests a recorder answers as scripted, and
// in command-line tools the text goes to standard error.

enum MessageKind
{
    KindNotice = 1,   // "Zamknij" only
    KindHandOver = 2, // instruction before handing a mail to the user's mail program
    KindQuestion = 3, // "Tak", "Nie", "Anuluj"
};

enum MessageIcon
{
    IconInformation = 1,
    IconQuestion = 2,
    IconWarning = 3,
};

// Answers: 0 Zamknij (also Escape and the close mark), 1 Tak, 2 Nie, 3 Anuluj.
enum MessageAnswer
{
    AnswerClose = 0,
    AnswerYes = 1,
    AnswerNo = 2,
    AnswerCancel = 3,
};

// A question whose two buttons say what they do ("Kontynuuj", "Zacznij od nowa")
// instead of Tak and Nie. The first button answers AnswerYes, the second AnswerNo.
// `keeps` is the answer that keeps the teacher's work: the button the dialog opens on
// (Enter) and what Esc and the close mark give.
struct NamedAnswers
{
    QString first;
    QString second;
    int keeps = AnswerNo;
};

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows `text` (a single CR breaks a line) and returns the user's answer.
    virtual int present(int kind, int icon, const QString& text) = 0;
    // Asks a question with named answers; a presenter that cannot name its buttons
    // asks it as an ordinary question.
    virtual int presentNamed(int icon, const QString& text, const NamedAnswers& answers)
    {
        (void)answers;
        return present(KindQuestion, icon, text);
    }
};

// Installs the presenter that answers every later message; nullptr restores the
// default, which prints the text to standard error and answers 0.
void setMessagePresenter(MessagePresenter* presenter);
MessagePresenter* messagePresenter();

// Shows one message and returns the answer, which is also kept in
// AppState::DialogResult until the next message.
int ShowMessage(int kind, int icon, const QString& text);

// Asks a question with named answers and returns AnswerYes (the first button) or
// AnswerNo (the second). Any other ending of the dialog counts as `answers.keeps`.
int AskNamed(int icon, const QString& text, const NamedAnswers& answers);
