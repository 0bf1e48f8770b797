#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class ReportCollection;
struct CollectedReport;

// Reads the inputs of one collecting run into a ReportCollection: report documents
// (*.xml), single mails (*.eml), mailboxes in mbox form (*.mbox, or a file without
// extension that begins with "From "), Maildir folders (cur/ and new/) and folders
// holding any of these, searched to a bounded depth. Inside a given folder symbolic
// links are never followed: a link where a report could be is listed as damaged.
// Every file is read with a size cap; a damaged one is listed and the run goes on.
// Nothing is passed over in silence: a folder that cannot be read, one past the
// depth cap and everything past the entry cap are rows of the collection too.
class InputCollector
{
public:
    explicit InputCollector(ReportCollection& reports) : m_reports(reports) {}

    // Reads one path given by the user. False, with the reason, when it does not
    // exist or is neither a file nor a folder; everything found inside is listed in
    // the collection instead.
    bool addPath(const QString& path, QString* error);

    // Told the documents and mails read so far, every kProgressStep documents.
    std::function<void(int documents, int mails)> progress;
    static constexpr int kProgressStep = 250;

    int mailsRead() const { return m_mails; }
    int mailsWithoutReport() const { return m_mailsWithoutReport; }
    // Every file opened, as an absolute path.
    const QSet<QString>& filesRead() const { return m_filesRead; }
    // Every file opened, by device and inode: no output may be written over one,
    // whatever path names it.
    struct FileId
    {
        quint64 device = 0;
        quint64 inode = 0;
        friend bool operator==(const FileId&, const FileId&) = default;
    };
    const QList<FileId>& fileIdsRead() const { return m_fileIds; }
    bool wasRead(const FileId& id) const { return m_fileIdSet.contains(key(id)); }
    // The folders given as inputs, as canonical paths (no link in them).
    const QStringList& inputFolders() const { return m_inputFolders; }
    // Inputs given up on as a whole (the caps on count and depth), in Polish; each is
    // also a damaged row of the collection.
    const QStringList& notes() const { return m_notes; }

    static constexpr int kMaxDepth = 16;
    static constexpr int kMaxEntries = 500000; // files and folders looked at in one run

private:
    enum class Kind
    {
        Document,
        Mail,
        Mailbox,
        Other
    };
    static Kind kindOfName(const QString& fileName);

    static QString key(const FileId& id)
    {
        return QString::number(id.device) + u':' + QString::number(id.inode);
    }
    void giveUp(const QString& source, const QString& note);
    void readFolder(const QString& path, int depth);
    void readMaildir(const QString& path);
    void readFile(const QString& path, Kind kind, bool followLink);
    void damaged(const QString& source, const QString& reason);
    void add(CollectedReport report);
    bool counted();

    ReportCollection& m_reports;
    int m_entries = 0;
    int m_mails = 0;
    int m_mailsWithoutReport = 0;
    QStringList m_notes;
    QSet<QString> m_filesRead;
    QList<FileId> m_fileIds;
    QSet<QString> m_fileIdSet;
    QStringList m_inputFolders;
};
