#include "collect/InputCollector.h"

#include "collect/CollectedReport.h"
#include "collect/MailReader.h"
#include "collect/ReportCollection.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <vector>
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

struct Entry
{
    QString name;
    unsigned char type; // DT_* from the folder, DT_UNKNOWN when it does not say
};

// A folder's entries in the order of their names' bytes, the same on every system
// and under every locale. False, with the reason, when the folder cannot be read.
bool folderEntries(const QString& folder, bool followLink, std::vector<Entry>* entries, QString* error)
{
    const QByteArray native = QFile::encodeName(folder);
    const int fd =
        ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        *error = QStringLiteral("nie można otworzyć folderu: %1").arg(systemError());
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    std::vector<std::pair<QByteArray, unsigned char>> raw;
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            raw.emplace_back(QByteArray(e->d_name), e->d_type);
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        errno = readError;
        *error = QStringLiteral("nie można odczytać folderu: %1").arg(systemError());
        return false;
    }
    std::sort(raw.begin(), raw.end());
    entries->reserve(raw.size());
    for (const auto& [name, type] : raw)
        entries->push_back({QFile::decodeName(name), type});
    return true;
}

bool isMaildir(const QString& folder)
{
    return QFileInfo(QDir(folder).filePath(QStringLiteral("cur"))).isDir() &&
           QFileInfo(QDir(folder).filePath(QStringLiteral("new"))).isDir();
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

void InputCollector::giveUp(const QString& source, const QString& note)
{
    m_notes.append(note);
    damaged(source, note);
}

bool InputCollector::counted()
{
    if (++m_entries <= kMaxEntries)
        return true;
    if (m_entries == kMaxEntries + 1)
        giveUp(QString(),
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
        m_inputFolders.append(info.canonicalFilePath());
        if (isMaildir(path))
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
        giveUp(path, QStringLiteral("folder leży głębiej niż %1 poziomów; nie czytano go").arg(kMaxDepth));
        return;
    }
    std::vector<Entry> entries;
    QString error;
    if (!folderEntries(path, depth == 0, &entries, &error)) {
        damaged(path, error);
        return;
    }
    const QDir folder(path);
    for (const Entry& entry : entries) {
        if (!counted())
            return;
        const QString child = folder.filePath(entry.name);
        const Kind kind = kindOfName(entry.name);
        struct stat st = {};
        if (::lstat(QFile::encodeName(child).constData(), &st) != 0) {
            damaged(child, QStringLiteral("nie można odczytać: %1").arg(systemError()));
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            struct stat target = {};
            const bool toFolder = ::stat(QFile::encodeName(child).constData(), &target) == 0 &&
                                  S_ISDIR(target.st_mode);
            if (toFolder || kind != Kind::Other)
                damaged(child, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (isMaildir(child))
                readMaildir(child);
            else
                readFolder(child, depth + 1);
        } else if (kind != Kind::Other || QFileInfo(entry.name).suffix().isEmpty()) {
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
        struct stat st = {};
        if (::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            damaged(folder, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            continue;
        }
        std::vector<Entry> entries;
        QString error;
        if (!folderEntries(folder, false, &entries, &error)) {
            damaged(folder, error);
            continue;
        }
        for (const Entry& entry : entries) {
            if (!counted())
                return;
            const QString file = QDir(folder).filePath(entry.name);
            if (::lstat(QFile::encodeName(file).constData(), &st) != 0) {
                damaged(file, QStringLiteral("nie można odczytać: %1").arg(systemError()));
            } else if (S_ISLNK(st.st_mode)) {
                damaged(file, QStringLiteral("dowiązanie symboliczne; nie czytano go"));
            } else if (S_ISDIR(st.st_mode)) {
                damaged(file, QStringLiteral("folder wewnątrz folderu Maildir; nie czytano go"));
            } else {
                readFile(file, Kind::Mail, false);
            }
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
    const FileId id{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    if (!m_fileIdSet.contains(key(id))) {
        m_fileIdSet.insert(key(id));
        m_fileIds.append(id);
    }

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
