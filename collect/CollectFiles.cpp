#include "collect/CollectFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CollectFiles {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
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

} // namespace

bool WriteAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    static std::atomic<int> counter{0};
    const QFileInfo target(path);
    const QString temp = QDir(target.absolutePath())
                             .filePath(QStringLiteral(".%1.%2.%3.tmp")
                                           .arg(target.fileName(), QString::number(::getpid()),
                                                QString::number(++counter)));
    const QByteArray nativeTemp = QFile::encodeName(temp);
    const int fd = ::open(nativeTemp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        *error = QStringLiteral("nie można zapisać pliku „%1”: %2").arg(path, systemError());
        return false;
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString why = systemError();
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(nativeTemp.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        *error = QStringLiteral("nie można zapisać pliku „%1”: %2").arg(path, written ? systemError() : why);
        ::unlink(nativeTemp.constData());
        return false;
    }
    const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

bool ReadSmall(const QString& path, qint64 maxBytes, QByteArray* bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st = {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxBytes;
    QByteArray data;
    if (ok) {
        data.resize(qsizetype(maxBytes + 1));
        qsizetype done = 0;
        for (;;) {
            const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
            if (done == data.size())
                break;
        }
        ok = done <= maxBytes;
        data.truncate(done);
    }
    ::close(fd);
    if (ok)
        *bytes = data;
    return ok;
}

bool MakeFolders(const QString& base, const QString& folder, QString* error)
{
    QString path = base;
    const QString relative = QDir(base).relativeFilePath(folder);
    QStringList levels = relative.split(u'/', Qt::SkipEmptyParts);
    if (relative.startsWith(QLatin1String(".."))) {
        path.clear();
        levels = {folder};
    }
    for (const QString& level : levels) {
        path = path.isEmpty() ? level : path + u'/' + level;
        const QByteArray native = QFile::encodeName(path);
        struct stat st = {};
        if (::lstat(native.constData(), &st) != 0) {
            if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
                *error = QStringLiteral("nie można utworzyć folderu „%1”: %2").arg(path, systemError());
                return false;
            }
            if (::lstat(native.constData(), &st) != 0) {
                *error = QStringLiteral("nie można utworzyć folderu „%1”: %2").arg(path, systemError());
                return false;
            }
        }
        if (!S_ISDIR(st.st_mode)) {
            *error = QStringLiteral("„%1” nie jest folderem (dowiązanie albo plik)").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace CollectFiles
