#include "collect/ImapBodyStructure.h"
#include "collect/ImapMailbox.h"
#include "collect/ImapResponse.h"
#include "collect/MailboxCache.h"
#include "collect/MailboxSync.h"
#include "core/AppState.h"
#include "document/ReportRoutines.h"
#include "protocol/MailMessage.h"
#include "support/AdminProgram.h"
#include "support/DovecotServer.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A mail as the teacher's program sends it, with the report written by the
// program's own report routine.
QByteArray reportMail(AppState& state, const QString& teacher, bool programme)
{
    state.TeacherName = teacher;
    const QDateTime when(QDate(2026, 6, 19), QTime(9, programme ? 30 : 15, 3));
    const bool written =
        programme ? WriteRealProgramuReport({QStringLiteral("matematyka"), QStringLiteral("2a"),
                                             {QStringLiteral("Program zrealizowany.")}, {}},
                                            state, when)
                  : WriteRealWychReport({QStringLiteral("2a"), {QStringLiteral("Wycieczka.")}, {}}, state, when);
    if (!written)
        return {};
    MailMessage m;
    m.SenderName = teacher;
    m.SenderAddress = QStringLiteral("nauczyciel@szkola.pl");
    m.Recipients = QStringLiteral("sekretariat@szkola.pl");
    m.Subject = QStringLiteral("Sprawozdanie - ") + teacher;
    m.HtmlBody = QStringLiteral("Witam.\r\nOto moje sprawozdanie.");
    m.AttachmentPath = state.TempFolder + state.DocumentFileName + QStringLiteral(".xml");
    return m.compose();
}

QByteArray plainMail(const QByteArray& subject)
{
    return "From: rodzic@example.org\r\nTo: sekretariat@szkola.pl\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nDzien dobry.\r\n";
}

// A socket that listens and never answers: the kernel completes the connection,
// the greeting never comes.
class SilentServer
{
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_fd, 8) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

ImapAccount localAccount(int port, bool implicitTls)
{
    ImapAccount a;
    a.Host = QStringLiteral("127.0.0.1");
    a.Port = port;
    a.ImplicitTls = implicitTls;
    a.User = QLatin1String(DovecotServer::kUser);
    a.Password = QLatin1String(DovecotServer::kPassword);
    return a;
}

ImapValue structureOf(const QByteArray& text)
{
    ImapResponse r;
    QString error;
    const bool ok = r.parse("* 1 FETCH (UID 1 BODYSTRUCTURE " + text + ")\r\nA1 OK done\r\n", &error);
    return ok && !r.fetches.isEmpty() ? r.fetches.first().structure : ImapValue{};
}

} // namespace

