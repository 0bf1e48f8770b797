#pragma once

#include "core/Messages.h"
#include "drafts/DraftStore.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ReportEditor;

// The drafts of one editor window: when the editor opens afresh it offers the draft
// the same teacher left for this topic ("Kontynuuj" restores it, "Zacznij od nowa"
// puts it aside among the discarded drafts), and while the editor is open it keeps
// the draft, the text of an open entry dialog included. The editor gives its value
// and takes one back through the hooks; the teacher and the topic are the wizard's
// current ones.
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
        // the school's data, fields of a wrong kind). What changed in the school's
        // data since (pupils gone, pupils new) goes into `notice`.
        std::function<bool(const QJsonObject&, QString* notice)> restore;
        // The entry dialog open over the editor, as the draft keeps it; empty when
        // none is open. May be unset.
        std::function<QJsonObject()> dialog;
        // Opens that entry dialog again with its text, after a restore.
        std::function<void(const QJsonObject&)> reopenDialog;
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
    // The teacher chose to start anew (another class): the draft as it is goes to
    // the discarded drafts, and keeping goes on for what comes next.
    void PutAside();

    // The question offering a draft, and its answers, exposed for their wording.
    static QString OfferText(const QString& topicName, const Draft& draft);
    static NamedAnswers OfferAnswers();
    // The question before a lock another computer left is taken over.
    static QString OtherMachineText(const QString& topicName, const QString& holder);

private:
    std::optional<Draft> Collect() const;
    // Takes the draft's lock, asking first when another computer left it.
    bool TakeLock(const DraftStore& store, const QString& teacher, int topic);

    QString m_topicName;
    Hooks m_hooks;
    DraftKeeper m_keeper;
};

// Before the program closes: when `editor` holds input whose report has not been
// delivered, writes its draft and asks whether to close ("Zamknij program", the draft
// stays for the next time) or to go back to work (the default, and what Esc does).
// True when the program may close.
bool AskBeforeClosing(ReportEditor* editor);
QString CloseQuestionText();
NamedAnswers CloseQuestionAnswers();

// Before an editor's class (or subject) changes while it holds input: asks
// `question` with the answers `change` and `keep`; `keep` is the default and what
// Esc does. True when the teacher chose to change.
bool AskBeforeChanging(const QString& question, const QString& change, const QString& keep);

// The drafts waiting in the program's data folder, for the welcome panel: one line
// per draft (teacher, topic, when); empty when there are none. `topicName` gives a
// topic's name by its index.
QString WaitingDraftsText(const QString& dataFolder, const std::function<QString(int)>& topicName);
