#include "core/AppFolders.h"
#include "core/AppState.h"
#include "core/SettingsImportFile.h"
#include "core/TextLines.h"
#include "delivery/DocumentDelivery.h"
#include "document/ReportPreview.h"
#include "document/ReportWriter.h"
#include "encoding/PKXML.h"
#include "encoding/ValueCipher.h"
#include "files/SafeFile.h"
#include "support/AdminProgram.h"
#include "support/MessageRecorder.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "update/DataSetInstall.h"
#include "update/DataUpdate.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

// What a writer was told or told the user, and whether it says it succeeded.
struct Told
{
    bool ok = false;
    QString text;
};

Told fromResult(const FileResult& result)
{
    return {result.ok(), FileFailureText(result)};
}

QByteArray versionFile(const QString& date)
{
    QByteArray out;
    for (const QString& line : {QStringLiteral("TabulonInfo"), date, date, date, QStringLiteral("2.1.1")})
        out += EncodeValue(line).toLatin1() + "\r\n";
    return out;
}

QByteArray schoolFile(const QString& set, const QString& name)
{
    return readFile(TestPaths::testData(QStringLiteral("data/school/%1/%2").arg(set, name)));
}

// Files outside the small disk that writers copy or import from.
struct Sources
{
    QTemporaryDir dir;
    QString report;     // a report file to copy
    QString settings;   // a settings file to import
    QString plainData;  // a plain data file to encode
    QString updateFrom; // the school's update folder, with newer data

    Sources()
    {
        report = dir.filePath(QStringLiteral("Raport 1a.xml"));
        writeFile(report, "<?xml version=\"1.0\" encoding=\"Windows-1250\"?>\r\n<Szkola>nowy</Szkola>\r\n");
        settings = dir.filePath(QStringLiteral("tabulon.ini"));
        writeFile(settings, "nowe\r\nustawienia\r\n");
        plainData = TestPaths::testData(QStringLiteral("data/school/plain/nauczyciele.kbs"));
        updateFrom = dir.filePath(QStringLiteral("zrodlo")) + QLatin1Char('/');
        QDir().mkpath(updateFrom);
        for (const QString& name : UpdateFileNames().mid(0, 3))
            writeFile(updateFrom + name, schoolFile(QStringLiteral("utf16"), name));
        writeFile(updateFrom + kVersionFileName, versionFile(QStringLiteral("02.09.2024")));
    }
};

// One writer of the program or its tool: the file it replaces under `folder` (a
// path relative to it), how to set up what lies around it, and the write itself.
struct Writer
{
    QString target;
    std::function<void(const QString& folder)> prepare; // may be empty
    std::function<Told(const QString& folder, const Sources& sources)> write;
};

void installOldData(const QString& data)
{
    QDir().mkpath(data);
    for (const QString& name : UpdateFileNames().mid(0, 3))
        writeFile(data + name, schoolFile(QStringLiteral("plain"), name));
    writeFile(data + kVersionFileName, versionFile(QStringLiteral("01.09.2024")));
}

