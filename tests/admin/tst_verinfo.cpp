#include "encoding/ValueCipher.h"
#include "support/TestPaths.h"
#include "update/VersionDate.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runAdmin(const QStringList& args)
{
    QProcess process;
    process.start(TestPaths::binaryDir() + QStringLiteral("/bin/tabulon-admin"), args);
    if (!process.waitForStarted())
        return {};
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestVerinfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesFiveEncodedLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("verinfo.inf"));
        const Run run =
            runAdmin({QStringLiteral("verinfo"), QStringLiteral("--dates"), QStringLiteral("01.09.2024"),
                      QStringLiteral("2.09.2024"), QStringLiteral("2024-09-03"), QStringLiteral("--version"),
                      QStringLiteral("2.1.1"), QStringLiteral("-o"), path});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.err.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith("\r\n"));
        QStringList lines = QString::fromLatin1(content).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 5);
        QStringList plain;
        for (const QString& line : lines) {
            QVERIFY(!line.contains(u'\r') && !line.contains(u'\n'));
            plain << DecodeValue(line);
        }
        QCOMPARE(plain, (QStringList{QStringLiteral("TabulonInfo"), QStringLiteral("01.09.2024"),
                                     QStringLiteral("2.09.2024"), QStringLiteral("2024-09-03"),
                                     QStringLiteral("2.1.1")}));
        QCOMPARE(ParseVersionDate(plain.at(2)), QDate(2024, 9, 2));

        // Without -o the same content goes to standard output; another version is warned of.
        const Run toStdout =
            runAdmin({QStringLiteral("verinfo"), QStringLiteral("--version"), QStringLiteral("2.2.0"),
                      QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("2.09.2024"),
                      QStringLiteral("2024-09-03")});
        QCOMPARE(toStdout.exitCode, 0);
        QCOMPARE(toStdout.out.count("\r\n"), 5);
        QVERIFY(toStdout.err.contains(QStringLiteral("2.2.0")));
    }

    void badUsageWritesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("verinfo.inf"));
        const QList<QStringList> bad = {
            {QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("09/02/2024"),
             QStringLiteral("2024-09-03"), QStringLiteral("--version"), QStringLiteral("2.1.1")},
            {QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("--version"),
             QStringLiteral("2.1.1")},
            {QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("01.09.2024"),
             QStringLiteral("01.09.2024")},
            {QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("01.09.2024"),
             QStringLiteral("01.09.2024"), QStringLiteral("--version"), QStringLiteral("2.1.1"),
             QStringLiteral("zbędne")},
            {QStringLiteral("--dates"), QStringLiteral("01.09.2024"), QStringLiteral("01.09.2024"),
             QStringLiteral("01.09.2024"), QStringLiteral("--version"), QStringLiteral(" ")},
        };
        for (QStringList args : bad) {
            args.prepend(QStringLiteral("verinfo"));
            args << QStringLiteral("-o") << path;
            const Run run = runAdmin(args);
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.err.contains(QStringLiteral("verinfo --help")));
            QVERIFY(!QFile::exists(path));
        }
        const Run help = runAdmin({QStringLiteral("verinfo"), QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(QString::fromUtf8(help.out).startsWith(QStringLiteral("Użycie: tabulon-admin verinfo")));
    }
};

QTEST_GUILESS_MAIN(TestVerinfo)
#include "tst_verinfo.moc"
