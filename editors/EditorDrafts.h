#pragma once

#include "editors/DraftStore.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ReportEditor;

// The drafts of one editor window: when the editor opens from the topic list it
// offers the draft the same teacher left for this topic (Tak restores it, Nie
// discards it), and while the editor is open it keeps the draft a moment after each
// change. The editor gives its value and takes one back through the hooks; the
// teacher and the topic are the wizard's current ones.
class EditorDrafts : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // The editor's value, nothing when it holds no input.
        std::function<std::optional<QJsonObject>()> collect;
        // What the value concerns, for the question ("klasa 1a"); may be empty.
        std::function<QString()> about;
        // Shows the value again; false when it does not fit (a class no longer in
        // the school's data, fields of a wrong kind).
        std::function<bool(const QJsonObject&)> restore;
    };

    EditorDrafts(QString topicName, Hooks hooks, QObject* parent = nullptr);

    // The editor has been shown: after a fresh start (`navigatingBack` false) the
    // stored draft is offered; then keeping starts.
    void Opened(bool navigatingBack);
    // The editor's input changed.
    void Changed() { m_keeper.Changed(); }
    // Writes a pending change now.
    void Flush() { m_keeper.Flush(); }
    // The editor closes: the pending change is written and the draft stays.
    void Closed() { m_keeper.End(); }
    // The teacher gave the input up: the draft goes.
    void Discard();

    // The question offering a draft, exposed for its wording.
    static QString OfferText(const QString& topicName, const Draft& draft);

private:
    std::optional<Draft> Collect() const;

    QString m_topicName;
    Hooks m_hooks;
    DraftKeeper m_keeper;
};

// Before the program closes: when `editor` holds input whose report has not been
// delivered, asks whether to close. Tak closes and keeps the draft, Nie closes and
// discards it, Anuluj (or Esc) stays. True when the program may close.
bool AskBeforeClosing(ReportEditor* editor);

// Before a class editor's class (or subject) changes while it holds input: asks
// `question`; true on Tak.
bool AskBeforeDiscarding(const QString& question);
