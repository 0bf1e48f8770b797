#include "core/AppState.h"
#include "delivery/ReportMail.h"
#include "support/TestPaths.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The demo's mail server must take a report mail from the program's own client, with
// the demo account's login, and keep it where the demo says.
class TestDemoMail : public QObject
{
    Q_OBJECT

    static int freePort()
    {
        QProcess probe;
        probe.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QStringLiteral("import socket; s = socket.socket(); "
                                                  "s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])")});
        if (!probe.waitForFinished(10000))
            return 0;
        return QString::fromLatin1(probe.readAllStandardOutput()).trimmed().toInt();
    }

    // The server says so once it takes connections.
    static bool waitUntilListening(QProcess& server)
    {
        QByteArray said;
        while (!said.contains("listening")) {
            if (!server.waitForReadyRead(10000))
                return false;
            said += server.readAllStandardOutput();
        }
        return true;
    }

private Q_SLOTS:
    void demoMailServerStoresTheReport()
    {
        QTemporaryDir root;
        const QString mail = root.filePath(QStringLiteral("poczta"));
        QString error;
        QVERIFY2(TestServer::makeCertificate(root.path(), &error), qPrintable(error));
        const int port = freePort();
        QVERIFY(port > 0);
        QProcess server;
        server.setProcessChannelMode(QProcess::SeparateChannels);
        server.start(QStringLiteral("/usr/bin/python3"),
                     {TestPaths::sourceDir() + QStringLiteral("/scripts/demo-smtp.py"),
                      QStringLiteral("127.0.0.1"), QString::number(port), mail,
                      QStringLiteral("nauczyciel@sp7.demo"), QStringLiteral("haslo"),
                      root.filePath(QStringLiteral("cert.pem")), root.filePath(QStringLiteral("key.pem"))});
        QVERIFY(server.waitForStarted());
        QVERIFY2(waitUntilListening(server), "the demo mail server did not start");

        const QString report = root.filePath(QStringLiteral("Kowalski_Jan_101010.xml"));
        QFile file(report);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n<Szkola></Szkola>\r\n");
        file.close();

        appState() = AppState{};
        appState().TeacherName = QStringLiteral("Kowalski Jan");
        Settings& settings = appState().Settings;
        settings.WorkMode = QStringLiteral("lokalny");
        settings.SmtpHost = QStringLiteral("127.0.0.1");
        settings.SmtpPort = QString::number(port);
        settings.SenderAddress = QStringLiteral("nauczyciel@sp7.demo");
        settings.SchoolAddress = QStringLiteral("sekretariat@sp7.demo");

        // Without the demo's CA the server's certificate is not trusted: nothing is
        // sent, and the password never leaves.
        settings.SmtpPassword = QStringLiteral("haslo");
        qunsetenv("TABULON_CA_FILE");
        QCOMPARE(SendReportMail(report, appState().TeacherName, &error), MailOutcome::UntrustedCertificate);
        qputenv("TABULON_CA_FILE", root.filePath(QStringLiteral("cert.pem")).toLocal8Bit());

        // A wrong password is refused at once, not left to the client's time-out.
        settings.SmtpPassword = QStringLiteral("zle");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendReportMail(report, appState().TeacherName, &error), MailOutcome::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY2(clock.elapsed() < 10000, qPrintable(error));

        settings.SmtpPassword = QStringLiteral("haslo");
        QVERIFY2(SendReportMail(report, appState().TeacherName, &error) == MailOutcome::Sent, qPrintable(error));
        const QStringList stored = QDir(mail).entryList({QStringLiteral("*.eml")});
        QCOMPARE(stored, QStringList{QStringLiteral("001.eml")});
        QFile received(mail + QStringLiteral("/001.eml"));
        QVERIFY(received.open(QIODevice::ReadOnly));
        const QByteArray text = received.readAll();
        QVERIFY(text.contains("sekretariat@sp7.demo"));
        QVERIFY(text.contains("Kowalski_Jan_101010.xml"));

        qunsetenv("TABULON_CA_FILE");
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(TestDemoMail)
#include "tst_demomail.moc"
