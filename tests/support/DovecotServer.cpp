#include "support/DovecotServer.h"

#include "support/TestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

} // namespace

DovecotServer::~DovecotServer()
{
    stop();
}

QString DovecotServer::caFile() const
{
    return m_dir.filePath(QStringLiteral("cert.pem"));
}

QString DovecotServer::logText() const
{
    QFile f(m_dir.filePath(QStringLiteral("dovecot.log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool DovecotServer::start(bool tls, QString* error)
{
    const QString dovecot = QStandardPaths::findExecutable(QStringLiteral("dovecot"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
    if (dovecot.isEmpty()) {
        *error = QStringLiteral("dovecot (dovecot-imapd) is not installed");
        return false;
    }
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QDir root(m_dir.path());
    for (const char* sub : {"run", "state", "mail", "home"})
        root.mkpath(QLatin1String(sub));
    if (tls && !TestServer::makeCertificate(m_dir.path(), error))
        return false;

    // Dovecot runs no process as root: as root the test's mail belongs to nobody.
    const bool asRoot = ::geteuid() == 0;
    const passwd* account = asRoot ? ::getpwnam("nobody") : ::getpwuid(::geteuid());
    if (!account) {
        *error = QStringLiteral("no user to run dovecot as");
        return false;
    }
    const group* grp = ::getgrgid(account->pw_gid);
    const QByteArray user = account->pw_name;
    const QByteArray groupName = grp ? QByteArray(grp->gr_name) : user;
    if (asRoot) {
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                QFileDevice::ReadOther | QFileDevice::ExeOther |
                                                QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        for (const char* sub : {"mail", "home"}) {
            if (::chown(QFile::encodeName(root.filePath(QLatin1String(sub))).constData(), account->pw_uid,
                        account->pw_gid) != 0) {
                *error = QStringLiteral("chown failed");
                return false;
            }
        }
    }
    m_port = freePort();
    m_startTlsPort = freePort();
    while (m_startTlsPort == m_port)
        m_startTlsPort = freePort();
    if (!m_port || !m_startTlsPort) {
        *error = QStringLiteral("no free port");
        return false;
    }
    const QByteArray dir = QFile::encodeName(m_dir.path());
    if (!writeText(root.filePath(QStringLiteral("passwd")),
                   QByteArray(kUser) + ":{PLAIN}" + QByteArray(kPassword) + "\n")) {
        *error = QStringLiteral("cannot write the passwd file");
        return false;
    }
    QByteArray config;
    config += "base_dir = " + dir + "/run\n";
    config += "state_dir = " + dir + "/state\n";
    config += "log_path = " + dir + "/dovecot.log\n";
    config += "instance_name = tabulon-test-" + QByteArray::number(m_port) + "\n";
    config += "protocols = imap\nlisten = 127.0.0.1\n";
    if (tls) {
        config += "ssl = required\nssl_cert = <" + dir + "/cert.pem\nssl_key = <" + dir + "/key.pem\n";
    } else {
        config += "ssl = no\ndisable_plaintext_auth = no\n";
    }
    config += "auth_mechanisms = plain login\nauth_verbose = yes\n";
    config += "default_login_user = " + user + "\ndefault_internal_user = " + user +
              "\ndefault_internal_group = " + groupName + "\n";
    config += "first_valid_uid = 1\n";
    config += "mail_location = maildir:" + dir + "/mail/%u\n";
    config += "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + dir + "/passwd\n}\n";
    config += "userdb {\n  driver = static\n  args = uid=" + QByteArray::number(account->pw_uid) +
              " gid=" + QByteArray::number(account->pw_gid) + " home=" + dir + "/home/%u\n}\n";
    if (!tls)
        m_startTlsPort = m_port;
    config += "service imap-login {\n  chroot =\n  inet_listener imap {\n    address = 127.0.0.1\n    port = " +
              QByteArray::number(m_startTlsPort) + "\n  }\n  inet_listener imaps {\n    address = 127.0.0.1\n    port = " +
              (tls ? QByteArray::number(m_port) : QByteArray("0")) + "\n    ssl = yes\n  }\n}\n";
    config += "service anvil {\n  chroot =\n}\n";
    if (!writeText(root.filePath(QStringLiteral("dovecot.conf")), config)) {
        *error = QStringLiteral("cannot write the configuration");
        return false;
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(dovecot, {QStringLiteral("-F"), QStringLiteral("-c"), root.filePath(QStringLiteral("dovecot.conf"))});
    if (!m_process.waitForStarted(5000)) {
        *error = QStringLiteral("dovecot did not start");
        return false;
    }
    // Ready when the port answers with a greeting.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning) {
            *error = QStringLiteral("dovecot ended: ") + QString::fromUtf8(m_process.readAll()) + logText();
            return false;
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_startTlsPort));
        if (probe.waitForConnected(300) && probe.waitForReadyRead(1000) && probe.readAll().startsWith("* OK"))
            return true;
        QThread::msleep(100);
    }
    *error = QStringLiteral("dovecot did not answer: ") + logText();
    return false;
}

void DovecotServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

bool DovecotServer::doveadm(const QStringList& args, const QByteArray& input, QByteArray* out, QString* error)
{
    QProcess p;
    p.start(QStringLiteral("doveadm"),
            QStringList{QStringLiteral("-c"), QDir(m_dir.path()).filePath(QStringLiteral("dovecot.conf"))} + args);
    if (!p.waitForStarted(5000)) {
        *error = QStringLiteral("doveadm did not start");
        return false;
    }
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        *error = QStringLiteral("doveadm %1: %2").arg(args.join(u' '), QString::fromUtf8(p.readAllStandardError()));
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return true;
}

bool DovecotServer::append(const QByteArray& mail, QString* error)
{
    return doveadm({QStringLiteral("save"), QStringLiteral("-u"), QLatin1String(kUser), QStringLiteral("-m"),
                    QStringLiteral("INBOX")},
                   mail, nullptr, error);
}

QString DovecotServer::flags(QString* error)
{
    QByteArray out;
    if (!doveadm({QStringLiteral("fetch"), QStringLiteral("-u"), QLatin1String(kUser), QStringLiteral("uid flags"),
                  QStringLiteral("mailbox"), QStringLiteral("INBOX"), QStringLiteral("all")},
                 {}, &out, error))
        return {};
    return QString::fromUtf8(out);
}

bool DovecotServer::addFlag(int uid, const QString& flag, QString* error)
{
    return doveadm({QStringLiteral("flags"), QStringLiteral("add"), QStringLiteral("-u"), QLatin1String(kUser), flag,
                    QStringLiteral("mailbox"), QStringLiteral("INBOX"), QStringLiteral("uid"), QString::number(uid)},
                   {}, nullptr, error);
}

bool DovecotServer::startTrusted(QString* error)
{
    if (!start(true, error))
        return false;
    qputenv("TABULON_CA_FILE", caFile().toLocal8Bit());
    return true;
}
