#include "files/SafeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

QString FileFailureText(const FileResult& result)
{
    switch (result.failure) {
    case FileFailure::None:
        return {};
    case FileFailure::NoSpace:
        return QStringLiteral("na dysku zabrakło miejsca");
    case FileFailure::Denied:
        return QStringLiteral("brak uprawnień do tego pliku lub folderu albo dysk jest tylko do odczytu");
    case FileFailure::Link:
        return QStringLiteral("w miejscu pliku lub folderu znajduje się dowiązanie");
    case FileFailure::NotRegular:
        return QStringLiteral("w miejscu pliku znajduje się coś, co nie jest zwykłym plikiem");
    case FileFailure::Missing:
        return QStringLiteral("plik lub folder nie istnieje");
    case FileFailure::TooLarge:
        return QStringLiteral("plik jest za duży");
    case FileFailure::Exists:
        return QStringLiteral("wszystkie wolne nazwy pliku są już zajęte");
    case FileFailure::Io:
        return QStringLiteral("wystąpił błąd zapisu lub odczytu dysku");
    case FileFailure::TimedOut:
        return QStringLiteral("upłynął czas przeznaczony na tę operację");
    case FileFailure::Cancelled:
        return QStringLiteral("przerwano na życzenie");
    }
    return {};
}

namespace {

constexpr qint64 kChunk = 256 * 1024;

FileResult success()
{
    return {};
}

FileResult failed(FileFailure failure, const QString& detail = {})
{
    return {failure, detail};
}

// A numbered name: "raport.xml", "raport (2).xml", ...
QString numberedName(const QString& base, const QString& suffix, int number)
{
    if (number <= 1)
        return base + suffix;
    return QStringLiteral("%1 (%2)%3").arg(base).arg(number).arg(suffix);
}

#ifdef Q_OS_UNIX

FileResult fromErrno(int error)
{
    const QString detail = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the file size limit: the disk cannot take the file either way
        return failed(FileFailure::NoSpace, detail);
    case EACCES:
    case EPERM:
    case EROFS:
        return failed(FileFailure::Denied, detail);
    case ELOOP:
        return failed(FileFailure::Link, detail);
    case ENOENT:
    case ENOTDIR:
        return failed(FileFailure::Missing, detail);
    case EISDIR:
    case ENXIO:
        return failed(FileFailure::NotRegular, detail);
    case EEXIST:
        return failed(FileFailure::Exists, detail);
    default:
        return failed(FileFailure::Io, detail);
    }
}

FileResult lastError()
{
    return fromErrno(errno);
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes and reports what the close said: some file systems report a failed
    // write only here.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

FileResult writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min(left, kChunk)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (written == 0)
            return failed(FileFailure::Io, QStringLiteral("write() wrote nothing"));
        data += written;
        left -= written;
    }
    return success();
}

FileResult syncFolder(const QString& folder)
{
    Descriptor fd(::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return lastError();
    // Some file systems cannot sync a folder and say so; the rename stands there anyway.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return lastError();
    return success();
}

// The mode a new file gets: an existing regular file's own, else by `access`.
mode_t modeFor(const QByteArray& target, SafeFile::Access access, bool* keepExisting)
{
    struct stat st = {};
    if (::lstat(target.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        *keepExisting = true;
        return st.st_mode & 07777;
    }
    *keepExisting = false;
    return access == SafeFile::Access::Private ? 0600 : 0666;
}

// Opens `path` for reading only when it is a regular file (a link to one only when
// asked), without waiting on a FIFO; `size` is its size then.
FileResult openForReading(const QString& path, bool followLinks, Descriptor* fd, qint64* size)
{
    const QByteArray name = nativeName(path);
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW);
    fd->reset(::open(name.constData(), flags));
    if (!fd->valid())
        return lastError();
    struct stat st = {};
    if (::fstat(fd->get(), &st) != 0)
        return lastError();
    if (!S_ISREG(st.st_mode))
        return failed(FileFailure::NotRegular);
    const int current = ::fcntl(fd->get(), F_GETFL);
    if (current != -1)
        ::fcntl(fd->get(), F_SETFL, current & ~O_NONBLOCK);
    *size = qint64(st.st_size);
    return success();
}

// Waits for the exclusive lock of a log, at most a few seconds: another program holds
// it only for one line.
bool lockExclusive(int fd)
{
    QElapsedTimer clock;
    clock.start();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (clock.elapsed() > 5000)
            return false;
        ::usleep(5000);
    }
    return true;
}

#endif

} // namespace

namespace SafeFile {

#ifdef Q_OS_UNIX

FileResult Write(const QString& path, QByteArrayView bytes, Access access)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const QByteArray target = nativeName(info.absoluteFilePath());

    struct stat existing = {};
    if (::lstat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        return failed(FileFailure::NotRegular);

    bool keepExisting = false;
    const mode_t mode = modeFor(target, access, &keepExisting);

    // A name of our own beside the target; exclusive creation, so nothing planted
    // under it can be written through.
    QByteArray temporary;
    Descriptor fd;
    for (int attempt = 0; attempt < 16 && !fd.valid(); ++attempt) {
        temporary = nativeName(QDir(folder).filePath(QStringLiteral(".%1.%2.tmp")
                                                         .arg(info.fileName())
                                                         .arg(QRandomGenerator::global()->generate64(), 0, 36)));
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!fd.valid() && errno != EEXIST)
            return lastError();
    }
    if (!fd.valid())
        return failed(FileFailure::Exists);

