#pragma once

#include "core/Messages.h"

#include <QList>
#include <QString>
#include <QStringList>

// Stands in for the message dialog: records every message and answers with the
// scripted answers in order (0, "Zamknij", once the script is used up). It installs
// itself on construction and restores the previous presenter on destruction.
class MessageRecorder final : public MessagePresenter
{
public:
    struct Message
    {
        int kind;
        int icon;
        QString text;
        // The buttons' captions of a question with named answers, else empty.
        QStringList captions;
        int keeps = -1;
    };

    MessageRecorder();
    ~MessageRecorder() override;
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void scriptAnswers(const QList<int>& answers) { m_answers = answers; }
    const QList<Message>& messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

    int present(int kind, int icon, const QString& text) override;
    int presentNamed(int icon, const QString& text, const NamedAnswers& answers) override;

private:
    MessagePresenter* m_previous;
    QList<int> m_answers;
    QList<Message> m_messages;
};
