#include "core/AppState.h"
#include "core/Progress.h"
#include "delivery/DocumentDelivery.h"
#include "delivery/MailHandOver.h"
#include "delivery/ReportMail.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

const QString kNoFile =
    QStringLiteral("Wystąpiły problemy z przygotowaniem listu.\rBrak pliku we wskazanym folderze.");
const QString kInstruction =
    QStringLiteral("Naciśnij \"Wyślij\", program zostanie zminimalizowany, a Ty pozwól "
                   "na wysłanie listu.\rPóźniej przywróć okno samodzielnie.");

Settings schoolSettings(int port)
{
    Settings s;
    s.WorkMode = QStringLiteral("lokalny");
    s.SmtpPort = QString::number(port);
    s.SmtpHost = QStringLiteral("127.0.0.1");
    s.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
    s.SmtpPassword = QString::fromLatin1(TestServer::kSmtpPassword);
    s.SchoolAddress = QStringLiteral("sekretariat@szkola.test");
    return s;
}

QStringList mailsIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
}

// A stand-in for xdg-email, first on PATH: it records its arguments, NUL after each,
// and ends with the exit code the test asks for.
class FakeMailProgram
{
public:
    explicit FakeMailProgram(const QString& folder, int exitCode)
        : m_record(QDir(folder).filePath(QStringLiteral("arguments"))), m_oldPath(qgetenv("PATH"))
    {
        const QString script = QDir(folder).filePath(QStringLiteral("xdg-email"));
        const QByteArray text = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" +
                                m_record.toLocal8Bit() + "'\nexit " + QByteArray::number(exitCode) + "\n";
        m_ready = writeFile(script, text) &&
                  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", folder.toLocal8Bit() + ":" + m_oldPath);
    }
    ~FakeMailProgram() { qputenv("PATH", m_oldPath); }

    bool ready() const { return m_ready; }
    bool ran() const { return QFile::exists(m_record); }
    QStringList arguments() const
    {
        QStringList out;
        for (const QByteArray& a : readFile(m_record).split('\0'))
            out << QString::fromUtf8(a);
        out.removeLast(); // after the last NUL
        return out;
    }

private:
    QString m_record;
    QByteArray m_oldPath;
    bool m_ready = false;
};

// Cancels at its n-th report, as the teacher pressing "Anuluj" would.
class CancellingPresenter final : public ProgressPresenter
{
public:
    explicit CancellingPresenter(int cancelAt) : m_cancelAt(cancelAt) {}
    void begin(const QString& title) override { titles << title; }
    bool report(const QString&, qint64, qint64) override { return ++reports < m_cancelAt; }
    void end() override { ++ended; }
    QStringList titles;
    int reports = 0;
    int ended = 0;

private:
    int m_cancelAt;
};

} // namespace

class TestReportMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { appState() = AppState{}; }

    void composesTheReportMail()
    {
        const QString name = QStringLiteral("Jaś Bąk");
        const QDateTime now(QDate(2026, 6, 19), QTime(14, 5, 9));
        Settings settings = schoolSettings(25);
        settings.SchoolAddress = QStringLiteral("sekretariat@szkola.test, dyrektor@szkola.test");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Źle 2b.xml"));
        QVERIFY(writeFile(path, "<Szkola/>"));

        const MailMessage mail = ComposeReportMail(name, path, settings, now);
        QCOMPARE(mail.SenderAddress, settings.SenderAddress);
        QCOMPARE(mail.Date, now);
        QCOMPARE(mail.AttachmentPath, path);

        const QByteArray text = mail.compose();
        QVERIFY(!text.isEmpty());
        const QByteArray headers = text.left(text.indexOf("\r\n\r\n") + 2);
        // ś and ą travel as their ISO-8859-2 codes 0xB6 and 0xB1.
        QVERIFY(headers.contains("From: =?ISO-8859-2?Q?Ja=B6_B=B1k?= <nauczyciel@szkola.test>\r\n"));
        QVERIFY(headers.contains("Subject: =?ISO-8859-2?Q?Sprawozdanie_-_Ja=B6_B=B1k?=\r\n"));
        QVERIFY(headers.contains("To: sekretariat@szkola.test, dyrektor@szkola.test\r\n"));
        QVERIFY(headers.contains("Date: " + now.toString(Qt::RFC2822Date).toLatin1() + "\r\n"));
        // The file name carries Ź as 0xAC.
        QVERIFY(text.contains("filename=\"=?ISO-8859-2?Q?=ACle_2b=2Exml?=\""));
        QCOMPARE(text.count("Content-Disposition:"), 1);

        // A small HTML document: the greeting's nine lines as lines, the name last.
        const QByteArray start = "Content-Transfer-Encoding: 8bit\r\n\r\n";
        const qsizetype from = text.indexOf(start) + start.size();
        const QByteArray body = text.mid(from, text.indexOf("\r\n--=_", from) - from);
        QVERIFY(body.startsWith("<!DOCTYPE html>\r\n<html><head>"));
        QVERIFY(body.endsWith("\r\n</body></html>\r\n"));
        const QByteArray lines = body.mid(body.indexOf("<body>\r\n") + 8);
        QCOMPARE(lines.left(lines.indexOf("\r\n</body>")),
                 QByteArray(
                     "Witam. <br>\r\n<br>\r\n<br>\r\n"
                     "Oto moje sprawozdanie. Prosz\xEA przekaza\xE6 protokolantowi. <br>\r\n<br>\r\n<br>\r\n"
                     "Z powa\xBF"
                     "aniem.  <br>\r\n<br>\r\nJa\xB6 B\xB1k"));

        // A name is text in the body: escaped, without control characters.
        const QByteArray odd =
            ComposeReportMail(QStringLiteral("<b>Ola & Ala</b>") + QChar(0) + QStringLiteral("\x1B[2J"), path,
                              settings, now)
                .compose();
        QVERIFY(odd.contains("\r\n&lt;b&gt;Ola &amp; Ala&lt;/b&gt;[2J\r\n</body>"));
        QVERIFY(!odd.contains('\0'));
        QVERIFY(!odd.contains('\x1B'));
    }

    void portIsAWholeNumber()
    {
        Settings settings = schoolSettings(25);
        SmtpAccount account;
        QString error;
        for (const char* bad : {"2a5", "", " ", "-25", "0", "65536", "25.0", "0x19", "99999999999"}) {
            settings.SmtpPort = QString::fromLatin1(bad);
            error.clear();
            QVERIFY2(!ReportMailAccount(settings, &account, &error), bad);
            QVERIFY(!error.isEmpty());
        }
        settings.SmtpPort = QStringLiteral(" 587 ");
        QVERIFY(ReportMailAccount(settings, &account, &error));
        QCOMPARE(account.Port, 587);
        QCOMPARE(account.Host, settings.SmtpHost);
        QCOMPARE(account.User, settings.SenderAddress);
        QCOMPARE(account.Password, settings.SmtpPassword);
    }

    // Failures the delivery window's tests do not reach: an unreadable report and a
    // server that is not there are false results with a reason, and the file stays.
    void failedSendsAreReported()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString report = dir.filePath(QStringLiteral("2b.xml"));
        QVERIFY(writeFile(report, "<Szkola/>"));
        appState().TeacherName = QStringLiteral("Kowalska Zofia");

        TestServer server;
        QString error;
        TestServer::SmtpOptions options;
        options.folder = dir.path();
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        appState().Settings = schoolSettings(server.port());
        QCOMPARE(SendReportMail(dir.filePath(QStringLiteral("brak.xml")), appState().TeacherName, &error),
                 MailOutcome::Failed);
        QVERIFY(error.contains(QStringLiteral("brak.xml")));

        // Nobody listens on the port of a stopped server.
        server.stop();
        error.clear();
        QCOMPARE(SendReportMail(report, appState().TeacherName, &error), MailOutcome::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(mailsIn(dir.path()).isEmpty());
        QVERIFY(QFileInfo::exists(report));
    }

    // What the teacher is told when a send does not end as sent: the whole mail handed
    // over and the server silent gives the may-have-arrived message within the send's
    // limit; "Anuluj" gives the cancel message; an oversized report is refused before
    // any connection.
    void teacherIsToldHowTheSendEnded()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString report = dir.filePath(QStringLiteral("2b.xml"));
        QVERIFY(writeFile(report, "<Szkola/>"));
        appState().TeacherName = QStringLiteral("Kowalska Zofia");
        const QString inbox = dir.filePath(QStringLiteral("poczta"));
        QVERIFY(QDir().mkpath(inbox));

        TestServer silent;
        TestServer::SmtpOptions options;
        options.folder = inbox;
        options.silentAfterData = true;
        QString error;
        QVERIFY2(silent.startSmtp(options, &error), qPrintable(error));
        appState().Settings = schoolSettings(silent.port());
        appState().Settings.AllowPlainLogin = true; // the test server has no STARTTLS
        MessageRecorder messages;
        CancellingPresenter patient(1000000);
        setProgressPresenter(&patient);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!MailDocument(report, appState().TeacherName, 3));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(messages.texts(),
                 QStringList{
                     QStringLiteral("Serwer poczty nie potwierdził przyjęcia listu, ale list mógł już "
                                    "dotrzeć do szkoły.\rSprawdź to w szkole, zanim wyślesz go ponownie.")});
        QCOMPARE(mailsIn(inbox), QStringList{QStringLiteral("1.eml")}); // it had arrived indeed
        QCOMPARE(patient.titles, QStringList{QStringLiteral("Wysyłanie listu do szkoły")});
        QVERIFY(patient.reports > 0);
        QCOMPARE(patient.ended, 1);

        TestServer server;
        options.silentAfterData = false;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        appState().Settings.SmtpPort = QString::number(server.port());
        CancellingPresenter cancelling(1);
        setProgressPresenter(&cancelling);
        messages.clear();
        QVERIFY(!MailDocument(report, appState().TeacherName));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Wysyłanie listu zostało przerwane.\rList nie został wysłany.")});
        QCOMPARE(mailsIn(inbox), QStringList{QStringLiteral("1.eml")});

        setProgressPresenter(nullptr);
        QFile big(report);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(10 * 1024 * 1024 + 1));
        big.close();
        const QByteArray logins = readFile(QDir(inbox).filePath(QStringLiteral("auth.log")));
        messages.clear();
        QVERIFY(!MailDocument(report, appState().TeacherName));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Dokument jest za duży, by wysłać go pocztą (więcej "
                                            "niż 10 MB).\rZapisz go na dysku i dostarcz inną drogą.")});
        QCOMPARE(readFile(QDir(inbox).filePath(QStringLiteral("auth.log"))), logins); // never connected
        QCOMPARE(mailsIn(inbox), QStringList{QStringLiteral("1.eml")});
    }

    void handsTheReportToTheMailProgram()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString report = dir.filePath(QStringLiteral("Uzasadnienie 3a.xml"));
        QVERIFY(writeFile(report, "<Szkola/>"));
        AppState& state = appState();
        state.TeacherName = QStringLiteral("Bąk Jaś");
        state.Settings = schoolSettings(25);
        state.Settings.SchoolAddress = QStringLiteral("sekretariat@szkola.test,dyrektor@szkola.test");
        int minimised = 0;
        int restored = 0;
        auto minimise = [&] { ++minimised; };
        auto restore = [&] { ++restored; };

        {
            // A missing file: told, no question, nothing handed over.
            FakeMailProgram program(dir.path(), 0);
            QVERIFY(program.ready());
            MessageRecorder messages;
            HandToMailProgram(dir.filePath(QStringLiteral("brak.xml")), minimise, restore);
            QCOMPARE(messages.texts(), QStringList{kNoFile});
            QCOMPARE(messages.messages().at(0).icon, int(IconInformation));
            QVERIFY(!program.ran());
            QCOMPARE(minimised, 0);

            // Anything but "Tak" ends it quietly.
            messages.clear();
            messages.scriptAnswers({AnswerCancel});
            HandToMailProgram(report, minimise, restore);
            QCOMPARE(messages.texts(), QStringList{kInstruction});
            QCOMPARE(messages.messages().at(0).kind, int(KindHandOver));
            QVERIFY(!program.ran());
            QCOMPARE(minimised, 0);

            // "Tak": the program steps aside and the mail program gets the message.
            messages.clear();
            messages.scriptAnswers({AnswerYes});
            HandToMailProgram(report, minimise, restore);
            QCOMPARE(messages.texts(), QStringList{kInstruction});
            QVERIFY(program.ran());
            QCOMPARE(minimised, 1);
            QCOMPARE(restored, 0);
            const QStringList expected{
                QStringLiteral("--utf8"),
                QStringLiteral("--subject"),
                QStringLiteral("Sprawozdanie - Bąk Jaś"),
                QStringLiteral("--body"),
                QStringLiteral("Witam. \n\n\nOto moje sprawozdanie. Proszę przekazać protokolantowi. "
                               "\n\n\nZ poważaniem.  \n\nBąk Jaś"),
                QStringLiteral("--attach"),
                report,
                QStringLiteral("sekretariat@szkola.test"),
                QStringLiteral("dyrektor@szkola.test")};
            QCOMPARE(program.arguments(), expected);
        }
        {
            // The mail program refuses: the program comes back and names the address.
            QTemporaryDir other;
            QVERIFY(other.isValid());
            FakeMailProgram program(other.path(), 3);
            QVERIFY(program.ready());
            MessageRecorder messages;
            messages.scriptAnswers({AnswerYes});
            HandToMailProgram(report, minimise, restore);
            QVERIFY(program.ran());
            QCOMPARE(minimised, 2);
            QCOMPARE(restored, 1);
            QCOMPARE(messages.texts().size(), 2);
            QCOMPARE(
                messages.texts().at(1),
                QStringLiteral("Wystąpiły problemy z przygotowaniem listu.\rZapisz plik i wyślij go "
                               "klasycznie na adres szkoły - sekretariat@szkola.test,dyrektor@szkola.test."));
        }
        {
            // No mail program at all.
            QTemporaryDir empty;
            QVERIFY(empty.isValid());
            const QByteArray oldPath = qgetenv("PATH");
            qputenv("PATH", empty.path().toLocal8Bit());
            MessageRecorder messages;
            messages.scriptAnswers({AnswerYes});
            HandToMailProgram(report, minimise, restore);
            qputenv("PATH", oldPath);
            QCOMPARE(restored, 2);
            QCOMPARE(messages.texts().size(), 2);
            QVERIFY(messages.texts().at(1).startsWith(
                QStringLiteral("Wystąpiły problemy z przygotowaniem listu.")));
        }
    }
};

QTEST_GUILESS_MAIN(TestReportMail)
#include "tst_reportmail.moc"
