#include "delivery/RegularFileReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kChunk = 64 * 1024;

// Opens `path` into `file` only when it is a regular file; `size` is its size then.
FileReadResult openRegular(const QString& path, QFile& file, qint64* size)
{
#ifdef Q_OS_UNIX
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come; the
    // type is then asked of the open descriptor, so the name cannot change under us.
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::Missing : FileReadResult::Failed;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileReadResult::NotRegular;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileReadResult::Failed;
    }
    *size = qint64(st.st_size);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return FileReadResult::Missing;
    if (!info.isFile())
        return FileReadResult::NotRegular;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileReadResult::Failed;
    *size = file.size();
#endif
    return FileReadResult::Read;
}

} // namespace

FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, const TransferControl& control,
                               QByteArray* bytes)
{
    bytes->clear();
    QElapsedTimer clock;
    clock.start();
    QFile file;
    qint64 size = 0;
    const FileReadResult opened = openRegular(path, file, &size);
    if (opened != FileReadResult::Read)
        return opened;
    if (size > maxBytes)
        return FileReadResult::TooLarge;
    bytes->reserve(qsizetype(size));
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                bytes->clear();
                return FileReadResult::Failed;
            }
            return FileReadResult::Read;
        }
        // The file may grow while it is read.
        if (bytes->size() + chunk.size() > maxBytes) {
            bytes->clear();
            return FileReadResult::TooLarge;
        }
        bytes->append(chunk);
        if (control.progress && !control.progress(bytes->size(), size)) {
            bytes->clear();
            return FileReadResult::Cancelled;
        }
        if (control.timeLimitSeconds > 0 && clock.elapsed() > control.timeLimitSeconds * 1000LL) {
            bytes->clear();
            return FileReadResult::TimedOut;
        }
    }
}
