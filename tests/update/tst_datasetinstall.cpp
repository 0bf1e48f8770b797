#include "encoding/ValueCipher.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "update/DataSetInstall.h"
#include "update/DataUpdate.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

using FileSet = QMap<QString, QByteArray>;

QByteArray versionFile(const QString& date)
{
    QByteArray out;
    for (const QString& line : {QStringLiteral("TabulonInfo"), date, date, date, QStringLiteral("2.1.1")})
        out += EncodeValue(line).toLatin1() + "\r\n";
    return out;
}

// A whole set of the school's files: the data files of one test school and a version
// file of its own date, so that any two sets differ in every file.
FileSet schoolSet(const QString& school, const QString& date)
{
    FileSet set;
    for (const QString& name : UpdateFileNames().mid(0, 3))
        set.insert(name,
                   readFile(TestPaths::testData(QStringLiteral("data/school/%1/%2").arg(school, name))));
    set.insert(kVersionFileName, versionFile(date));
    return set;
}

const FileSet& backupSet()
{
    static const FileSet set = schoolSet(QStringLiteral("plain-true"), QStringLiteral("01.02.2024"));
    return set;
}
const FileSet& oldSet()
{
    static const FileSet set = schoolSet(QStringLiteral("plain"), QStringLiteral("01.09.2024"));
    return set;
}
const FileSet& newSet()
{
    static const FileSet set = schoolSet(QStringLiteral("utf16"), QStringLiteral("02.09.2024"));
    return set;
}

QList<DataSetFile> asFiles(const FileSet& set)
{
    QList<DataSetFile> files;
    for (auto it = set.begin(); it != set.end(); ++it)
        files.append({it.key(), it.value()});
    return files;
}

void put(const QString& folder, const FileSet& set)
{
    QDir().mkpath(folder);
    for (auto it = set.begin(); it != set.end(); ++it)
        QVERIFY(writeFile(folder + it.key(), it.value()));
}

FileSet read(const QString& folder)
{
    FileSet set;
    for (const QString& name : UpdateFileNames())
        set.insert(name, readFile(folder + name));
    return set;
}

// Which of the sets `folder` holds, whole; "mix" otherwise.
QString whichSet(const QString& folder)
{
    const FileSet found = read(folder);
    if (found == oldSet())
        return QStringLiteral("old");
    if (found == newSet())
        return QStringLiteral("new");
    if (found == backupSet())
        return QStringLiteral("backup");
    QStringList parts;
    for (const QString& name : UpdateFileNames()) {
        const QByteArray& bytes = found.value(name);
        parts << name + QLatin1Char('=') +
                     (bytes == oldSet().value(name)   ? QStringLiteral("old")
                      : bytes == newSet().value(name) ? QStringLiteral("new")
                                                      : QStringLiteral("?"));
    }
    return QStringLiteral("mix ") + parts.join(QLatin1Char(' '));
}

// A data folder with the old set installed and an earlier one in its backup.
struct DataFolder
{
    QTemporaryDir root;
    QString data;

    DataFolder()
    {
        data = root.filePath(QStringLiteral("Files")) + QLatin1Char('/');
        put(data, oldSet());
        put(DataBackupFolder(data), backupSet());
    }

    // Everything in the data folder that is not the set or its backup.
    QStringList leftovers() const
    {
        QStringList names =
            QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : UpdateFileNames())
            names.removeAll(name);
        names.removeAll(QStringLiteral("Kopia"));
        return names;
    }
};

// Runs `work` in a child process that ends itself (_exit, no clean-up of any kind)
// when the install reaches `stopAt`; returns whether it got there.
bool runUntil(const QString& stopAt, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        SetDataSetInstallStepHook([stopAt](QStringView step) {
            if (step == stopAt)
                ::_exit(42);
        });
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 42;
}

// The steps an install goes through, in order.
QStringList installSteps()
{
    DataFolder f;
    QStringList steps;
    SetDataSetInstallStepHook([&steps](QStringView step) { steps << step.toString(); });
    InstallDataSet(f.data, asFiles(newSet()));
    SetDataSetInstallStepHook({});
    return steps;
}

} // namespace

class TestDataSetInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The install ended at each of its steps as by a power cut, then start-up: always
    // one whole set that loads, the old one before the journal was written and the
    // new one after it; a whole backup; nothing left over. A repair ended part-way
    // is itself repaired by the next start.
    void killedAtEveryStepLeavesOneWholeSet()
    {
        const QStringList steps = installSteps();
        QVERIFY2(steps.contains(QStringLiteral("committed")), qPrintable(steps.join(QLatin1Char(','))));
        QVERIFY(steps.contains(QStringLiteral("backup set aside")));
        const qsizetype committed = steps.indexOf(QStringLiteral("committed"));
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString& stopAt = steps.at(i);
            DataFolder f;
            QVERIFY2(runUntil(stopAt, [&] { InstallDataSet(f.data, asFiles(newSet())); }),
                     qPrintable(stopAt));

            // A second start that is itself ended at the same step, where a repair
            // passes it, must leave nothing worse for the third.
            runUntil(stopAt, [&] { RepairDataSet(f.data, true); });

            const DataSetRepair repair = RepairDataSet(f.data, true);
            QVERIFY2(!repair.failed, qPrintable(stopAt));
            QVERIFY2(DataSetLoads(f.data), qPrintable(stopAt));
            QCOMPARE(whichSet(f.data), i < committed ? QStringLiteral("old") : QStringLiteral("new"));
            const QString backup = whichSet(DataBackupFolder(f.data));
            QVERIFY2(backup == QStringLiteral("old") || backup == QStringLiteral("backup"),
                     qPrintable(stopAt + QStringLiteral(": ") + backup));
            QVERIFY2(f.leftovers().isEmpty(),
                     qPrintable(stopAt + QStringLiteral(": ") + f.leftovers().join(',')));
        }
    }

    // Two programs install different sets into one data folder at once, many times:
    // each install succeeds, and the folder ends with one of the two sets, whole.
    void twoProgramsInstallAtOnce()
    {
        DataFolder f;
        const FileSet other = schoolSet(QStringLiteral("encoded"), QStringLiteral("03.09.2024"));
        const auto installMany = [&f](const FileSet& set) {
            const pid_t child = ::fork();
            if (child == 0) {
                int failed = 0;
                for (int i = 0; i < 40; ++i) {
                    if (InstallDataSet(f.data, asFiles(set)).outcome != DataSetInstallResult::Installed)
                        ++failed;
                }
                ::_exit(failed > 0 ? 1 : 0);
            }
            return child;
        };
        const pid_t first = installMany(newSet());
        const pid_t second = installMany(other);
        int firstStatus = 0;
        int secondStatus = 0;
        ::waitpid(first, &firstStatus, 0);
        ::waitpid(second, &secondStatus, 0);
        QVERIFY(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0);
        QVERIFY(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0);
        const FileSet found = read(f.data);
        QVERIFY2(found == newSet() || found == other, qPrintable(whichSet(f.data)));
        QVERIFY(DataSetLoads(f.data));
        QVERIFY2(f.leftovers().isEmpty(), qPrintable(f.leftovers().join(',')));
    }

    // An installed version file that is damaged or gone is taken again from the
    // backup; the data stay as they are. Without a sound one in the backup nothing
    // changes.
    void damagedVersionFileComesFromTheBackup()
    {
        for (const QByteArray& damaged : {QByteArray("śmieci\r\n"), QByteArray()}) {
            DataFolder f;
            if (damaged.isEmpty())
                QVERIFY(QFile::remove(f.data + kVersionFileName));
            else
                QVERIFY(writeFile(f.data + kVersionFileName, damaged));
            const DataSetRepair repair = RepairDataSet(f.data, false);
            QVERIFY(repair.restoredVersionFile);
            QCOMPARE(readFile(f.data + kVersionFileName), backupSet().value(kVersionFileName));
            for (const QString& name : UpdateFileNames().mid(0, 3))
                QCOMPARE(readFile(f.data + name), oldSet().value(name));
        }
        DataFolder f;
        QVERIFY(writeFile(f.data + kVersionFileName, "śmieci"));
        QVERIFY(writeFile(DataBackupFolder(f.data) + kVersionFileName, "też śmieci"));
        QVERIFY(!RepairDataSet(f.data, false).restoredVersionFile);
        QCOMPARE(readFile(f.data + kVersionFileName), QByteArray("śmieci"));
    }
};

QTEST_GUILESS_MAIN(TestDataSetInstall)
#include "tst_datasetinstall.moc"
