#include "support/TestServer.h"

#include "support/TestPaths.h"

#include <QDeadlineTimer>
#include <QDir>

namespace {
constexpr int kStartSeconds = 20;
constexpr int kLifetimeSeconds = 180;
} // namespace

TestServer::~TestServer()
{
    stop();
}

bool TestServer::start(const QString& script, const QStringList& arguments, QString* error)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason + QStringLiteral(" ") + QString::fromLocal8Bit(m_process.readAllStandardError());
        stop();
        return false;
    };
    stop();
    QStringList args{TestPaths::testData(QStringLiteral("support/") + script)};
    args << arguments << QStringLiteral("--lifetime") << QString::number(kLifetimeSeconds);
    m_process.setProgram(QStringLiteral("/usr/bin/python3"));
    m_process.setArguments(args);
    m_process.start();
    if (!m_process.waitForStarted(kStartSeconds * 1000))
        return fail(QStringLiteral("cannot start python3"));
    QDeadlineTimer deadline(kStartSeconds * 1000);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return fail(QStringLiteral("%1 did not report its port").arg(script));
        m_process.waitForReadyRead(200);
    }
    const QByteArray line = m_process.readLine().trimmed();
    if (!line.startsWith("PORT "))
        return fail(QStringLiteral("%1 said: %2").arg(script, QString::fromLatin1(line)));
    m_port = line.mid(5).toInt();
    return m_port > 0;
}

void TestServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the server ends on end of input
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    m_port = 0;
}

bool TestServer::startSmtp(const SmtpOptions& options, QString* error)
{
    QStringList args{QStringLiteral("--folder"),   options.folder,
                     QStringLiteral("--user"),     QString::fromLatin1(kSmtpUser),
                     QStringLiteral("--password"), QString::fromLatin1(kSmtpPassword)};
    if (!options.certificate.isEmpty())
        args << QStringLiteral("--cert") << options.certificate << QStringLiteral("--key") << options.key;
    if (!options.refusePrefix.isEmpty())
        args << QStringLiteral("--refuse") << options.refusePrefix;
    if (options.dropAfterGreeting)
        args << QStringLiteral("--drop");
    if (options.silent)
        args << QStringLiteral("--silent");
    if (options.noAuth)
        args << QStringLiteral("--no-auth");
    if (options.refuseStarttls)
        args << QStringLiteral("--refuse-starttls");
    if (options.plainOnly)
        args << QStringLiteral("--plain-only");
    if (options.dropInData)
        args << QStringLiteral("--drop-in-data");
    if (options.heloOnly)
        args << QStringLiteral("--helo-only");
    if (options.silentAfterData)
        args << QStringLiteral("--silent-after-data");
    if (options.silentQuit)
        args << QStringLiteral("--silent-quit");
    return start(QStringLiteral("smtp_server.py"), args, error);
}

bool TestServer::startHttp(const HttpOptions& options, QString* error)
{
    QStringList args{QStringLiteral("--folder"), options.folder};
    if (!options.log.isEmpty())
        args << QStringLiteral("--log") << options.log;
    if (options.status)
        args << QStringLiteral("--status") << QString::number(options.status);
    if (!options.redirect.isEmpty())
        args << QStringLiteral("--redirect") << options.redirect;
    if (options.stall)
        args << QStringLiteral("--stall");
    for (const QString& behaviour : options.behave)
        args << QStringLiteral("--behave") << behaviour;
    return start(QStringLiteral("http_server.py"), args, error);
}

bool TestServer::makeCertificate(const QString& folder, QString* error)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                   QStringLiteral("-keyout"), QDir(folder).filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), QDir(folder).filePath(QStringLiteral("cert.pem"))});
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        if (openssl.state() != QProcess::NotRunning) {
            openssl.kill();
            openssl.waitForFinished(3000);
        }
        if (error)
            *error =
                QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    return true;
}
