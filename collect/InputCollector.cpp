#include "collect/InputCollector.h"

#include "collect/CollectedReport.h"
#include "collect/MailReader.h"
#include "collect/ReportCollection.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open descriptor that is closed unless handed on.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Reads at most `limit` bytes from the start of the file.
QByteArray readUpTo(int fd, qint64 limit)
{
    QByteArray bytes(static_cast<qsizetype>(limit), Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        const ssize_t n = ::pread(fd, bytes.data() + done, static_cast<size_t>(limit - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    bytes.truncate(static_cast<qsizetype>(done));
    return bytes;
}

// A folder's entries in the order of their names' characters, the same on every
// system and under every locale.
QFileInfoList sortedEntries(const QString& folder, QDir::Filters filters)
{
    QFileInfoList entries = QDir(folder).entryInfoList(filters, QDir::NoSort);
    std::sort(entries.begin(), entries.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
    return entries;
}

bool startsLikeMailbox(const QByteArray& head)
{
    return head.startsWith("From ");
}

} // namespace

InputCollector::Kind InputCollector::kindOfName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"xml")
        return Kind::Document;
    if (suffix == u"eml")
        return Kind::Mail;
    if (suffix == u"mbox" || suffix == u"mbx")
        return Kind::Mailbox;
    return Kind::Other;
}

void InputCollector::damaged(const QString& source, const QString& reason)
{
    CollectedReport report;
    report.Source = source;
    report.State = ReportState::Damaged;
    report.Reason = reason;
    add(std::move(report));
}

void InputCollector::add(CollectedReport report)
{
    m_reports.add(std::move(report));
    const auto read = static_cast<int>(m_reports.reports().size());
    if (progress && read % kProgressStep == 0)
        progress(read, m_mails);
}

bool InputCollector::counted()
{
    if (cancelled && cancelled()) {
        if (m_entries <= kMaxEntries)
            m_notes.append(QStringLiteral("zbieranie przerwano; dalszych plików nie czytano"));
        m_entries = kMaxEntries + 2;
        return false;
    }
    if (++m_entries <= kMaxEntries)
        return true;
    if (m_entries == kMaxEntries + 1)
        m_notes.append(
            QStringLiteral("przejrzano %1 plików i folderów; dalszych nie czytano").arg(kMaxEntries));
    return false;
}

bool InputCollector::addPath(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("„%1” nie istnieje").arg(path);
        return false;
    }
    // What the user names himself is read even through a link; inside it, no link
    // is followed.
    if (info.isDir()) {
        if (QFileInfo(QDir(path).filePath(QStringLiteral("cur"))).isDir() &&
            QFileInfo(QDir(path).filePath(QStringLiteral("new"))).isDir())
            readMaildir(path);
        else
            readFolder(path, 0);
        return true;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("„%1” nie jest ani plikiem, ani folderem").arg(path);
        return false;
    }
    readFile(path, kindOfName(path), true);
    return true;
}

void InputCollector::readFolder(const QString& path, int depth)
{
    if (depth > kMaxDepth) {
        m_notes.append(QStringLiteral("folder „%1” leży głębiej niż %2 poziomów; pominięto go")
                           .arg(path, QString::number(kMaxDepth)));
        return;
    }
    const QFileInfoList entries = sortedEntries(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (!counted())
            return;
        const QString child = entry.filePath();
        const Kind kind = kindOfName(child);
        if (entry.isSymLink()) {
            if (entry.isDir() || kind != Kind::Other)
                damaged(child, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            continue;
        }
        if (entry.isDir()) {
            if (QFileInfo(QDir(child).filePath(QStringLiteral("cur"))).isDir() &&
                QFileInfo(QDir(child).filePath(QStringLiteral("new"))).isDir())
                readMaildir(child);
            else
                readFolder(child, depth + 1);
        } else if (kind != Kind::Other || entry.suffix().isEmpty()) {
            // A file without extension is read only when it is a mailbox (as mail
            // programs store their folders).
            readFile(child, kind, false);
        }
    }
}

void InputCollector::readMaildir(const QString& path)
{
    for (const char* sub : {"cur", "new"}) {
        const QString folder = QDir(path).filePath(QLatin1String(sub));
        if (QFileInfo(folder).isSymLink()) {
            damaged(folder, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            continue;
        }
        const QFileInfoList entries = sortedEntries(folder, QDir::Files | QDir::System);
        for (const QFileInfo& entry : entries) {
            if (!counted())
                return;
            if (entry.isSymLink())
                damaged(entry.filePath(), QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            else
                readFile(entry.filePath(), Kind::Mail, false);
        }
    }
}

void InputCollector::readFile(const QString& path, Kind kind, bool followLink)
{
    const QByteArray native = QFile::encodeName(path);
    Fd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
    if (fd.get() < 0) {
        if (!followLink && errno == ELOOP)
            damaged(path, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
        else
            damaged(path, QStringLiteral("nie można otworzyć pliku: %1").arg(systemError()));
        return;
    }
    struct stat st = {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        damaged(path, QStringLiteral("to nie jest zwykły plik"));
        return;
    }
    const qint64 size = st.st_size;
    m_filesRead.insert(QFileInfo(path).absoluteFilePath());

    if (kind == Kind::Other) {
        const QByteArray head = readUpTo(fd.get(), 5);
        if (startsLikeMailbox(head))
            kind = Kind::Mailbox;
        else if (!followLink)
            return; // a file of a folder that is none of ours
        else
            kind =
                head.trimmed().startsWith('<') || head.startsWith("\xFF\xFE") ? Kind::Document : Kind::Mail;
    }

    switch (kind) {
    case Kind::Document:
        if (size > kMaxReportBytes) {
            damaged(
                path,
                QStringLiteral("plik jest za duży na sprawozdanie (ponad %1 MB)").arg(kMaxReportBytes >> 20));
            return;
        }
        add(ReadReportDocument(readUpTo(fd.get(), kMaxReportBytes + 1), path));
        return;
    case Kind::Mail:
    case Kind::Mailbox:
        break;
    case Kind::Other:
        return;
    }

    const bool mailbox = kind == Kind::Mailbox;
    if (size > (mailbox ? MailReader::kMaxMailboxBytes : MailReader::kMaxMailBytes)) {
        damaged(path,
                mailbox
                    ? QStringLiteral("skrzynka jest za duża (ponad %1 GB)")
                          .arg(MailReader::kMaxMailboxBytes >> 30)
                    : QStringLiteral("list jest za duży (ponad %1 MB)").arg(MailReader::kMaxMailBytes >> 20));
        return;
    }
    MailReader::Sink sink;
    sink.attachment = [this](const QString& source, const QByteArray& bytes, const QString& error) {
        if (error.isEmpty())
            add(ReadReportDocument(bytes, source));
        else
            damaged(source, error);
    };
    sink.damaged = [this](const QString& source, const QString& error) { damaged(source, error); };
    sink.mailRead = [this](int reports) {
        ++m_mails;
        if (reports == 0)
            ++m_mailsWithoutReport;
    };
    if (mailbox)
        MailReader::ReadMailbox(fd.release(), path, sink);
    else
        MailReader::ReadSingleMail(fd.release(), path, sink);
}
