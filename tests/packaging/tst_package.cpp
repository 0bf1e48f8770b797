#include "core/InstalledLayout.h"
#include "support/TestInstallation.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program to its end, within `seconds`, with `environment` (the test's own
// when empty).
Run run(const QString& program, const QStringList& arguments, int seconds = 120,
        const QProcessEnvironment& environment = QProcessEnvironment())
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("%1 did not end within %2 s").arg(program).arg(seconds);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err += QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The test's environment without any display: neither X, nor Wayland, nor a Qt
// platform chosen for it.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir scratch;
    QString root; // the unpacked package

    QString unpacked(const QString& path) const { return root + QStringLiteral("/usr/") + path; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(scratch.isValid());
        // gzip rather than the package's xz: the same package, built in a fraction of
        // the time.
        const Run built =
            run(QStringLiteral(TABULON_CPACK),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                 TestPaths::binaryDir() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"),
                 scratch.path(), QStringLiteral("-D"), QStringLiteral("CPACK_DEBIAN_COMPRESSION_TYPE=gzip")},
                240);
        QVERIFY2(built.exitCode == 0, qPrintable(built.out + built.err));
        const QStringList packages = QDir(scratch.path()).entryList({QStringLiteral("tabulon_*.deb")});
        QCOMPARE(packages.size(), 1);
        const QString deb = scratch.filePath(packages.constFirst());
        root = scratch.filePath(QStringLiteral("root"));
        const Run extracted = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root});
        QVERIFY2(extracted.exitCode == 0, qPrintable(extracted.err));

        const Run depends =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")});
        for (const char* package :
             {"libqt6widgets6", "libcurl4", "fonts-dejavu-core", "qt6-translations-l10n", "libqt6keychain1"})
            QVERIFY2(depends.out.contains(QString::fromLatin1(package)), qPrintable(depends.out));
    }

    void everythingLiesWhereTheDesktopLooksForIt_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path :
             {"bin/tabulon", "bin/tabulon-admin", "share/tabulon/Pomoc/index.htm",
              "share/applications/pl.orvix.Tabulon.desktop", "share/metainfo/pl.orvix.Tabulon.metainfo.xml",
              "share/icons/hicolor/scalable/apps/pl.orvix.Tabulon.svg",
              "share/icons/hicolor/16x16/apps/pl.orvix.Tabulon.png",
              "share/icons/hicolor/48x48/apps/pl.orvix.Tabulon.png",
              "share/icons/hicolor/256x256/apps/pl.orvix.Tabulon.png", "share/man/man1/tabulon.1.gz",
              "share/man/man1/tabulon-admin.1.gz", "share/doc/tabulon/copyright",
              "share/doc/tabulon/changelog.gz", "bin/tabulon-zbiorka",
              "share/applications/pl.orvix.Tabulon.Zbiorka.desktop",
              "share/icons/hicolor/scalable/apps/pl.orvix.Tabulon.Zbiorka.svg",
              "share/icons/hicolor/16x16/apps/pl.orvix.Tabulon.Zbiorka.png",
              "share/icons/hicolor/48x48/apps/pl.orvix.Tabulon.Zbiorka.png",
              "share/icons/hicolor/256x256/apps/pl.orvix.Tabulon.Zbiorka.png",
              "share/man/man1/tabulon-zbiorka.1.gz"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void everythingLiesWhereTheDesktopLooksForIt()
    {
        QFETCH(QString, path);
        const QFileInfo file(unpacked(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(file.filePath()));
        if (path.endsWith(QStringLiteral(".png"))) {
            // Each PNG is painted at the size its folder names.
            const int side = path.section(QLatin1Char('/'), 3, 3).section(QLatin1Char('x'), 0, 0).toInt();
            QCOMPARE(QImage(file.filePath()).size(), QSize(side, side));
        }
    }

    void versionsAnswerWithoutADisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tabulon") << QStringLiteral("tabulon") << QStringLiteral("Tabulon 2.5\n");
        QTest::newRow("tabulon-admin")
            << QStringLiteral("tabulon-admin") << QStringLiteral("tabulon-admin 2.5\n");
        QTest::newRow("tabulon-zbiorka")
            << QStringLiteral("tabulon-zbiorka") << QStringLiteral("tabulon-zbiorka 2.5\n");
    }

    void versionsAnswerWithoutADisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        const Run answered = run(unpacked(QStringLiteral("bin/") + program), {QStringLiteral("--version")},
                                 60, withoutDisplay());
        QVERIFY2(answered.exitCode == 0, qPrintable(answered.err));
        QCOMPARE(answered.out, expected);
    }

    void helpIsFoundFromTheUnpackedProgram()
    {
        const Run answered =
            run(unpacked(QStringLiteral("bin/tabulon")), {QStringLiteral("--help")}, 60, withoutDisplay());
        QVERIFY2(answered.exitCode == 0, qPrintable(answered.err));
        QVERIFY(answered.out.startsWith(QStringLiteral("Użycie: tabulon [OPCJA]")));
        const QString page =
            QFileInfo(unpacked(QStringLiteral("share/tabulon/Pomoc/index.htm"))).canonicalFilePath();
        QVERIFY2(answered.out.contains(QStringLiteral("Strony pomocy: ") + page + QLatin1Char('\n')),
                 qPrintable(answered.out));
    }

    void desktopEntryAndMetainfoValidate()
    {
        for (const char* entry : {"pl.orvix.Tabulon.desktop", "pl.orvix.Tabulon.Zbiorka.desktop"}) {
            const Run desktop =
                run(QStringLiteral("desktop-file-validate"),
                    {unpacked(QStringLiteral("share/applications/") + QString::fromLatin1(entry))});
            QVERIFY2(desktop.exitCode == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));
        }
        const Run metainfo = run(QStringLiteral("appstreamcli"),
                                 {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                  unpacked(QStringLiteral("share/metainfo/pl.orvix.Tabulon.metainfo.xml"))});
        QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.out + metainfo.err));
    }

    void unpackedProgramStartsOnASchool()
    {
        // A teacher's data folder with settings and the demo school; a file left in
        // the working folder is gone once the start-up has read the settings.
        TestInstallation installation;
        QVERIFY(installation.writeHomeSettings());
        const QString files = installation.programData() + QStringLiteral("/Files/");
        QVERIFY(QDir().mkpath(files) && QDir().mkpath(installation.programData() + QStringLiteral("/Temp")));
        for (const char* name : {"nauczyciele.kbs", "przedmioty.kps", "uczniowie.kls"})
            QVERIFY(QFile::copy(TestPaths::sourceDir() + QStringLiteral("/demo/school/") +
                                    QString::fromLatin1(name),
                                files + QString::fromLatin1(name)));
        const QString stale = installation.programData() + QStringLiteral("/Temp/stary.xml");
        QFile staleFile(stale);
        QVERIFY(staleFile.open(QIODevice::WriteOnly) && staleFile.write("x") == 1);
        staleFile.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("TABULON_APP_FOLDER"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(unpacked(QStringLiteral("bin/tabulon")), {});
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(stale) || program.state() == QProcess::NotRunning, 30000);
        QTest::qWait(500);
        const bool running = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(running, qPrintable(QString::fromUtf8(program.readAllStandardError())));
        QVERIFY(!QFileInfo::exists(stale));
    }

    void sharedFilesLieBesideBinOnlyWhenInstalled()
    {
        QTemporaryDir tree;
        QVERIFY(QDir().mkpath(tree.filePath(QStringLiteral("usr/bin"))) &&
                QDir().mkpath(tree.filePath(QStringLiteral("usr/share/tabulon"))) &&
                QDir().mkpath(tree.filePath(QStringLiteral("build/bin"))) &&
                QDir().mkpath(tree.filePath(QStringLiteral("other/program"))) &&
                QDir().mkpath(tree.filePath(QStringLiteral("other/share/tabulon"))));
        const QString installed = tree.filePath(QStringLiteral("usr/bin/"));
        QCOMPARE(SharedFilesFolder(installed), tree.filePath(QStringLiteral("usr/share/tabulon/")));
        QCOMPARE(HelpPage(installed), tree.filePath(QStringLiteral("usr/share/tabulon/Pomoc/index.htm")));
        // A build tree has no share/ beside its bin/; a folder not called bin is the
        // program's own folder whatever lies beside it.
        QCOMPARE(SharedFilesFolder(tree.filePath(QStringLiteral("build/bin/"))),
                 tree.filePath(QStringLiteral("build/bin/")));
        QCOMPARE(SharedFilesFolder(tree.filePath(QStringLiteral("other/program/"))),
                 tree.filePath(QStringLiteral("other/program/")));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