    auto abandon = [&](FileResult result) {
        fd.reset();
        ::unlink(temporary.constData());
        return result;
    };

    if (keepExisting && ::fchmod(fd.get(), mode) != 0)
        return abandon(lastError());
    if (FileResult written = writeAll(fd.get(), bytes); !written)
        return abandon(written);
    if (::fsync(fd.get()) != 0)
        return abandon(lastError());
    struct stat st = {};
    if (::fstat(fd.get(), &st) != 0)
        return abandon(lastError());
    if (qint64(st.st_size) != qint64(bytes.size()))
        return abandon(failed(FileFailure::Io, QStringLiteral("size after writing differs")));
    if (!fd.close()) {
        const FileResult closing = lastError();
        ::unlink(temporary.constData());
        return closing;
    }
    // rename() replaces a link at the target itself; it never writes through it.
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const FileResult renaming = lastError();
        ::unlink(temporary.constData());
        return renaming;
    }
    return syncFolder(folder);
}

FileResult ClaimNew(const QString& folder, const QString& base, const QString& suffix, int maxNumber,
                    QString* claimedPath, Access access)
{
    claimedPath->clear();
    const mode_t mode = access == Access::Private ? 0600 : 0666;
    for (int number = 1; number <= maxNumber; ++number) {
        const QString path = QDir(folder).filePath(numberedName(base, suffix, number));
        Descriptor fd(::open(nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.valid()) {
            if (!fd.close())
                return lastError();
            *claimedPath = path;
            return success();
        }
        if (errno != EEXIST)
            return lastError();
    }
    return failed(FileFailure::Exists);
}

FileResult AppendLine(const QString& path, QByteArrayView line, qint64 maxBytes, const QString& rotatedPath)
{
    QByteArray record(line.data(), line.size());
    if (!record.endsWith('\n'))
        record.append('\n');
    if (record.size() > maxBytes)
        return failed(FileFailure::TooLarge);

    const QByteArray name = nativeName(path);
    // The log another program has just rotated away is opened again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        Descriptor fd(::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd.valid())
            return lastError();
        if (!lockExclusive(fd.get()))
            return failed(FileFailure::Io, QStringLiteral("the log stays locked"));
        struct stat opened = {};
        struct stat named = {};
        if (::fstat(fd.get(), &opened) != 0)
            return lastError();
        if (!S_ISREG(opened.st_mode))
            return failed(FileFailure::NotRegular);
        if (::lstat(name.constData(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev)
            continue; // rotated or replaced while we waited
        const qint64 size = qint64(opened.st_size);
        if (size > 0 && size + record.size() > maxBytes) {
            if (::rename(name.constData(), nativeName(rotatedPath).constData()) != 0)
                return lastError();
            continue;
        }
        if (FileResult written = writeAll(fd.get(), record); !written) {
            // No half line stays behind.
            if (::ftruncate(fd.get(), off_t(size)) == 0)
                ::fsync(fd.get());
            return written;
        }
        if (::fsync(fd.get()) != 0) {
            const FileResult syncing = lastError();
            if (::ftruncate(fd.get(), off_t(size)) == 0)
                ::fsync(fd.get());
            return syncing;
        }
        if (!fd.close())
            return lastError();
        if (size == 0)
            return syncFolder(QFileInfo(path).absolutePath());
        return success();
    }
    return failed(FileFailure::Io, QStringLiteral("the log keeps changing"));
}

FileResult Read(const QString& path, qint64 maxBytes, QByteArray* bytes, const ReadOptions& options)
{
    bytes->clear();
    QElapsedTimer clock;
    clock.start();
    Descriptor fd;
    qint64 size = 0;
    if (FileResult opened = openForReading(path, options.followLinks, &fd, &size); !opened)
        return opened;
    if (size > maxBytes)
        return failed(FileFailure::TooLarge);
    bytes->reserve(qsizetype(size));
    QByteArray chunk(qsizetype(kChunk), Qt::Uninitialized);
    while (true) {
        const ssize_t got = ::read(fd.get(), chunk.data(), size_t(kChunk));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            bytes->clear();
            return lastError();
        }
        if (got == 0)
            return success();
        // The file may grow while it is read.
        if (bytes->size() + got > maxBytes) {
            bytes->clear();
            return failed(FileFailure::TooLarge);
        }
        bytes->append(chunk.constData(), qsizetype(got));
        const TransferControl* control = options.control;
        if (control && control->progress && !control->progress(bytes->size(), size)) {
            bytes->clear();
            return failed(FileFailure::Cancelled);
        }
        if (control && control->timeLimitSeconds > 0 && clock.elapsed() > control->timeLimitSeconds * 1000LL) {
            bytes->clear();
            return failed(FileFailure::TimedOut);
        }
    }
}

FileResult MakeFolder(const QString& path, Access access)
{
    const QByteArray name = nativeName(path);
    if (::mkdir(name.constData(), access == Access::Private ? 0700 : 0777) != 0 && errno != EEXIST)
        return lastError();
    struct stat st = {};
    if (::lstat(name.constData(), &st) != 0)
        return lastError();
    if (S_ISLNK(st.st_mode))
        return failed(FileFailure::Link);
    if (!S_ISDIR(st.st_mode))
        return failed(FileFailure::NotRegular);
    return success();
}

FileResult SyncFolder(const QString& path)
{
    return syncFolder(path);
}

#else // Windows: the same promises through Qt, checked as far as Qt lets us.

FileResult Write(const QString& path, QByteArrayView bytes, Access)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !QFile::remove(path)) // replaced, never followed
        return failed(FileFailure::Link);
    if (info.exists() && !info.isSymLink() && !info.isFile())
        return failed(FileFailure::NotRegular);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failed(FileFailure::Denied, file.errorString());
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return failed(FileFailure::NoSpace, file.errorString());
    }
    if (!file.commit())
        return failed(FileFailure::Io, file.errorString());
    if (QFileInfo(path).size() != bytes.size())
        return failed(FileFailure::NoSpace);
    return success();
}

