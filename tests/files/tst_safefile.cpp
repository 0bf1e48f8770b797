#include "files/SafeFile.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Operation
{
    Write,
    WriteNew,
    AppendLine,
};

enum class Condition
{
    FullDisk,
    ReadOnly,
    LinkAtTarget,
    FolderAtTarget,
};

// A whole page of a tmpfs, so that even one more byte needs space the full disk lacks.
const QByteArray kOld = QByteArray(4095, 's') + '\n';
const QByteArray kNew = QByteArray(20000, 'n');
const QByteArray kOutside = QByteArrayLiteral("plik poza folderem\n");

// Every name in the folder with its bytes (folders as "/"), to compare before and after.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (info.fileName() == QLatin1String(".filler"))
            continue;
        files.insert(info.fileName(), info.isSymLink() ? "-> " + info.symLinkTarget().toUtf8()
                                      : info.isDir()   ? QByteArray("/")
                                                       : TestFiles::readFile(info.filePath()));
    }
    return files;
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failuresLeaveEverythingAsItWas_data();
    void failuresLeaveEverythingAsItWas();
    void readRefusesWhatIsNoPlainFile_data();
    void readRefusesWhatIsNoPlainFile();
    void logRotatesAtItsCapAndKeepsEveryLine();
    void numberedNamesAreClaimedOnceAcrossPrograms();
    void existingFileKeepsItsPermissions();
};

void TestSafeFile::failuresLeaveEverythingAsItWas_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Condition>("condition");
    QTest::addColumn<FileFailure>("expected");
    // For a success: the name written, with kNew (WriteNew) or kOld + the line (AppendLine).
    QTest::addColumn<QString>("written");

    const auto N = FileFailure::None;
    QTest::newRow("write, full disk") << Operation::Write << Condition::FullDisk << FileFailure::NoSpace << QString();
    QTest::newRow("write, read-only") << Operation::Write << Condition::ReadOnly << FileFailure::Denied << QString();
    QTest::newRow("write over a link") << Operation::Write << Condition::LinkAtTarget << N << "r.xml";
    QTest::newRow("write over a folder") << Operation::Write << Condition::FolderAtTarget << FileFailure::NotRegular
                                         << QString();
    QTest::newRow("new, full disk") << Operation::WriteNew << Condition::FullDisk << FileFailure::NoSpace << QString();
    QTest::newRow("new, read-only") << Operation::WriteNew << Condition::ReadOnly << FileFailure::Denied << QString();
    QTest::newRow("new, link on the name") << Operation::WriteNew << Condition::LinkAtTarget << N << "r (3).xml";
    QTest::newRow("new, folder on the name") << Operation::WriteNew << Condition::FolderAtTarget << N << "r (3).xml";
    QTest::newRow("log, full disk") << Operation::AppendLine << Condition::FullDisk << FileFailure::NoSpace
                                    << QString();
    QTest::newRow("log, read-only") << Operation::AppendLine << Condition::ReadOnly << FileFailure::Denied
                                    << QString();
    QTest::newRow("log is a link") << Operation::AppendLine << Condition::LinkAtTarget << FileFailure::Link
                                   << QString();
    QTest::newRow("log is a folder") << Operation::AppendLine << Condition::FolderAtTarget << FileFailure::NotRegular
                                     << QString();
}

// Each way of writing under each hostile condition: a failure is told by its kind and
// leaves every file byte for byte as it was (no temporary file, no claimed name, no
// half line); a link is never written through.
void TestSafeFile::failuresLeaveEverythingAsItWas()
{
    QFETCH(Operation, operation);
    QFETCH(Condition, condition);
    QFETCH(FileFailure, expected);
    QFETCH(QString, written);

    SmallDisk disk;
    QVERIFY(disk.isValid());
    qInfo("disk: %s", qPrintable(disk.kind()));
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath(QStringLiteral("cel.txt"));
    QVERIFY(TestFiles::writeFile(outsideFile, kOutside));

    const QDir dir(disk.path());
    const QString target = dir.filePath(operation == Operation::AppendLine ? QStringLiteral("dziennik.txt")
                                                                         : QStringLiteral("r.xml"));
    // The numbered names already taken by earlier reports.
    QVERIFY(TestFiles::writeFile(dir.filePath(QStringLiteral("r (2).xml")), kOld));
    switch (condition) {
    case Condition::LinkAtTarget:
        QVERIFY(QFile::link(outsideFile, target));
        break;
    case Condition::FolderAtTarget:
        QVERIFY(dir.mkdir(QFileInfo(target).fileName()));
        break;
    default:
        QVERIFY(TestFiles::writeFile(target, kOld));
        break;
    }
    const QMap<QString, QByteArray> before = snapshot(disk.path());
    if (condition == Condition::FullDisk)
        QVERIFY(disk.fill());
    if (condition == Condition::ReadOnly)
        QVERIFY(disk.makeReadOnly());

    FileResult result;
    QString newPath;
    switch (operation) {
    case Operation::Write:
        result = SafeFile::Write(target, kNew);
        break;
    case Operation::WriteNew:
        result = SafeFile::WriteNew(disk.path(), QStringLiteral("r"), QStringLiteral(".xml"), 99, kNew, &newPath);
        break;
    case Operation::AppendLine:
        result = SafeFile::AppendLine(target, "nowy wiersz", 1 << 20, target + QStringLiteral(".1"));
        break;
    }
    disk.release();

    QCOMPARE(result.failure, expected);
    QCOMPARE(TestFiles::readFile(outsideFile), kOutside);
    if (expected != FileFailure::None) {
        QVERIFY(!FileFailureText(result).isEmpty());
        QCOMPARE(snapshot(disk.path()), before);
        QVERIFY(newPath.isEmpty());
        return;
    }
    const QString writtenPath = dir.filePath(written);
    if (operation == Operation::WriteNew)
        QCOMPARE(newPath, writtenPath);
    QVERIFY(!QFileInfo(writtenPath).isSymLink());
    QCOMPARE(TestFiles::readFile(writtenPath), kNew);
    // Nothing else changed, and nothing was left behind.
    QMap<QString, QByteArray> after = snapshot(disk.path());
    after.remove(written);
    QMap<QString, QByteArray> expectedAfter = before;
    expectedAfter.remove(written);
    QCOMPARE(after, expectedAfter);
}

