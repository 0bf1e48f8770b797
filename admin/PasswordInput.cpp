#include "admin/PasswordInput.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qsizetype kMaxPasswordFile = 4096;

QString firstLine(const QByteArray& bytes)
{
    QByteArray line = bytes;
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

bool ReadPasswordFile(const QString& path, QString* password, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        *error = QStringLiteral("nie można otworzyć pliku z hasłem „%1”: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st = {};
    QByteArray bytes(kMaxPasswordFile + 1, Qt::Uninitialized);
    qsizetype done = 0;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    while (regular && done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    if (!regular || done > kMaxPasswordFile) {
        *error = QStringLiteral("plik z hasłem „%1” nie jest zwykłym plikiem do 4 KB").arg(path);
        return false;
    }
    bytes.truncate(done);
    *password = firstLine(bytes);
    return true;
}

bool AskPasswordOnTerminal(const QString& prompt, QString* password, QString* error)
{
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty < 0) {
        *error = QStringLiteral("brak terminala, na którym można podać hasło; użyj opcji --password-file");
        return false;
    }
    termios saved = {};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    const QByteArray text = prompt.toUtf8();
    (void)!::write(tty, text.constData(), size_t(text.size()));
    QByteArray line;
    char c = 0;
    while (line.size() <= kMaxPasswordFile) {
        const ssize_t n = ::read(tty, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        line.append(c);
    }
    if (isTerminal)
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    ::close(tty);
    *password = firstLine(line);
    return true;
}
