#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const char kFillerName[] = ".filler";

} // namespace

SmallDisk::SmallDisk(qint64 bytes)
    : m_bytes(bytes)
{
    if (!m_dir.isValid())
        return;
    const QByteArray options = QByteArrayLiteral("size=") + QByteArray::number(bytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.constData())
                == 0;
}

SmallDisk::~SmallDisk()
{
    release();
    if (!m_mounted)
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString SmallDisk::kind() const
{
    return m_mounted ? QStringLiteral("tmpfs of %1 bytes").arg(m_bytes) : QStringLiteral("file size limit");
}

bool SmallDisk::fill()
{
    if (m_mounted) {
        const QByteArray name = QFile::encodeName(QDir(m_dir.path()).filePath(QLatin1String(kFillerName)));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        // The last partial page.
        while (::write(fd, block.constData(), 1) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    // Without a disk of our own, no file may grow at all: writes fail with EFBIG
    // instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {0, 0};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return false;
    limit.rlim_cur = 0;
    m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    return m_limited;
}

bool SmallDisk::makeReadOnly()
{
    if (m_mounted) {
        return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                       nullptr)
               == 0;
    }
    const QDir dir(m_dir.path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::ReadUser);
    return QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
}

void SmallDisk::release()
{
    if (m_mounted)
        QFile::remove(QDir(m_dir.path()).filePath(QLatin1String(kFillerName)));
    if (m_limited) {
        struct rlimit limit = {0, 0};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0) {
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        m_limited = false;
    }
}