FileResult ClaimNew(const QString& folder, const QString& base, const QString& suffix, int maxNumber,
                    QString* claimedPath, Access)
{
    claimedPath->clear();
    for (int number = 1; number <= maxNumber; ++number) {
        const QString path = QDir(folder).filePath(numberedName(base, suffix, number));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            *claimedPath = path;
            return success();
        }
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return failed(FileFailure::Denied, file.errorString());
    }
    return failed(FileFailure::Exists);
}

FileResult AppendLine(const QString& path, QByteArrayView line, qint64 maxBytes, const QString& rotatedPath)
{
    QByteArray record(line.data(), line.size());
    if (!record.endsWith('\n'))
        record.append('\n');
    if (record.size() > maxBytes)
        return failed(FileFailure::TooLarge);
    if (QFileInfo(path).isSymLink())
        return failed(FileFailure::Link);
    if (QFileInfo(path).size() > 0 && QFileInfo(path).size() + record.size() > maxBytes) {
        QFile::remove(rotatedPath);
        if (!QFile::rename(path, rotatedPath))
            return failed(FileFailure::Io);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return failed(FileFailure::Denied, file.errorString());
    const qint64 size = file.size();
    if (file.write(record) != record.size() || !file.flush()) {
        file.resize(size);
        return failed(FileFailure::NoSpace, file.errorString());
    }
    return success();
}

FileResult Read(const QString& path, qint64 maxBytes, QByteArray* bytes, const ReadOptions& options)
{
    bytes->clear();
    const QFileInfo info(path);
    if (info.isSymLink() && !options.followLinks)
        return failed(FileFailure::Link);
    if (!info.exists())
        return failed(FileFailure::Missing);
    if (!info.isFile())
        return failed(FileFailure::NotRegular);
    if (info.size() > maxBytes)
        return failed(FileFailure::TooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(FileFailure::Denied, file.errorString());
    QElapsedTimer clock;
    clock.start();
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                bytes->clear();
                return failed(FileFailure::Io, file.errorString());
            }
            return success();
        }
        if (bytes->size() + chunk.size() > maxBytes) {
            bytes->clear();
            return failed(FileFailure::TooLarge);
        }
        bytes->append(chunk);
        const TransferControl* control = options.control;
        if (control && control->progress && !control->progress(bytes->size(), info.size())) {
            bytes->clear();
            return failed(FileFailure::Cancelled);
        }
        if (control && control->timeLimitSeconds > 0 && clock.elapsed() > control->timeLimitSeconds * 1000LL) {
            bytes->clear();
            return failed(FileFailure::TimedOut);
        }
    }
}

FileResult MakeFolder(const QString& path, Access)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return failed(FileFailure::Link);
    if (!info.exists() && !QDir().mkdir(path))
        return failed(FileFailure::Denied);
    if (!QFileInfo(path).isDir())
        return failed(FileFailure::NotRegular);
    return success();
}

FileResult SyncFolder(const QString&)
{
    return success();
}

#endif

FileResult WriteNew(const QString& folder, const QString& base, const QString& suffix, int maxNumber,
                    QByteArrayView bytes, QString* writtenPath, Access access)
{
    QString claimed;
    if (FileResult claiming = ClaimNew(folder, base, suffix, maxNumber, &claimed, access); !claiming) {
        writtenPath->clear();
        return claiming;
    }
    if (FileResult written = Write(claimed, bytes, access); !written) {
        QFile::remove(claimed);
        writtenPath->clear();
        return written;
    }
    *writtenPath = claimed;
    return {};
}

FileResult Copy(const QString& source, const QString& target, qint64 maxBytes, const ReadOptions& options,
                Access access)
{
    QByteArray bytes;
    if (FileResult read = Read(source, maxBytes, &bytes, options); !read)
        return read;
    return Write(target, bytes, access);
}

} // namespace SafeFile