void TestSafeFile::readRefusesWhatIsNoPlainFile_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("followLinks");
    QTest::addColumn<FileFailure>("expected");

    QTest::newRow("plain file at the cap") << "file" << false << FileFailure::None;
    QTest::newRow("one byte over the cap") << "large" << false << FileFailure::TooLarge;
    QTest::newRow("link") << "link" << false << FileFailure::Link;
    QTest::newRow("link, followed when asked") << "link" << true << FileFailure::None;
    QTest::newRow("FIFO without a writer") << "fifo" << false << FileFailure::NotRegular;
    QTest::newRow("link to a FIFO, followed") << "fifolink" << true << FileFailure::NotRegular;
    QTest::newRow("folder") << "folder" << false << FileFailure::NotRegular;
    QTest::newRow("device") << "device" << false << FileFailure::NotRegular;
    QTest::newRow("missing") << "missing" << false << FileFailure::Missing;
}

void TestSafeFile::readRefusesWhatIsNoPlainFile()
{
    QFETCH(QString, what);
    QFETCH(bool, followLinks);
    QFETCH(FileFailure, expected);

    const qint64 cap = 1000;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    QVERIFY(TestFiles::writeFile(file, QByteArray(cap, 'a')));
    QVERIFY(TestFiles::writeFile(dir.filePath(QStringLiteral("large")), QByteArray(cap + 1, 'a')));
    QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("link"))));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("fifo")), dir.filePath(QStringLiteral("fifolink"))));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    const QString path = what == QLatin1String("device") ? QStringLiteral("/dev/zero") : dir.filePath(what);
    QByteArray bytes = "left over";
    SafeFile::ReadOptions options;
    options.followLinks = followLinks;
    const FileResult result = SafeFile::Read(path, cap, &bytes, options);
    QCOMPARE(result.failure, expected);
    QCOMPARE(bytes, expected == FileFailure::None ? QByteArray(cap, 'a') : QByteArray());
}

// The log grows line by line up to its cap, then the whole of it becomes the one older
// log and a new one begins; no line is cut or lost on the way, and an older log is
// replaced by the next one.
void TestSafeFile::logRotatesAtItsCapAndKeepsEveryLine()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("dziennik.txt"));
    const QString older = dir.filePath(QStringLiteral("dziennik.1.txt"));
    const qint64 cap = 100;
    QStringList lines;
    for (int i = 0; i < 12; ++i) {
        lines << QStringLiteral("wiersz numer %1").arg(i, 2, 10, QLatin1Char('0')); // 16 bytes with the break
        QVERIFY(SafeFile::AppendLine(log, lines.last().toUtf8(), cap, older).ok());
        QVERIFY(QFileInfo(log).size() <= cap);
    }
    // Six lines fit in 100 bytes: the seventh began a new log, and the first six became
    // the older one.
    const QByteArray current = TestFiles::readFile(log);
    const QByteArray previous = TestFiles::readFile(older);
    QCOMPARE(previous.count('\n'), 6);
    QCOMPARE(QString::fromUtf8(previous + current).split(QLatin1Char('\n'), Qt::SkipEmptyParts), lines);

    QVERIFY(SafeFile::AppendLine(log, "jeszcze jeden", cap, older).ok());
    QCOMPARE(TestFiles::readFile(log), QByteArray("jeszcze jeden\n"));
    QCOMPARE(TestFiles::readFile(older), current);
    QCOMPARE(SafeFile::AppendLine(log, QByteArray(cap, 'x'), cap, older).failure, FileFailure::TooLarge);
}

// Four programs keep reports under the same name at once: each name is taken by one
// of them only, and no report overwrites another.
void TestSafeFile::numberedNamesAreClaimedOnceAcrossPrograms()
{
    QTemporaryDir dir;
    const int programs = 4;
    const int each = 15;
    QList<pid_t> children;
    for (int program = 0; program < programs; ++program) {
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            for (int i = 0; i < each; ++i) {
                QString path;
                const QByteArray bytes = QByteArray::number(program) + ':' + QByteArray::number(i);
                if (!SafeFile::WriteNew(dir.path(), QStringLiteral("Kowalska"), QStringLiteral(".xml"), 999, bytes,
                                        &path))
                    ::_exit(1);
            }
            ::_exit(0);
        }
        children << pid;
    }
    for (const pid_t pid : children) {
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(names.size(), programs * each);
    QSet<QByteArray> contents;
    for (const QString& name : names)
        contents.insert(TestFiles::readFile(dir.filePath(name)));
    QCOMPARE(contents.size(), programs * each);
}

void TestSafeFile::existingFileKeepsItsPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ustawienia"));
    QVERIFY(SafeFile::Write(path, "a", SafeFile::Access::Private).ok());
    QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(SafeFile::Write(path, "b").ok());
    QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::ReadGroup);
    QCOMPARE(TestFiles::readFile(path), QByteArray("b"));
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
