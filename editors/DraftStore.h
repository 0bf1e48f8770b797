#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
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
    // False with a reason when the draft could not be written; an earlier draft then
    // stays as it was.
    bool Write(const Draft& draft, QString* error = nullptr) const;
    void Remove(const QString& teacher, int topic) const;

    // The file's bytes, and back. Decode refuses anything not written by Encode of
    // this format version, and anything larger than kMaxBytes.
    static QByteArray Encode(const Draft& draft);
    static bool Decode(const QByteArray& bytes, Draft* draft);

    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;

private:
    QString m_folder;
};

// Keeps the draft of one open editor: a change restarts a short delay after which
// the editor's value is written, so that a crash loses at most the last second of
// typing. While it keeps a draft it holds a lock beside it, so that a second running
// program never takes over the same teacher's draft of the same topic.
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

    // Starts keeping the draft of `teacher` and `topic`. False when another running
    // program keeps it; nothing is then written.
    bool Begin(const DraftStore& store, const QString& teacher, int topic);
    bool IsKeeping() const { return m_lock != nullptr; }

    // The editor's input changed.
    void Changed();
    // Writes a pending change at once.
    void Flush();
    // Flushes, then stops keeping and releases the lock; the draft file stays.
    void End();
    // Stops keeping and deletes the draft file.
    void Discard();

private:
    void WriteNow();

    Collect m_collect;
    QTimer m_timer;
    std::optional<DraftStore> m_store;
    QString m_teacher;
    int m_topic = -1;
    std::unique_ptr<QLockFile> m_lock;
    QJsonObject m_written;
    bool m_toldFailure = false;
};
