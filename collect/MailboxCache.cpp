#include "collect/MailboxCache.h"

#include "collect/ImapAccount.h"
#include "shell/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A folder that is a real folder, made when missing; a link there is refused.
bool realFolder(const QString& path, QString* error)
{
    struct stat st = {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0) {
        if (errno != ENOENT || (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)) {
            *error = QStringLiteral("nie można utworzyć folderu „%1”: %2").arg(path, systemError());
            return false;
        }
        if (::lstat(native.constData(), &st) != 0) {
            *error = QStringLiteral("nie można utworzyć folderu „%1”: %2").arg(path, systemError());
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = QStringLiteral("„%1” nie jest folderem (dowiązanie albo plik); pamięć podręczna poczty "
                                "nie została użyta")
                     .arg(path);
        return false;
    }
    return true;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Writes `bytes` to a new file in `tmpFolder` and renames it to `target`: the target
// is the whole file or the old one. Every byte, the file and the folder are synced.
bool writeAtomically(const QString& tmpFolder, const QString& target, const QByteArray& bytes, QString* error)
{
    static int counter = 0;
    const QString temp = QDir(tmpFolder).filePath(
        QStringLiteral("%1.%2.%3.tmp").arg(QString::number(::getpid()), QString::number(++counter),
                                           QFileInfo(target).fileName()));
    const QByteArray nativeTemp = QFile::encodeName(temp);
    const int fd = ::open(nativeTemp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        *error = QStringLiteral("nie można zapisać pliku „%1”: %2").arg(temp, systemError());
        return false;
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString why = systemError();
    ::close(fd);
    if (!written || ::rename(nativeTemp.constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("nie można zapisać pliku „%1”: %2").arg(target, written ? systemError() : why);
        ::unlink(nativeTemp.constData());
        return false;
    }
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace

QString MailboxCache::FolderFor(const ImapAccount& account)
{
    return ResolveAppData() + QStringLiteral("/Orvix/Tabulon/Zbiorka/IMAP/") + account.cacheKey();
}

bool MailboxCache::open(QString* error)
{
    // Each level is made and checked on its own, so a link planted on the way is
    // found rather than followed.
    const QString base = ResolveAppData();
    QString path = base;
    const QString relative = QDir(base).relativeFilePath(m_folder);
    if (!QDir::isAbsolutePath(m_folder) || relative.startsWith(QLatin1String(".."))) {
        if (!realFolder(m_folder, error))
            return false;
    } else {
        for (const QString& level : relative.split(u'/', Qt::SkipEmptyParts)) {
            path += u'/' + level;
            if (!realFolder(path, error))
                return false;
        }
    }
    for (const char* sub : {"cur", "new", "tmp"}) {
        if (!realFolder(QDir(m_folder).filePath(QLatin1String(sub)), error))
            return false;
    }
    m_uidValidity = 0;
    m_lastUid = 0;
    const QString statePath = QDir(m_folder).filePath(QLatin1String(kStateFile));
    const int fd = ::open(QFile::encodeName(statePath).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return true; // a new cache
    char buffer[256] = {};
    struct stat st = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t got = regular ? ::read(fd, buffer, sizeof buffer - 1) : -1;
    ::close(fd);
    // A state that cannot be read makes the cache start over: the server holds the
    // mails.
    static const QRegularExpression pattern(QStringLiteral("^TABULON-IMAP 1\nuidvalidity (\\d{1,10})\nlast (\\d{1,10})\n$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(buffer, got > 0 ? int(got) : 0));
    if (m.hasMatch()) {
        m_uidValidity = m.captured(1).toLongLong();
        m_lastUid = m.captured(2).toLongLong();
    }
    return true;
}

bool MailboxCache::reset(qint64 uidValidity, QString* error)
{
    for (const char* sub : {"cur", "new", "tmp"}) {
        QDir dir(QDir(m_folder).filePath(QLatin1String(sub)));
        for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
            QFile::remove(dir.filePath(name));
    }
    m_uidValidity = uidValidity;
    m_lastUid = 0;
    return writeState(error);
}

QString MailboxCache::mailPath(qint64 uid) const
{
    return QDir(m_folder).filePath(QStringLiteral("cur/%1.%2.imap:2,").arg(m_uidValidity).arg(uid));
}

qint64 MailboxCache::UidOfPath(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("/cur/\\d+\\.(\\d+)\\.imap:2,$"));
    const QRegularExpressionMatch m = pattern.match(path);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

bool MailboxCache::contains(qint64 uid) const
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(mailPath(uid)).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MailboxCache::store(qint64 uid, const QByteArray& mail, QString* error)
{
    return writeAtomically(QDir(m_folder).filePath(QStringLiteral("tmp")), mailPath(uid), mail, error);
}

bool MailboxCache::setLastUid(qint64 uid, QString* error)
{
    m_lastUid = uid;
    return writeState(error);
}

bool MailboxCache::writeState(QString* error)
{
    const QByteArray state = "TABULON-IMAP 1\nuidvalidity " + QByteArray::number(m_uidValidity) + "\nlast " +
                             QByteArray::number(m_lastUid) + "\n";
    return writeAtomically(QDir(m_folder).filePath(QStringLiteral("tmp")),
                           QDir(m_folder).filePath(QLatin1String(kStateFile)), state, error);
}
