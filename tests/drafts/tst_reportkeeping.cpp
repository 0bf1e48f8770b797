#include "delivery/ReportTeacher.h"
#include "drafts/ReportArchive.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

} // namespace

// The archive of written reports with its delivery log, and the teacher read back
// from a report prepared earlier.
class TestReportKeeping : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(path(QStringLiteral("dane"))).removeRecursively();
        QVERIFY(QDir().mkpath(path(QStringLiteral("dane"))));
    }

    void schoolYears_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("year");
        QTest::newRow("last day of the holidays") << QDate(2026, 8, 31) << QStringLiteral("2025-2026");
        QTest::newRow("first of September") << QDate(2026, 9, 1) << QStringLiteral("2026-2027");
        QTest::newRow("winter term") << QDate(2027, 1, 20) << QStringLiteral("2026-2027");
    }

    void schoolYears()
    {
        QFETCH(QDate, day);
        QFETCH(QString, year);
        QCOMPARE(ReportArchive::SchoolYear(day), year);
    }

    void twoReportsOfOneNameAreBothKept()
    {
        const ReportArchive archive(path(QStringLiteral("dane")));
        const QDate day(2026, 12, 8);
        const QString year = archive.YearFolder(day);
        QCOMPARE(archive.OpenFolder(day), QString()); // nothing kept yet
        QVERIFY(writeFile(path(QStringLiteral("a.xml")), "pierwszy"));
        QVERIFY(writeFile(path(QStringLiteral("a.htm")), "strona 1"));
        QVERIFY(writeFile(path(QStringLiteral("b.xml")), "drugi"));
        QVERIFY(writeFile(path(QStringLiteral("b.htm")), "strona 2"));
        const QString name = QStringLiteral("Werdykon_1a_Kowalska Anna");

        QString kept;
        QVERIFY(archive.Keep(path(QStringLiteral("a.xml")), path(QStringLiteral("a.htm")), name, day, &kept));
        QCOMPARE(kept, QDir(year).filePath(name + QStringLiteral(".xml")));
        QVERIFY(archive.Keep(path(QStringLiteral("b.xml")), path(QStringLiteral("b.htm")), name, day, &kept));
        QCOMPARE(kept, QDir(year).filePath(name + QStringLiteral(" (2).xml")));
        // The same report again adds nothing.
        QVERIFY(archive.Keep(path(QStringLiteral("b.xml")), path(QStringLiteral("b.htm")), name, day, &kept));
        QCOMPARE(kept, QDir(year).filePath(name + QStringLiteral(" (2).xml")));

        QCOMPARE(QDir(year).entryList(QDir::Files, QDir::Name),
                 (QStringList{name + QStringLiteral(" (2).htm"), name + QStringLiteral(" (2).xml"),
                              name + QStringLiteral(".htm"), name + QStringLiteral(".xml")}));
        QCOMPARE(readFile(QDir(year).filePath(name + QStringLiteral(".xml"))), QByteArray("pierwszy"));
        QCOMPARE(readFile(QDir(year).filePath(name + QStringLiteral(" (2).htm"))), QByteArray("strona 2"));
        QCOMPARE(archive.OpenFolder(day), year);

        // A name made of the school's texts cannot lead out of the year's folder.
        QVERIFY(
            archive.Keep(path(QStringLiteral("a.xml")), QString(), QStringLiteral("../../poza"), day, &kept));
        QCOMPARE(kept, QDir(year).filePath(QStringLiteral("poza.xml")));
        // A report that cannot be read is not kept and says why.
        QString error;
        QVERIFY(!archive.Keep(path(QStringLiteral("brak.xml")), QString(), name, day, &kept, &error));
        QCOMPARE(error, QStringLiteral("nie można odczytać sprawozdania"));
    }

    void theLogRecordsEachDeliveryAndStaysSmall()
    {
        const ReportArchive archive(path(QStringLiteral("dane")));
        const QDateTime when(QDate(2026, 12, 8), QTime(10, 15, 0));
        QVERIFY(archive.LogDelivery(QStringLiteral("poczta"), QStringLiteral("a@szkola.test,\tb@szkola.test"),
                                    QStringLiteral("Werdykon_1a.xml"), true, when));
        QVERIFY(archive.LogDelivery(QStringLiteral("sieć szkolna"), QStringLiteral("/siec/Werdykon_1a.xml"),
                                    QStringLiteral("Werdykon_1a.xml"), false, when.addSecs(60)));
        QCOMPARE(readFile(archive.LogPath(when.date())),
                 QStringLiteral("2026-12-08T10:15:00\tpoczta\ta@szkola.test, b@szkola.test\tWerdykon_1a.xml\t"
                                "dostarczono\n2026-12-08T10:16:00\tsieć szkolna\t/siec/Werdykon_1a.xml\t"
                                "Werdykon_1a.xml\tnie udało się\n")
                     .toUtf8());

        const QString long_target(4000, QLatin1Char('x'));
        for (int i = 0; i < 100; ++i)
            QVERIFY(archive.LogDelivery(QStringLiteral("poczta"), long_target, QStringLiteral("r.xml"), true,
                                        when));
        const QByteArray log = readFile(archive.LogPath(when.date()));
        QVERIFY(log.size() <= ReportArchive::kMaxLogBytes);
        QVERIFY(!log.contains("Werdykon_1a.xml")); // the oldest lines moved on
        QVERIFY(log.endsWith("\tr.xml\tdostarczono\n"));
        // ... to the older log, whole: nothing was wiped.
        const QByteArray older = readFile(archive.OlderLogPath(when.date()));
        QVERIFY(older.startsWith("2026-12-08T10:15:00\tpoczta\ta@szkola.test, b@szkola.test\tWerdykon_1a.xml\t"));
        QCOMPARE(older.count('\n') + log.count('\n'), 102);
    }

    // Two running programs keeping different reports of one name at the same moment:
    // each claims its own numbered name, neither writes over the other.
    void twoProgramsClaimNumberedNamesOfTheirOwn()
    {
        const ReportArchive archive(path(QStringLiteral("dane")));
        const QDate day(2026, 12, 8);
        const QString name = QStringLiteral("Werdykon_1a_Kowalska Anna");
        constexpr int kPrograms = 2;
        constexpr int kReports = 20;
        for (int program = 0; program < kPrograms; ++program) {
            for (int n = 0; n < kReports; ++n)
                QVERIFY(writeFile(path(QStringLiteral("p%1-%2.xml").arg(program).arg(n)),
                                  QStringLiteral("program %1, raport %2").arg(program).arg(n).toUtf8()));
        }
        // Both start together: each waits for the other's byte on a pipe.
        int go[2];
        QVERIFY(pipe(go) == 0);
        QList<pid_t> children;
        for (int program = 0; program < kPrograms; ++program) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                char byte = 0;
                if (read(go[0], &byte, 1) != 1)
                    _exit(3);
                int failures = 0;
                for (int n = 0; n < kReports; ++n) {
                    QString kept;
                    failures += archive.Keep(path(QStringLiteral("p%1-%2.xml").arg(program).arg(n)), QString(), name,
                                             day, &kept)
                                    ? 0
                                    : 1;
                }
                _exit(failures == 0 ? 0 : 1);
            }
            children << child;
        }
        QVERIFY(write(go[1], "gg", 2) == 2);
        for (pid_t child : std::as_const(children)) {
            int status = 0;
            QVERIFY(waitpid(child, &status, 0) == child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        ::close(go[0]);
        ::close(go[1]);
        // Every report is there exactly once, under names of its own.
        const QDir year(archive.YearFolder(day));
        const QStringList files = year.entryList({QStringLiteral("*.xml")}, QDir::Files);
        QCOMPARE(files.size(), kPrograms * kReports);
        QSet<QByteArray> contents;
        for (const QString& file : files)
            contents.insert(readFile(year.filePath(file)));
        QCOMPARE(contents.size(), kPrograms * kReports);
    }

    void theTeacherOfAReport_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("teacher");
        const QByteArray head = "<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>\r\n";
        QTest::newRow("a report")
            << head + "<Szkola>\r\n\t<Doc>X</Doc>\r\n\t<Belfer>\x9Cwi\xB9tek Ewa</Belfer>\r\n</Szkola>\r\n"
            << true << QStringLiteral("świątek Ewa");
        QTest::newRow("no teacher") << head + "<Szkola>\r\n\t<Doc>X</Doc>\r\n</Szkola>\r\n"
                                    << false << QString();
        QTest::newRow("blank teacher") << head + "<Szkola><Belfer>  </Belfer></Szkola>" << false << QString();
        QTest::newRow("teacher elsewhere")
            << head + "<Inne><Belfer>Nowak Jan</Belfer></Inne>" << false << QString();
        QTest::newRow("a web page") << QByteArray("<html><body>Belfer</body></html>") << false << QString();
        QTest::newRow("empty") << QByteArray() << false << QString();
        QTest::newRow("binary") << QByteArray("\x00\x01\xFF\xFE<", 5) << false << QString();
    }

    void theTeacherOfAReport()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(QString, teacher);
        const QString file = path(QStringLiteral("raport.xml"));
        QVERIFY(writeFile(file, bytes));
        QString read;
        QCOMPARE(ReadReportTeacher(file, &read), readable);
        QCOMPARE(read, teacher);
    }
};

QTEST_MAIN(TestReportKeeping)
#include "tst_reportkeeping.moc"
