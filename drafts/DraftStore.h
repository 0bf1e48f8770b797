#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QLockFile;

// A draft of one editor's input: whose it is (teacher and topic), when it was last
// changed, what it concerns (a class or a subject, for the question that offers it)
// and the editor's value as DraftFields saves it.
struct Draft
{
    QString Teacher;
    int Topic = -1;
    QDateTime Changed;
    QString About;
    QJsonObject Input;
    // The entry dialog open over the editor when the draft was written (its name,
    // what it was opened for and the text typed into it); empty when none was.
    QJsonObject Dialog;
};

// The drafts of the editors in the program's data folder, one file per teacher and
// topic, so that several teachers of one school computer keep their own. The file is
// the program's own versioned format; it is written whole or not at all, and a file
// that cannot be read back is set aside under another name, never deleted.
class DraftStore
{
public:
    // Drafts live in `dataFolder` + "Szkice"; without a data folder (an editor alone,
    // before any start-up) there are none.
    explicit DraftStore(const QString& dataFolder);

    bool IsUsable() const { return !m_folder.isEmpty(); }
    const QString& Folder() const { return m_folder; }
    QString PathOf(const QString& teacher, int topic) const;

    enum class Found
    {
        None,    // no draft of that teacher and topic
        Draft,   // `draft` holds it
        Damaged, // it could not be read; moved to `setAside`
    };
    Found Read(const QString& teacher, int topic, Draft* draft, QString* setAside = nullptr) const;
    // False with a reason when the draft could not be written (a draft over kMaxBytes
    // among them); an earlier draft then stays as it was.
    bool Write(const Draft& draft, QString* error = nullptr) const;
    // The draft is finished with (its report was handed in): it goes for good. Like
    // Discard, it leaves alone a draft that another running program holds: without
    // `heldHere` (this program holds the draft's lock) the lock is taken first, and
    // false is returned when it cannot be.
    bool Remove(const QString& teacher, int topic, bool heldHere = false) const;
    // The teacher started anew: the draft moves to the folder of discarded drafts
    // ("Szkice/Odrzucone"), where it stays kDiscardedDays days; past kDiscardedMaxBytes
    // the oldest discarded drafts go first. False when it could not be moved (it
    // then stays where it was).
    bool Discard(const QString& teacher, int topic, bool heldHere = false) const;
    QString DiscardedFolder() const;
    // Forgets discarded drafts older than kDiscardedDays and, oldest first, those
    // past kDiscardedMaxBytes.
    void PruneDiscarded() const;

    // Every readable draft in the folder, newest first (for the welcome panel).
    QList<Draft> All() const;

    // The file's bytes, and back. Decode refuses anything not written by Encode of
    // this format version, and anything larger than kMaxBytes.
    static QByteArray Encode(const Draft& draft);
    static bool Decode(const QByteArray& bytes, Draft* draft);

    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;
    static constexpr int kDiscardedDays = 30;
    static constexpr qint64 kDiscardedMaxBytes = 64 * 1024 * 1024;

private:
    QString m_folder;
};

// Keeps the draft of one open editor: the editor's value is written one second after
// the last change, and never later than five seconds after the first change not yet
// written, however fast the teacher types; a crash loses at most those seconds. While
// it keeps a draft it holds a lock beside it, so that a second running program never
// takes over (or deletes) the same teacher's draft of the same topic.
class DraftKeeper : public QObject
{
    Q_OBJECT

public:
    // `collect` gives the editor's value as a draft, nothing when the editor holds no
    // input (the draft file then goes).
    using Collect = std::function<std::optional<Draft>()>;

    explicit DraftKeeper(Collect collect, QObject* parent = nullptr);
    ~DraftKeeper() override;

    static constexpr int kDelayMs = 1000;
    static constexpr int kLongestDelayMs = 5000;

    enum class Lock
    {
        Taken,        // this program keeps the draft now
        Busy,         // a program running on this computer keeps it
        OtherMachine, // a lock left by the computer `Holder()` names
        Failed,       // no folder for drafts
    };
    // Starts keeping the draft of `teacher` and `topic`. A lock whose program has
    // ended on this computer is taken over; any other is not (TakeOver() does that
    // for a lock of another computer, after the teacher agreed).
    Lock Begin(const DraftStore& store, const QString& teacher, int topic);
    Lock TakeOver(const DraftStore& store, const QString& teacher, int topic);
    // The computer named in the lock that Begin could not take.
    const QString& Holder() const { return m_holder; }
    bool IsKeeping() const { return m_lock != nullptr; }

    // The editor's input changed.
    void Changed();
    // Writes a pending change at once.
    void Flush();
    // Flushes, then stops keeping and releases the lock; the draft file stays.
    void End();
    // Stops keeping and moves the draft to the discarded drafts; only a draft this
    // program holds is touched.
    void Discard();
    // Stops keeping and removes the draft (its report was handed in).
    void Remove();

private:
    void WriteNow();

    Collect m_collect;
    QTimer m_timer;
    QTimer m_longest;
    QString m_holder;
    std::optional<DraftStore> m_store;
    QString m_teacher;
    int m_topic = -1;
    std::unique_ptr<QLockFile> m_lock;
    QJsonObject m_written;
    bool m_toldFailure = false;
};
