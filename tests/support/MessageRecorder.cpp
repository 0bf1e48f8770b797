#include "support/MessageRecorder.h"

#include <QStringList>

MessageRecorder::MessageRecorder() : m_previous(messagePresenter())
{
    setMessagePresenter(this);
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(m_previous);
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const Message& m : m_messages)
        out << m.text;
    return out;
}

int MessageRecorder::present(int kind, int icon, const QString& text)
{
    m_messages.append({kind, icon, text, {}, -1});
    return m_answers.isEmpty() ? AnswerClose : m_answers.takeFirst();
}

int MessageRecorder::presentNamed(int icon, const QString& text, const NamedAnswers& answers)
{
    m_messages.append({KindQuestion, icon, text, {answers.first, answers.second}, answers.keeps});
    return m_answers.isEmpty() ? AnswerClose : m_answers.takeFirst();
}