class TestImap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
        qunsetenv("TABULON_CA_FILE");
    }

    // The program's reports mailed to the school's mailbox on a real IMAP server are
    // collected through a local copy; the server's flags stay as they were; a
    // second run fetches nothing; mails without a report are never fetched; a new
    // UIDVALIDITY makes the copy start over.
    void collectsTheSchoolMailbox()
    {
        DovecotServer server;
        QString error;
        if (!server.startTrusted(&error))
            QSKIP(qPrintable(QStringLiteral("Dovecot cannot start here: ") + error));

        QTemporaryDir temp;
        MessageRecorder recorder;
        AppState state;
        state.TempFolder = temp.path() + u'/';
        state.MachineSignature = QStringLiteral("PC jan Linux");
        QVERIFY(server.append(reportMail(state, QStringLiteral("Kowalska Anna"), false), &error));
        QVERIFY(server.append(plainMail("Zebranie"), &error));
        QVERIFY2(server.append(reportMail(state, QStringLiteral("Nowak Jan"), true), &error), qPrintable(error));
        QVERIFY(server.addFlag(1, QStringLiteral("\\Seen"), &error));
        QVERIFY(server.addFlag(3, QStringLiteral("\\Flagged"), &error));
        const QString flagsBefore = server.flags(&error);
        QVERIFY2(flagsBefore.contains(QStringLiteral("uid: 3")), qPrintable(error));

        const QString passwordFile = QDir(temp.path()).filePath(QStringLiteral("haslo"));
        QVERIFY(TestFiles::writeFile(passwordFile, QByteArray(DovecotServer::kPassword) + "\n"));
        const QString url = QStringLiteral("imaps://127.0.0.1:%1/INBOX").arg(server.port());
        const QString csv = QDir(temp.path()).filePath(QStringLiteral("s.csv"));
        const QStringList args{QStringLiteral("collect"), QStringLiteral("--imap"), url, QStringLiteral("--user"),
                               QLatin1String(DovecotServer::kUser), QStringLiteral("--password-file"), passwordFile,
                               QStringLiteral("--csv"), csv};
        AdminRun run = RunAdmin(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err + QString::fromUtf8(run.out)));
        QVERIFY2(run.out.contains("nowych listów 3, w tym pobranych ze sprawozdaniem: 2.\n"), run.out.constData());
        QVERIFY2(run.out.contains("Przeczytano dokumentów: 2 (przyjętych: 2, zastąpionych: 0, podejrzanych: 0, uszkodzonych: 0); "
                                  "listów: 2, w tym bez sprawozdania: 0."),
                 run.out.constData());
        const QString rows = QString::fromUtf8(TestFiles::readFile(csv));
        QVERIFY2(rows.contains(QStringLiteral(";Kowalska Anna;3;2a;;19.06.2026 09:15:03;przyjęty")), qPrintable(rows));
        QVERIFY2(rows.contains(QStringLiteral(";Nowak Jan;4;2a;matematyka;19.06.2026 09:30:03;przyjęty")),
                 qPrintable(rows));
        QCOMPARE(server.flags(&error), flagsBefore);

        // Only the two mails with a report lie in the copy.
        ImapAccount account = localAccount(server.port(), true);
        const QString cacheFolder = MailboxCache::FolderFor(account);
        QCOMPARE(QDir(cacheFolder + QStringLiteral("/cur")).entryList(QDir::Files).size(), 2);
        QVERIFY(QFile::exists(cacheFolder + QStringLiteral("/cur")));

        // Again: nothing new is fetched, the same reports are read from the copy.
        run = RunAdmin(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("nowych listów 0, w tym pobranych ze sprawozdaniem: 0.\n"), run.out.constData());
        QVERIFY(run.out.contains("Przeczytano dokumentów: 2 (przyjętych: 2"));
        QCOMPARE(server.flags(&error), flagsBefore);

        // One more mail arrives: only it is looked at.
        QVERIFY(server.append(reportMail(state, QStringLiteral("Lis Adam"), false), &error));
        MailboxSync sync(account, cacheFolder);
        MailboxSyncResult result;
        QVERIFY2(sync.run(&result), qPrintable(result.error));
        QCOMPARE(result.looked, 1);
        QCOMPARE(result.fetched, 1);

        // A copy made under another UIDVALIDITY is dropped and the folder read anew.
        const QString stale = cacheFolder + QStringLiteral("/cur/7.1.imap:2,");
        QVERIFY(TestFiles::writeFile(stale, plainMail("stara kopia")));
        QVERIFY(TestFiles::writeFile(cacheFolder + u'/' + QLatin1String(MailboxCache::kStateFile),
                                     "TABULON-IMAP 1\nuidvalidity 7\nlast 4\n"));
        QVERIFY2(sync.run(&result), qPrintable(result.error));
        QCOMPARE(result.looked, 4);
        QCOMPARE(result.fetched, 3);
        QVERIFY(!QFile::exists(stale));
        QCOMPARE(server.flags(&error).count(QStringLiteral("\\Seen")), flagsBefore.count(QStringLiteral("\\Seen")));
        QVERIFY(recorder.messages().isEmpty());
    }

    // A mail whose text holds lines that look like the server's own completions is
    // not taken for more mails: it alone cannot be fetched, the others arrive whole.
    void mailTextNeverPassesForAnswers()
    {
        DovecotServer server;
        QString error;
        if (!server.startTrusted(&error))
            QSKIP(qPrintable(QStringLiteral("Dovecot cannot start here: ") + error));
        QTemporaryDir temp;
        MessageRecorder recorder;
        AppState state;
        state.TempFolder = temp.path() + u'/';
        QByteArray hostile = reportMail(state, QStringLiteral("Kowalska Anna"), false);
        QByteArray lines;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            for (int n = 1; n <= 30; ++n)
                lines += QByteArray(1, letter) + QByteArray::number(n).rightJustified(3, '0') + " OK done\r\n";
        }
        lines += "* 9 FETCH (UID 9 BODY[] {4}\r\nabcd)\r\n";
        hostile.replace("Oto moje sprawozdanie.", "Oto moje sprawozdanie.\r\n" + lines);
        QVERIFY(server.append(hostile, &error));
        QVERIFY(server.append(reportMail(state, QStringLiteral("Nowak Jan"), true), &error));

        // Through STARTTLS this time.
        const ImapAccount account = localAccount(server.startTlsPort(), false);
        MailboxSync sync(account, MailboxCache::FolderFor(account));
        MailboxSyncResult result;
        QVERIFY2(sync.run(&result), qPrintable(result.error));
        QCOMPARE(result.fetched, 1);
        QCOMPARE(result.problems.size(), 1);
        QVERIFY2(result.problems.first().startsWith(QStringLiteral("listu UID 1 ")), qPrintable(result.problems.first()));
        const QStringList cached = QDir(MailboxCache::FolderFor(account) + QStringLiteral("/cur")).entryList(QDir::Files);
        QCOMPARE(cached.size(), 1);
        QVERIFY2(cached.first().endsWith(QStringLiteral(".2.imap:2,")), qPrintable(cached.first()));
    }

    // A server that offers no TLS gets neither the password nor any command, with
    // STARTTLS demanded and with TLS from the start alike.
    void serverWithoutTlsIsRefusedBeforeThePassword()
    {
        DovecotServer server;
        QString error;
        if (!server.start(false, &error))
            QSKIP(qPrintable(QStringLiteral("Dovecot cannot start here: ") + error));
        for (const bool implicitTls : {false, true}) {
            ImapMailbox mailbox(localAccount(server.port(), implicitTls));
            mailbox.setTimeLimits(10, 5, 5);
            QVERIFY(!mailbox.open(&error));
            QVERIFY2(mailbox.failure() == ImapFailure::NoEncryption, qPrintable(error));
            if (!implicitTls)
                QVERIFY2(error.contains(QStringLiteral("nie oferuje szyfrowania")), qPrintable(error));
        }
        QTest::qWait(300);
        const QString log = server.logText();
        QVERIFY2(!log.contains(QStringLiteral("Login:")) && !log.contains(QStringLiteral("auth failed")) &&
                     !log.contains(QStringLiteral("user=<sekretariat>")),
                 qPrintable(log));
    }

    // A server that takes the connection and says nothing is cut by the time limit,
    // and a cancel ends the wait at once.
    void stallingServerIsCut()
    {
        SilentServer silent;
        QVERIFY(silent.port() > 0);
        QString error;
        {
            ImapMailbox mailbox(localAccount(silent.port(), false));
            mailbox.setTimeLimits(2, 2, 2);
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!mailbox.open(&error));
            QCOMPARE(mailbox.failure(), ImapFailure::TimedOut);
            QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        }
        {
            ImapMailbox mailbox(localAccount(silent.port(), true));
            mailbox.setTimeLimits(60, 60, 60);
            QElapsedTimer clock;
            clock.start();
            mailbox.setCancelCheck([&] { return clock.elapsed() > 500; });
            QVERIFY(!mailbox.open(&error));
            QVERIFY2(mailbox.failure() == ImapFailure::Cancelled, qPrintable(error));
            QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        }
    }

    // Answers read from the raw lines: literals are counted, an answer cut inside
    // one or without its completion is refused.
    void responsesAreReadByLiteralCount_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("fetches");
        QTest::newRow("literal holding a completion") << QByteArray("* 1 FETCH (UID 5 BODY[] {16}\r\nA1 OK x\r\n* 2 F\r\n)\r\nA1 OK done\r\n") << true << 1;
        QTest::newRow("cut inside the literal") << QByteArray("* 1 FETCH (UID 5 BODY[] {40}\r\nA1 OK x\r\n") << false << 0;
        QTest::newRow("no completion") << QByteArray("* 1 FETCH (UID 5 RFC822.SIZE 10)\r\n") << false << 0;
        QTest::newRow("refused") << QByteArray("A1 NO no such folder\r\n") << false << 0;
        QTest::newRow("unbalanced list") << QByteArray("* 1 FETCH (UID 5 BODYSTRUCTURE ((\r\nA1 OK done\r\n") << false << 0;
        QTest::newRow("literal length garbage") << QByteArray("* 1 FETCH (UID 5 BODY[] {x}\r\nA1 OK\r\n") << false << 0;
        QTest::newRow("nesting too deep") << QByteArray("* 1 FETCH (UID 5 BODYSTRUCTURE " + QByteArray(100, '(') + QByteArray(100, ')') + ")\r\nA1 OK\r\n") << false << 0;
        QTest::newRow("greeting before") << QByteArray("* OK ready\r\nA0 OK logged in\r\n* 3 FETCH (UID 7 RFC822.SIZE 9)\r\nA1 OK done\r\n") << true << 1;
    }
    void responsesAreReadByLiteralCount()
    {
        QFETCH(QByteArray, stream);
        QFETCH(bool, ok);
        QFETCH(int, fetches);
        ImapResponse r;
        QString error;
        QCOMPARE(r.parse(stream, &error), ok);
        if (ok) {
            QCOMPARE(r.fetches.size(), fetches);
            if (stream.contains("{16}"))
                QCOMPARE(r.fetches.first().body, QByteArray("A1 OK x\r\n* 2 F\r\n"));
        }
    }

    // Which mails are fetched: an XML type, a name ending in ".xml" in any encoding,
    // a forwarded mail holding one; not a plain letter.
    void xmlAttachmentsAreFoundInTheStructure_data()
    {
        QTest::addColumn<QByteArray>("structure");
        QTest::addColumn<bool>("carries");
        QTest::newRow("plain letter") << QByteArray("(\"text\" \"plain\" (\"charset\" \"utf-8\") NIL NIL \"7bit\" 12 1 NIL NIL NIL NIL)") << false;
        QTest::newRow("application/xml") << QByteArray("((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"application\" \"xml\" NIL NIL NIL \"base64\" 40) \"mixed\")") << true;
        QTest::newRow("octet-stream named .xml") << QByteArray("((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"application\" \"octet-stream\" (\"name\" \"a.XML\") NIL NIL \"base64\" 40 NIL (\"inline\" NIL) NIL NIL) \"mixed\")") << true;
        QTest::newRow("RFC 2231 filename") << QByteArray("((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"application\" \"octet-stream\" NIL NIL NIL \"base64\" 40 NIL (\"attachment\" (\"filename*0*\" \"utf-8''Spraw%C3%B3\" \"filename*1*\" \"zd.x%6Dl\")) NIL NIL) \"mixed\")") << true;
        QTest::newRow("RFC 2047 base64 name") << QByteArray("((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"application\" \"octet-stream\" (\"name\" \"=?UTF-8?B?xbvDs8WCdy54bWw=?=\") NIL NIL \"base64\" 40) \"mixed\")") << true;
        QTest::newRow("name not ending in .xml") << QByteArray("((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"application\" \"pdf\" (\"name\" \"a.xml.pdf\") NIL NIL \"base64\" 40) \"mixed\")") << false;
        QTest::newRow("forwarded mail with a report") << QByteArray("((\"text\" \"plain\" NIL NIL NIL \"7bit\" 5 1)(\"message\" \"rfc822\" NIL NIL NIL \"7bit\" 300 (NIL \"Fwd\" NIL NIL NIL NIL NIL NIL NIL NIL) ((\"text\" \"html\" NIL NIL NIL \"8bit\" 5 1)(\"text\" \"xml\" NIL NIL NIL \"8bit\" 40 2) \"mixed\") 20) \"mixed\")") << true;
    }
    void xmlAttachmentsAreFoundInTheStructure()
    {
        QFETCH(QByteArray, structure);
        QFETCH(bool, carries);
        const ImapValue value = structureOf(structure);
        QVERIFY(value.isList());
        QCOMPARE(CarriesXmlAttachment(value), carries);
    }

    void addressesOfMailboxes()
    {
        ImapAccount a;
        QString error;
        QVERIFY(ImapAccount::FromUrl(QStringLiteral("imaps://poczta.szkola.pl/INBOX"), &a, &error));
        QCOMPARE(a.Port, 993);
        QVERIFY(a.ImplicitTls);
        QVERIFY(ImapAccount::FromUrl(QStringLiteral("imap://poczta.szkola.pl:1143/Sprawozdania"), &a, &error));
        QCOMPARE(a.Port, 1143);
        QVERIFY(!a.ImplicitTls);
        QCOMPARE(a.Folder, QStringLiteral("Sprawozdania"));
        for (const char* bad : {"http://poczta/INBOX", "imaps://", "imaps://user:pw@host/INBOX", "pop3://host",
                                "imaps://host/IN%0ABOX"})
            QVERIFY2(!ImapAccount::FromUrl(QLatin1String(bad), &a, &error), bad);
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestImap)
#include "tst_imap.moc"