QMap<QString, Writer> writers()
{
    QMap<QString, Writer> all;
    all.insert(
        QStringLiteral("text lines"),
        {QStringLiteral("lista.txt"), {}, [](const QString& folder, const Sources&) {
             return fromResult(TextLines::save(folder + QStringLiteral("/lista.txt"), {"nowa", "treść"}));
         }});
    all.insert(QStringLiteral("settings file"),
               {QStringLiteral("Tabulon.ini"), {}, [](const QString& folder, const Sources& sources) {
                    return fromResult(
                        TextLines::copy(sources.settings, folder + QStringLiteral("/Tabulon.ini"),
                                        TextLines::kDefaultMaxBytes, SafeFile::Access::Private));
                }});
    all.insert(QStringLiteral("settings fingerprint"),
               {QStringLiteral("Orvix/Tabulon/Tabulon.ini.sha256"),
                [](const QString& folder) { QDir().mkpath(folder + QStringLiteral("/Orvix/Tabulon")); },
                [](const QString& folder, const Sources& sources) {
                    return fromResult(RememberSettingsImport(sources.settings, AppFolders::under(folder)));
                }});
    all.insert(
        QStringLiteral("report document"),
        {QStringLiteral("Raport.xml"), {}, [](const QString& folder, const Sources&) {
             TpkXML doc;
             doc.FindNode(QStringLiteral("Szkola"), true)->FindNode(QStringLiteral("Belfer"), true)->Value =
                 QStringLiteral("Kowalski Jan");
             QString error;
             const bool ok = SaveReportFile(doc, folder, QStringLiteral("Raport"), &error);
             return Told{ok, error};
         }});
    all.insert(QStringLiteral("preview page"),
               {QStringLiteral("Raport.html"), {}, [](const QString& folder, const Sources&) {
                    QString error;
                    const bool ok = SavePreviewPage({QStringLiteral("<html>"), QStringLiteral("nowa</html>")},
                                                    folder + QStringLiteral("/Raport.html"), &error);
                    return Told{ok, error};
                }});
    all.insert(QStringLiteral("save to disk"),
               {QStringLiteral("Zapisany.xml"), {}, [](const QString& folder, const Sources& sources) {
                    MessageRecorder recorder;
                    const bool ok = SaveDocumentTo(sources.report, folder + QStringLiteral("/Zapisany.xml"));
                    return Told{ok, recorder.texts().join(QLatin1Char('\n'))};
                }});
    all.insert(QStringLiteral("network copy"),
               {QStringLiteral("Siec.xml"), {}, [](const QString& folder, const Sources& sources) {
                    MessageRecorder recorder;
                    appState().Settings.WorkMode = QStringLiteral("sieciowy");
                    const bool ok = CopyToNetwork(sources.report, folder + QStringLiteral("/Siec.xml"));
                    return Told{ok, recorder.texts().join(QLatin1Char('\n'))};
                }});
    all.insert(
        QStringLiteral("data install"),
        {QStringLiteral("Files/uczniowie.kls"),
         [](const QString& folder) { installOldData(folder + QStringLiteral("/Files/")); },
         [](const QString& folder, const Sources& sources) {
             QList<DataSetFile> files;
             for (const QString& name : UpdateFileNames())
                 files.append({name, readFile(sources.updateFrom + name)});
             const DataSetInstallResult result = InstallDataSet(folder + QStringLiteral("/Files/"), files);
             return Told{result.outcome == DataSetInstallResult::Installed, FileFailureText(result.failure)};
         }});
    all.insert(QStringLiteral("data update"),
               {QStringLiteral("Files/nauczyciele.kbs"),
                [](const QString& folder) { installOldData(folder + QStringLiteral("/Files/")); },
                [](const QString& folder, const Sources& sources) {
                    MessageRecorder recorder;
                    appState() = AppState{};
                    appState().DataFolder = folder + QStringLiteral("/Files/");
                    appState().TempFolder = sources.dir.filePath(QStringLiteral("Temp/"));
                    appState().Settings.WorkMode = QStringLiteral("sieciowy");
                    appState().Settings.UpdateSource = sources.updateFrom;
                    const int result = CheckForUpdate();
                    return Told{result == UpdateDataInstalled, recorder.texts().join(QLatin1Char('\n'))};
                }});
    const auto admin = [](const QStringList& args) {
        const AdminRun run = RunAdmin(args);
        return Told{run.exitCode == 0, run.err};
    };
    all.insert(QStringLiteral("admin settings"),
               {QStringLiteral("tabulon.ini"), {}, [admin](const QString& folder, const Sources&) {
                    return admin(
                        {QStringLiteral("settings"), QStringLiteral("--mode"), QStringLiteral("lokalny"),
                         QStringLiteral("--network-folder"), QString(), QStringLiteral("--update-source"),
                         QStringLiteral("http://szkola.test/dane"), QStringLiteral("--smtp-port"),
                         QStringLiteral("587"), QStringLiteral("--smtp-host"), QStringLiteral("poczta.test"),
                         QStringLiteral("--sender"), QStringLiteral("n@szkola.test"),
                         QStringLiteral("--password"), QStringLiteral("tajne"), QStringLiteral("--school"),
                         QStringLiteral("s@szkola.test"), QStringLiteral("-o"),
                         folder + QStringLiteral("/tabulon.ini")});
                }});
    all.insert(QStringLiteral("admin verinfo"),
               {QStringLiteral("verinfo.inf"), {}, [admin](const QString& folder, const Sources&) {
                    return admin({QStringLiteral("verinfo"), QStringLiteral("--dates"),
                                  QStringLiteral("01.09.2024"), QStringLiteral("2.09.2024"),
                                  QStringLiteral("2024-09-03"), QStringLiteral("--version"),
                                  QStringLiteral("2.1.1"), QStringLiteral("-o"),
                                  folder + QStringLiteral("/verinfo.inf")});
                }});
    all.insert(
        QStringLiteral("admin encode-data"),
        {QStringLiteral("nauczyciele.kbs"), {}, [admin](const QString& folder, const Sources& sources) {
             return admin({QStringLiteral("encode-data"), sources.plainData, QStringLiteral("-o"),
                           folder + QStringLiteral("/nauczyciele.kbs")});
         }});
    return all;
}

} // namespace

