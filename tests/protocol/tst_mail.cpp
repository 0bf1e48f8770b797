#include "document/TextCodec.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"
#include "protocol/SmtpClient.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A small report mail from the test server's user to the school.
MailMessage shortMail()
{
    MailMessage m;
    m.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
    m.Recipients = QStringLiteral("szkola@szkola.test");
    m.Subject = QStringLiteral("Sprawozdanie");
    m.HtmlBody = QStringLiteral("<p>x</p>");
    m.AttachmentName = QStringLiteral("a.xml");
    m.AttachmentBytes = "a";
    return m;
}

const QString kBody = QStringLiteral("Witam. \n\r\n\rOto moje sprawozdanie. Proszę przekazać protokolantowi. "
                                     "\n\r\n\rZ poważaniem.  \n\r");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject readMeta(const QString& path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

SmtpAccount account(int port, const QString& password = QString::fromLatin1(TestServer::kSmtpPassword))
{
    return SmtpAccount{QStringLiteral("127.0.0.1"), port, QString::fromLatin1(TestServer::kSmtpUser),
                       password};
}

// The headers of a message or of one MIME part: everything before the first empty line.
QByteArray headerBlock(const QByteArray& text)
{
    return text.left(text.indexOf("\r\n\r\n") + 2);
}

// Stores an attachment with a name holding "Ź" and returns its bytes.
QByteArray writeAttachment(const QString& path)
{
    QByteArray bytes("<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n<Szkola>");
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i)); // every byte value, to prove the attachment is carried unchanged
    bytes.append("</Szkola>\r\n.\r\n");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return bytes;
}

} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodedWordsUseIsoCodesAndStayShort()
    {
        QCOMPARE(HeaderEncoding::encodeText(QStringLiteral("Sprawozdanie - Jan")),
                 QByteArray("Sprawozdanie - Jan"));
        QCOMPARE(HeaderEncoding::encodeText(QStringLiteral("ś ą Ź=?_")),
                 QByteArray("=?ISO-8859-2?Q?=B6_=B1_=AC=3D=3F=5F?="));

        const QString longName = QString(QStringLiteral("Źdźbło")).repeated(20);
        const QByteArray encoded = HeaderEncoding::encodeText(longName);
        const QList<QByteArray> words = encoded.split('\n');
        QVERIFY(words.size() > 1);
        QByteArray joined;
        for (QByteArray w : words) {
            w = w.trimmed();
            QVERIFY2(w.size() <= 75, w.constData());
            QVERIFY(w.startsWith("=?ISO-8859-2?Q?") && w.endsWith("?="));
            joined += w.mid(15, w.size() - 17);
        }
        QCOMPARE(joined.count("=AC"), 20); // no byte lost or split at a word boundary

        QCOMPARE(HeaderEncoding::encodePhrase(QStringLiteral("Kowalski, Jan")),
                 QByteArray("\"Kowalski, Jan\""));

        // In a whole mail no header line that holds an encoded word is longer than 76
        // characters, the header's name included, and the words still give the text.
        MailMessage m;
        m.SenderName = QStringLiteral("Grzegorz Brzęczyszczykiewicz-Żółtowski ze Szczebrzeszyna nad Wieprzem");
        m.SenderAddress = QStringLiteral("grzegorz.brzeczyszczykiewicz@szkola.test");
        m.Recipients = QStringLiteral("szkola@szkola.test");
        m.Subject = QStringLiteral("Sprawozdanie: ") + longName;
        m.HtmlBody = QStringLiteral("<p>x</p>");
        m.AttachmentName = QStringLiteral("a.xml");
        m.AttachmentBytes = "a";
        const QByteArray mail = m.compose();
        const QByteArray head = mail.left(mail.indexOf("\r\n\r\n"));
        QByteArray subject;
        bool inSubject = false;
        for (const QByteArray& line : head.split('\n')) {
            const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
            if (l.contains("=?"))
                QVERIFY2(l.size() <= 76, l.constData());
            if (!l.startsWith(' '))
                inSubject = l.startsWith("Subject: ");
            if (inSubject)
                subject += l.mid(l.startsWith("Subject: ") ? 9 : 1);
        }
        QVERIFY(head.contains("\r\n <grzegorz.brzeczyszczykiewicz@szkola.test>"));
        // Adjacent encoded words join without the blank between them.
        QByteArray bytes;
        for (qsizetype at = subject.indexOf("=?ISO-8859-2?Q?"); at >= 0;
             at = subject.indexOf("=?ISO-8859-2?Q?", at + 1)) {
            const qsizetype start = at + 15;
            const QByteArray text = subject.mid(start, subject.indexOf("?=", start) - start);
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i] == '=') {
                    bytes += char(text.mid(i + 1, 2).toInt(nullptr, 16));
                    i += 2;
                } else {
                    bytes += text[i] == '_' ? ' ' : text[i];
                }
            }
        }
        QCOMPARE(TextCodec::fromIso88592(bytes), m.Subject);
    }

    void headersCannotBeInjected()
    {
        MailMessage m;
        m.SenderName = QStringLiteral("Jan\r\nBcc: ukryty@zly.test");
        m.SenderAddress = QStringLiteral("jan@szkola.test");
        m.Recipients = QStringLiteral("szkola@szkola.test");
        m.Subject = QStringLiteral("Sprawozdanie\r\nBcc: ukryty@zly.test");
        m.AttachmentName = QStringLiteral("a.xml\r\nX-Evil: 1");
        m.AttachmentBytes = "x";
        const QByteArray text = m.compose();
        QVERIFY(!text.isEmpty());
        QVERIFY(!text.contains("\r\nBcc:"));
        QVERIFY(!text.contains("\nX-Evil"));

        QString error;
        m.Recipients = QStringLiteral("szkola@szkola.test\r\nRCPT TO:<ukryty@zly.test>");
        QVERIFY(m.compose(&error).isEmpty());
        QVERIFY(!error.isEmpty());

        QStringList list;
        QVERIFY(HeaderEncoding::splitAddressList(QStringLiteral(" a@s.test ,Szkoła <b@s.test>,"), &list));
        QCOMPARE(list, QStringList({QStringLiteral("a@s.test"), QStringLiteral("b@s.test")}));
        QVERIFY(!HeaderEncoding::splitAddressList(QStringLiteral(" , "), &list, &error));
        QVERIFY(!HeaderEncoding::splitAddressList(QStringLiteral("bez malpy"), &list, &error));
    }

    void serverReceivesTheMailAsComposed()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString inbox = dir.filePath(QStringLiteral("inbox"));
        QVERIFY(QDir().mkpath(inbox));
        TestServer server;
        QString error;
        QVERIFY2(server.startSmtp({inbox, {}, {}, {}, false}, &error), qPrintable(error));

        const QString name = QStringLiteral("Kaśka Bąk");
        const QString attachmentPath = dir.filePath(QStringLiteral("Źródło.xml"));
        const QByteArray attachment = writeAttachment(attachmentPath);
        QVERIFY(!attachment.isEmpty());

        MailMessage m;
        m.SenderName = name;
        m.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
        m.Recipients = QStringLiteral("szkola@szkola.test, sekretariat@szkola.test");
        m.Subject = QStringLiteral("Sprawozdanie - ") + name;
        m.HtmlBody = kBody + name;
        m.AttachmentPath = attachmentPath;
        SmtpClient client(account(server.port()));
        QVERIFY2(client.send(m, &error), qPrintable(error));
        QVERIFY2(client.send(m, &error), qPrintable(error)); // a second send carries one attachment too

        for (const QString& n : {QStringLiteral("1"), QStringLiteral("2")}) {
            const QJsonObject meta = readMeta(QDir(inbox).filePath(n + QStringLiteral(".json")));
            QCOMPARE(meta.value(QStringLiteral("mail_from")).toString(), m.SenderAddress);
            QCOMPARE(meta.value(QStringLiteral("rcpt_tos")).toVariant().toStringList(),
                     QStringList(
                         {QStringLiteral("szkola@szkola.test"), QStringLiteral("sekretariat@szkola.test")}));
            QVERIFY(meta.value(QStringLiteral("authenticated")).toBool());
            QVERIFY(!meta.value(QStringLiteral("tls")).toBool());

            const QByteArray mail = readFile(QDir(inbox).filePath(n + QStringLiteral(".eml")));
            const QByteArray headers = headerBlock(mail);
            QVERIFY(headers.contains("From: =?ISO-8859-2?Q?Ka=B6ka_B=B1k?= <nauczyciel@szkola.test>\r\n"));
            QVERIFY(headers.contains("Subject: =?ISO-8859-2?Q?Sprawozdanie_-_Ka=B6ka_B=B1k?=\r\n"));
            QVERIFY(headers.contains("To: szkola@szkola.test, sekretariat@szkola.test\r\n"));
            QVERIFY(headers.contains("\r\nDate: "));
            QVERIFY(!headers.contains("Disposition-Notification-To"));

            QCOMPARE(mail.count("Content-Disposition:"), 1);
            QCOMPARE(mail.count("Content-Type: text/html; charset=ISO-8859-2\r\n"), 1);

            // The body part: 8-bit ISO-8859-2 lines, the teacher's name last.
            const qsizetype bodyHeader = mail.indexOf("Content-Transfer-Encoding: 8bit\r\n\r\n");
            QVERIFY(bodyHeader > 0);
            const qsizetype bodyStart = bodyHeader + qstrlen("Content-Transfer-Encoding: 8bit\r\n\r\n");
            const QByteArray body =
                mail.mid(bodyStart, mail.indexOf("\r\n--=_Tabulon_", bodyStart) - bodyStart);
            const QList<QByteArray> expected = {
                "Witam. ",
                "",
                "",
                TextCodec::toIso88592(u"Oto moje sprawozdanie. Proszę przekazać protokolantowi. "),
                "",
                "",
                TextCodec::toIso88592(u"Z poważaniem.  "),
                "",
                "Ka\xB6ka B\xB1k"};
            QCOMPARE(body.split('\n').size(), expected.size() + 1);
            QCOMPARE(body, expected.toList().join("\r\n") + "\r\n");

            // The attachment: one base64 part, inline, name with 0xAC for "Ź".
            const qsizetype disposition = mail.indexOf("Content-Disposition:");
            const QByteArray part = mail.mid(mail.lastIndexOf("\r\n--=_Tabulon_", disposition));
            QVERIFY(headerBlock(part).contains(
                "Content-Disposition: inline; filename=\"=?ISO-8859-2?Q?=ACr=F3d=B3o=2Exml?=\""));
            QVERIFY(headerBlock(part).contains("Content-Transfer-Encoding: base64"));
            const qsizetype dataStart = part.indexOf("\r\n\r\n") + 4;
            const QByteArray base64 = part.mid(dataStart, part.indexOf("\r\n--", dataStart) - dataStart);
            QCOMPARE(QByteArray::fromBase64(base64), attachment);
        }
        QVERIFY(!QFile::exists(QDir(inbox).filePath(QStringLiteral("3.eml"))));
        QVERIFY(QFile::exists(attachmentPath)); // the attachment stays where it was
    }

    void refusedLoginRecipientOrConnectionIsAnError()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TestServer server;
        QString error;
        QVERIFY2(server.startSmtp({dir.path(), {}, {}, QStringLiteral("nikt"), false}, &error),
                 qPrintable(error));
        MailMessage m;
        m.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
        m.Recipients = QStringLiteral("szkola@szkola.test");
        m.Subject = QStringLiteral("x");
        m.HtmlBody = QStringLiteral("x");
        m.AttachmentName = QStringLiteral("a.xml");
        m.AttachmentBytes = "a";

        error.clear();
        QVERIFY(!SmtpClient(account(server.port(), QStringLiteral("zle"))).send(m, &error));
        QVERIFY(!error.isEmpty());

        m.Recipients = QStringLiteral("szkola@szkola.test, nikt@szkola.test");
        error.clear();
        QVERIFY(!SmtpClient(account(server.port())).send(m, &error));
        QVERIFY(!error.isEmpty());

        m.AttachmentPath = dir.filePath(QStringLiteral("brak.xml"));
        m.Recipients = QStringLiteral("szkola@szkola.test");
        error.clear();
        QVERIFY(!SmtpClient(account(server.port())).send(m, &error));
        QVERIFY(error.contains(QStringLiteral("brak.xml")));
        QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.eml")}).isEmpty());

        TestServer dropper;
        QVERIFY2(dropper.startSmtp({dir.path(), {}, {}, {}, true}, &error), qPrintable(error));
        m.AttachmentPath.clear();
        error.clear();
        QVERIFY(!SmtpClient(account(dropper.port())).send(m, &error));
        QVERIFY(!error.isEmpty());

        // A server that takes the connection and never greets is given up.
        TestServer silent;
        TestServer::SmtpOptions silentOptions{dir.path(), {}, {}, {}, false};
        silentOptions.silent = true;
        QVERIFY2(silent.startSmtp(silentOptions, &error), qPrintable(error));
        SmtpClient patient(account(silent.port()));
        patient.setStallTimeout(2);
        QElapsedTimer timer;
        timer.start();
        error.clear();
        QVERIFY(!patient.send(m, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));

        const int closedPort = dropper.port();
        dropper.stop();
        error.clear();
        QVERIFY(!SmtpClient(account(closedPort)).send(m, &error));
        QVERIFY(!error.isEmpty());
    }

    // Only AUTH LOGIN is used: a server that lists no AUTH, or lists AUTH without
    // LOGIN, gets the mail without a login.
    void serverWithoutAuthLoginGetsTheMailWithoutLogin()
    {
        for (const bool plainOnly : {false, true}) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            TestServer server;
            QString error;
            TestServer::SmtpOptions options{dir.path(), {}, {}, {}, false};
            options.noAuth = !plainOnly;
            options.plainOnly = plainOnly;
            QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
            const MailMessage m = shortMail();
            QVERIFY2(SmtpClient(account(server.port())).send(m, &error), qPrintable(error));
            const QDir inbox(dir.path());
            QCOMPARE(inbox.entryList({QStringLiteral("*.eml")}).size(), 1);
            const QJsonObject meta = readMeta(inbox.filePath(QStringLiteral("1.json")));
            QVERIFY(!meta.value(QStringLiteral("authenticated")).toBool());
            QVERIFY(!meta.value(QStringLiteral("tls")).toBool());
        }
    }

    void starttlsIsUsedWhenOfferedAndNeverSkipped()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString error;
        QVERIFY2(TestServer::makeCertificate(dir.path(), &error), qPrintable(error));
        const QString inbox = dir.filePath(QStringLiteral("inbox"));
        QVERIFY(QDir().mkpath(inbox));
        TestServer server;
        QVERIFY2(server.startSmtp({inbox,
                                   dir.filePath(QStringLiteral("cert.pem")),
                                   dir.filePath(QStringLiteral("key.pem")),
                                   {},
                                   false},
                                  &error),
                 qPrintable(error));
        const MailMessage m = shortMail();

        // A certificate the system does not trust: no mail, and no fall-back to plain text.
        qunsetenv("TABULON_CA_FILE");
        QVERIFY(!SmtpClient(account(server.port())).send(m, &error));
        QVERIFY(QDir(inbox).entryList({QStringLiteral("*.eml")}).isEmpty());

        qputenv("TABULON_CA_FILE", dir.filePath(QStringLiteral("cert.pem")).toLocal8Bit());
        const bool sent = SmtpClient(account(server.port())).send(m, &error);
        qunsetenv("TABULON_CA_FILE");
        QVERIFY2(sent, qPrintable(error));
        const QJsonObject meta = readMeta(QDir(inbox).filePath(QStringLiteral("1.json")));
        QVERIFY(meta.value(QStringLiteral("tls")).toBool());
        QVERIFY(meta.value(QStringLiteral("authenticated")).toBool());
        QFile logins(QDir(inbox).filePath(QStringLiteral("auth.log")));
        QVERIFY(logins.open(QIODevice::ReadOnly));
        QCOMPARE(logins.readAll(), QByteArray("LOGIN tls\n"));

        // A server that offers STARTTLS and then will not start it gets no mail and,
        // above all, no login in clear text.
        const QString refusing = dir.filePath(QStringLiteral("refusing"));
        QVERIFY(QDir().mkpath(refusing));
        TestServer::SmtpOptions options{refusing, dir.filePath(QStringLiteral("cert.pem")),
                                        dir.filePath(QStringLiteral("key.pem")), {}, false};
        options.refuseStarttls = true;
        TestServer refuser;
        QVERIFY2(refuser.startSmtp(options, &error), qPrintable(error));
        qputenv("TABULON_CA_FILE", dir.filePath(QStringLiteral("cert.pem")).toLocal8Bit());
        const bool sentInClear = SmtpClient(account(refuser.port())).send(m, &error);
        qunsetenv("TABULON_CA_FILE");
        QVERIFY(!sentInClear);
        QVERIFY(!error.isEmpty());
        QVERIFY(QDir(refusing).entryList({QStringLiteral("*.eml")}).isEmpty());
        QVERIFY(!QFile::exists(QDir(refusing).filePath(QStringLiteral("auth.log"))));
    }

};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
