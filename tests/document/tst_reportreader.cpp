#include "collect/CollectedReport.h"
#include "delivery/ReportTeacher.h"
#include "document/ReportReader.h"
#include "encoding/TextCodec.h"

#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The mail of a report prepared earlier and the school's collection read documents
// with the same reader: what one refuses the other refuses, and both name the same
// teacher.
class TestReportReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bothCallersReadADocumentAlike_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("teacher"); // empty: the document is refused

        // The program's own report of one topic, with a teacher whose name only a
        // right decoding gives back.
        const QByteArray golden =
            TestFiles::readFile(TestPaths::testData(QStringLiteral("document/golden/uzasadnienie/expected.xml")));
        const QString teacher = QStringLiteral("Świątek Żaneta");
        const QString text =
            TextCodec::fromCp1250(golden).replace(QStringLiteral("Lewandowski Marek"), teacher);
        QVERIFY(text.contains(teacher));
        const QString declared = QStringLiteral("encoding=\"Windows-1250\"");
        QVERIFY(text.contains(declared));
        const auto declaring = [&](const QString& encoding) {
            return QString(text).replace(declared, QStringLiteral("encoding=\"%1\"").arg(encoding));
        };

        QTest::newRow("the program's report") << TextCodec::toCp1250(text) << teacher;
        QTest::newRow("UTF-8 with its byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + declaring(QStringLiteral("UTF-8")).toUtf8() << teacher;
        QTest::newRow("a foreign encoding declared")
            << TextCodec::toCp1250(declaring(QStringLiteral("ISO-8859-2"))) << QString();
        QString noTeacher = text;
        noTeacher.remove(QStringLiteral("\t<Belfer>%1</Belfer>\r\n").arg(teacher));
        QVERIFY(noTeacher.size() < text.size());
        QTest::newRow("without Belfer") << TextCodec::toCp1250(noTeacher) << QString();
        QTest::newRow("not XML") << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\nBelfer Nowak Jan\n") << QString();
        // Well-formed and whole, but larger than any report.
        QString huge = text;
        huge.replace(QStringLiteral("Liczne nieobecności."), QString(kMaxReportBytes, u'x'));
        QTest::newRow("huge") << TextCodec::toCp1250(huge) << QString();
    }

    void bothCallersReadADocumentAlike()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, teacher);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = QDir(dir.path()).filePath(QStringLiteral("raport.xml"));
        QVERIFY(TestFiles::writeFile(file, bytes));

        QString mailed;
        const bool mailReads = ReadReportTeacher(file, &mailed);
        const CollectedReport collected = ReadReportDocument(bytes, file);
        const bool schoolReads = collected.State == ReportState::Accepted;
        QVERIFY2(mailReads == schoolReads, qPrintable(collected.Reason));
        QCOMPARE(schoolReads, !teacher.isEmpty());
        QCOMPARE(mailed, teacher);
        if (schoolReads)
            QCOMPARE(collected.Teacher, teacher);
        else
            QVERIFY(!collected.Reason.isEmpty());
    }
};

QTEST_MAIN(TestReportReader)
#include "tst_reportreader.moc"