class TestFileWriters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every writer against a full disk, a link planted at its target and a read-only
    // disk: the file that was there stays byte for byte (a link's file too), and the
    // failure is told, a full disk as such.
    void writersKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("condition");
        for (const QString& writer : writers().keys()) {
            for (const char* condition : {"full disk", "planted link", "read-only"})
                QTest::newRow(qPrintable(writer + QStringLiteral(" / ") + QLatin1String(condition)))
                    << writer << QString::fromLatin1(condition);
        }
    }

    void writersKeepTheOldFile()
    {
        QFETCH(QString, writer);
        QFETCH(QString, condition);
        const Writer w = writers().value(writer);
        Sources sources;
        SmallDisk disk;
        QVERIFY(disk.isValid());
        qInfo("disk: %s", qPrintable(disk.kind()));
        const QString folder = disk.path();
        if (w.prepare)
            w.prepare(folder);
        const QString target = folder + QLatin1Char('/') + w.target;
        QDir().mkpath(QFileInfo(target).absolutePath());

        // What must survive: the file at the target, or the file a planted link there
        // points at (outside the disk).
        const QString kept = condition == QLatin1String("planted link")
                                 ? sources.dir.filePath(QStringLiteral("cenne.txt"))
                                 : target;
        if (!QFileInfo::exists(kept))
            QVERIFY(writeFile(kept, "stara treść, której nie wolno stracić\r\n"));
        const QByteArray before = readFile(kept);
        // Everything else in the data folder counts as well: an install is whole.
        const QString dataFolder = folder + QStringLiteral("/Files/");
        QMap<QString, QByteArray> dataBefore;
        for (const QString& name : UpdateFileNames())
            dataBefore.insert(name, readFile(dataFolder + name));

        if (condition == QLatin1String("planted link")) {
            QFile::remove(target);
            QVERIFY(QFile::link(kept, target));
        } else if (condition == QLatin1String("full disk")) {
            QVERIFY(disk.fill());
        } else {
            QVERIFY(disk.makeReadOnly());
        }

        const Told told = w.write(folder, sources);
        disk.release();
        QCOMPARE(readFile(kept), before);

        if (condition == QLatin1String("planted link")) {
            // Replaced by a file of its own or refused; never written through.
            QVERIFY2(!told.ok || !QFileInfo(target).isSymLink(), qPrintable(told.text));
            return;
        }
        QVERIFY2(!told.ok, qPrintable(told.text));
        QVERIFY2(!told.text.isEmpty(), "the failure is told");
        if (condition == QLatin1String("full disk"))
            QVERIFY2(told.text.contains(FileFailureText({FileFailure::NoSpace, {}})), qPrintable(told.text));
        if (QFileInfo::exists(dataFolder)) {
            for (const QString& name : UpdateFileNames())
                QCOMPARE(readFile(dataFolder + name), dataBefore.value(name));
            QVERIFY(!told.text.contains(QStringLiteral("Dane nie zostały zmienione")) ||
                    told.text.contains(QStringLiteral("Nie udało się zapisać")));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileWriters)
#include "tst_filewriters.moc"
