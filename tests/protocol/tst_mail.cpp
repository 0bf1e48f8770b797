#include "encoding/TextCodec.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"
#include "protocol/SmtpClient.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::readFile;

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

QJsonObject readMeta(const QString& path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

// The test server speaks plain TCP unless it is given a certificate, so the school
// allows a login in clear here unless a test says otherwise.
SmtpAccount account(int port, const QString& password = QString::fromLatin1(TestServer::kSmtpPassword),
                    bool allowPlainLogin = true)
{
    return SmtpAccount{QStringLiteral("127.0.0.1"), port, QString::fromLatin1(TestServer::kSmtpUser),
                       password, allowPlainLogin};
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

// The text of an unstructured header value as a mail program shows it: unfolded,
// encoded words decoded, the blanks between adjacent encoded words dropped.
QString headerText(const QByteArray& value)
{
    QByteArray unfolded = value;
    unfolded.replace("\r\n", "");
    QByteArray bytes;
    qsizetype i = 0;
    bool afterWord = false;
    while (i < unfolded.size()) {
        if (unfolded.mid(i, 15) == "=?ISO-8859-2?Q?") {
            const qsizetype end = unfolded.indexOf("?=", i + 15);
            const QByteArray text = unfolded.mid(i + 15, end - i - 15);
            for (qsizetype k = 0; k < text.size(); ++k) {
                if (text[k] == '=') {
                    bytes += char(text.mid(k + 1, 2).toInt(nullptr, 16));
                    k += 2;
                } else {
                    bytes += text[k] == '_' ? ' ' : text[k];
                }
            }
            i = end + 2;
            afterWord = true;
            continue;
        }
        qsizetype blanks = i;
        while (blanks < unfolded.size() && unfolded[blanks] == ' ')
            ++blanks;
        if (afterWord && unfolded.mid(blanks, 15) == "=?ISO-8859-2?Q?") {
            i = blanks;
            continue;
        }
        bytes += unfolded[i++];
        afterWord = false;
    }
    return TextCodec::fromIso88592(bytes);
}

// The value of header `name` in a header block, folded lines included.
QByteArray headerValue(const QByteArray& head, const QByteArray& name)
{
    const qsizetype start = head.indexOf("\r\n" + name + ": ");
    if (start < 0)
        return {};
    const qsizetype from = start + name.size() + 4;
    qsizetype end = from;
    for (;;) {
        end = head.indexOf("\r\n", end);
        if (end < 0 || end + 2 >= head.size() || (head[end + 2] != ' ' && head[end + 2] != '\t'))
            break;
        end += 2;
    }
    return head.mid(from, (end < 0 ? head.size() : end) - from);
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
        m.SenderName =
            QStringLiteral("Grzegorz Brzęczyszczykiewicz-Żółtowski ze Szczebrzeszyna nad Wieprzem");
        m.SenderAddress = QStringLiteral("grzegorz.brzeczyszczykiewicz@szkola.test");
        m.Recipients = QStringLiteral("szkola@szkola.test");
        m.Subject = QStringLiteral("Sprawozdanie: ") + longName;
        m.HtmlBody = QStringLiteral("<p>x</p>");
        m.AttachmentName = QStringLiteral("a.xml");
        m.AttachmentBytes = "a";
        const QByteArray mail = m.compose();
        const QByteArray head = mail.left(mail.indexOf("\r\n\r\n"));
        for (const QByteArray& line : head.split('\n')) {
            const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
            if (l.contains("=?"))
                QVERIFY2(l.size() <= 76, l.constData());
        }
        QVERIFY(head.contains("\r\n <grzegorz.brzeczyszczykiewicz@szkola.test>"));
        // Adjacent encoded words join without the blank between them.
        QCOMPARE(headerText(headerValue("\r\n" + head, "Subject")), m.Subject);
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
                "Content-Disposition: inline;\r\n filename=\"=?ISO-8859-2?Q?=ACr=F3d=B3o=2Exml?=\""));
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
        SmtpClient untrusting(account(server.port()));
        QVERIFY(!untrusting.send(m, &error));
        QCOMPARE(untrusting.outcome(), MailOutcome::UntrustedCertificate);
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
        TestServer::SmtpOptions options{refusing,
                                        dir.filePath(QStringLiteral("cert.pem")),
                                        dir.filePath(QStringLiteral("key.pem")),
                                        {},
                                        false};
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

    // Which server gets the mail and which the password: a HELO-only server gets the
    // mail without a login; a server without STARTTLS gets the password only where
    // the school allows it, and otherwise nothing at all.
    void passwordNeverCrossesInClearUnlessAllowed_data()
    {
        QTest::addColumn<bool>("heloOnly");
        QTest::addColumn<bool>("allowPlain");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("logins");
        QTest::newRow("helo only") << true << false << int(MailOutcome::Sent) << QByteArray();
        QTest::newRow("helo only, plain allowed") << true << true << int(MailOutcome::Sent) << QByteArray();
        QTest::newRow("no starttls") << false << false << int(MailOutcome::NoEncryption) << QByteArray();
        QTest::newRow("no starttls, plain allowed")
            << false << true << int(MailOutcome::Sent) << QByteArray("LOGIN plain\n");
    }

    void passwordNeverCrossesInClearUnlessAllowed()
    {
        QFETCH(bool, heloOnly);
        QFETCH(bool, allowPlain);
        QFETCH(int, outcome);
        QFETCH(QByteArray, logins);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = dir.path();
        options.heloOnly = heloOnly;
        QString error;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        SmtpClient client(account(server.port(), QString::fromLatin1(TestServer::kSmtpPassword), allowPlain));
        const bool sent = client.send(shortMail(), &error);
        QCOMPARE(int(client.outcome()), outcome);
        QCOMPARE(sent, outcome == int(MailOutcome::Sent));
        const QDir inbox(dir.path());
        QCOMPARE(inbox.entryList({QStringLiteral("*.eml")}).size(), sent ? 1 : 0);
        QCOMPARE(readFile(inbox.filePath(QStringLiteral("auth.log"))), logins);
        if (sent)
            QCOMPARE(readMeta(inbox.filePath(QStringLiteral("1.json")))
                         .value(QStringLiteral("authenticated"))
                         .toBool(),
                     !logins.isEmpty());
    }

    // A server that takes the whole mail and then says nothing, or hangs up, may have
    // kept it: the send ends within its limit and says so. A cancel before the mail
    // was handed over is a plain cancel.
    void endAfterTheHandOverMayHaveDelivered()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const bool silent : {true, false}) {
            const QString inbox = dir.filePath(silent ? QStringLiteral("silent") : QStringLiteral("drop"));
            QVERIFY(QDir().mkpath(inbox));
            TestServer server;
            TestServer::SmtpOptions options;
            options.folder = inbox;
            options.silentAfterData = silent;
            options.dropInData = !silent;
            QString error;
            QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
            SmtpClient client(account(server.port()));
            client.setTransferControl({3, {}});
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!client.send(shortMail(), &error));
            QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(client.outcome(), MailOutcome::MayHaveArrived);
            if (silent)
                QCOMPARE(QDir(inbox).entryList({QStringLiteral("*.eml")}).size(), 1);
        }

        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = dir.path();
        QString error;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        SmtpClient client(account(server.port()));
        int asked = 0;
        client.setTransferControl({30, [&](qint64, qint64) { return ++asked < 2; }});
        QVERIFY(!client.send(shortMail(), &error));
        QCOMPARE(client.outcome(), MailOutcome::Cancelled);
        QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.eml")}).isEmpty());
    }

    // A server that takes the mail and then never answers QUIT: the mail is sent, and
    // the send ends within its limit, or as soon as the user cancels the goodbye.
    void silentGoodbyeEndsWithinTheLimit()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = dir.path();
        options.silentQuit = true;
        QString error;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));

        SmtpClient patient(account(server.port()));
        patient.setStallTimeout(30);
        patient.setTransferControl({3, {}});
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(patient.send(shortMail(), &error), qPrintable(error));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(patient.outcome(), MailOutcome::Sent);

        // Cancel while waiting for the goodbye: still sent, and at once.
        SmtpClient cancelling(account(server.port()));
        cancelling.setStallTimeout(30);
        // The server accepts at once; a second after the whole mail was handed over,
        // only the goodbye can still be running.
        QElapsedTimer sinceHandedOver;
        cancelling.setTransferControl({60, [&](qint64 done, qint64 total) {
                                           if (done < total || total == 0)
                                               return true;
                                           if (!sinceHandedOver.isValid())
                                               sinceHandedOver.start();
                                           return sinceHandedOver.elapsed() < 1000;
                                       }});
        clock.restart();
        QVERIFY2(cancelling.send(shortMail(), &error), qPrintable(error));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(cancelling.outcome(), MailOutcome::Sent);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.eml")}).size(), 2);
    }

    // A name of 2 000 characters, with or without blanks, Polish or not, with control
    // characters: the mail the server receives has no line over 998, its header lines
    // fold within 78, and the subject reads back as the name without the controls.
    void longNamesFoldWithinTheLineLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("one word") << QString(2000, QLatin1Char('A'));
        QTest::newRow("words") << QStringLiteral("Jan Kowalski ").repeated(154);
        QTest::newRow("polish") << QStringLiteral("Źdźbło ").repeated(286);
        QTest::newRow("polish word") << QString(2000, QChar(0x15A));
        QTest::newRow("controls") << QStringLiteral("Jan") + QChar(0) +
                                         QStringLiteral("\x1B[2J\tNowak ").repeated(160);
        QTest::newRow("quoted") << QStringLiteral("Kowalski, \"Jan\" ").repeated(110);
    }

    void longNamesFoldWithinTheLineLimits()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = dir.path();
        QString error;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        MailMessage m = shortMail();
        m.SenderName = name;
        m.Subject = QStringLiteral("Sprawozdanie - ") + name;
        m.HtmlBody = QStringLiteral("<p>") + name.toHtmlEscaped() + QStringLiteral("</p>");
        m.AttachmentName = name.left(200) + QStringLiteral(".xml");
        QVERIFY2(SmtpClient(account(server.port())).send(m, &error), qPrintable(error));

        const QByteArray mail = readFile(QDir(dir.path()).filePath(QStringLiteral("1.eml")));
        QVERIFY(!mail.isEmpty());
        QVERIFY(!mail.contains('\0'));
        QVERIFY(!mail.contains('\x1B'));
        for (const QByteArray& line : mail.split('\n'))
            QVERIFY2(line.size() <= 999, line.left(80).constData()); // 998 and the CR
        const QByteArray head = "\r\n" + headerBlock(mail);
        for (const QByteArray& line : head.split('\n'))
            QVERIFY2(line.size() <= 79, line.constData());
        QString clean = name;
        clean.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1F]")));
        QCOMPARE(headerText(headerValue(head, "Subject")), QStringLiteral("Sprawozdanie - ") + clean);
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
