#include "core/AppFolders.h"
#include "core/AppState.h"
#include "core/MachineSignature.h"
#include "core/SettingsReader.h"
#include "core/TextLines.h"
#include "encoding/ValueCipher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray storedLine(const QString& plain)
{
    return EncodeValue(plain).toLatin1();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QStringList kGoodValues = {
    QStringLiteral("Tabulon"),
    QStringLiteral("sieciowy"),
    QStringLiteral("/mnt/szkola/raporty"),
    QStringLiteral("/mnt/szkola/dane"),
    QStringLiteral("587"),
    QStringLiteral("smtp.szkola.pl"),
    QStringLiteral("nauczyciel@szkola.pl"),
    QStringLiteral("hasło"),
    QStringLiteral("sekretariat@szkola.pl"),
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { appState() = AppState{}; }

    void linesEndAtAnyLineBreak()
    {
        using L = QList<QByteArray>;
        QCOMPARE(TextLines::split("a\r\nb\rc\nd"), (L{"a", "b", "c", "d"}));
        QCOMPARE(TextLines::split("a\r\n"), (L{"a"}));
        QCOMPARE(TextLines::split("a\n\nb\n"), (L{"a", "", "b"}));
        QCOMPARE(TextLines::split("\r\n"), (L{""}));
        QVERIFY(TextLines::split("").isEmpty());
    }

    void readsAllNineLines_data()
    {
        QTest::addColumn<QByteArray>("lineBreak");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void readsAllNineLines()
    {
        QFETCH(QByteArray, lineBreak);
        QTemporaryDir dir;
        AppState& state = appState();
        state.SettingsFile = dir.filePath(QStringLiteral("Tabulon.ini"));
        QByteArray text;
        for (const QString& value : kGoodValues)
            text += storedLine(value) + lineBreak;
        text += "ignored line" + lineBreak; // lines after the ninth are not read
        writeFile(state.SettingsFile, text);

        QVERIFY(ReadSettings(state, QStringLiteral("/dane"), DecodeValue));
        QCOMPARE(state.Settings.WorkMode, kGoodValues.at(1));
        QCOMPARE(state.Settings.NetworkFolder, kGoodValues.at(2));
        QCOMPARE(state.Settings.UpdateSource, kGoodValues.at(3));
        QCOMPARE(state.Settings.SmtpPort, kGoodValues.at(4));
        QCOMPARE(state.Settings.SmtpHost, kGoodValues.at(5));
        QCOMPARE(state.Settings.SenderAddress, kGoodValues.at(6));
        QCOMPARE(state.Settings.SmtpPassword, kGoodValues.at(7));
        QCOMPARE(state.Settings.SchoolAddress, kGoodValues.at(8));
        QVERIFY(!state.Settings.AllowPlainLogin);
        QCOMPARE(state.DataFolder, QStringLiteral("/dane/Orvix/Tabulon/Files/"));
        QCOMPARE(state.TempFolder, QStringLiteral("/dane/Orvix/Tabulon/Temp/"));
    }

    // The optional tenth line allows a login without encryption only with its exact
    // text; a file of nine lines reads as it always did.
    void tenthLineAllowsPlainLogin_data()
    {
        QTest::addColumn<QByteArrayList>("extra");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("nine lines") << QByteArrayList{} << false;
        QTest::newRow("allowed") << QByteArrayList{storedLine(kAllowPlainLogin)} << true;
        QTest::newRow("other text") << QByteArrayList{storedLine(QStringLiteral("tak"))} << false;
        QTest::newRow("with a blank") << QByteArrayList{storedLine(kAllowPlainLogin + QLatin1Char(' '))} << false;
        QTest::newRow("not encoded") << QByteArrayList{kAllowPlainLogin.toLatin1()} << false;
        QTest::newRow("eleventh") << QByteArrayList{QByteArray(), storedLine(kAllowPlainLogin)} << false;
    }

    void tenthLineAllowsPlainLogin()
    {
        QFETCH(QByteArrayList, extra);
        QFETCH(bool, allowed);
        QTemporaryDir dir;
        AppState& state = appState();
        state.SettingsFile = dir.filePath(QStringLiteral("Tabulon.ini"));
        QByteArray text;
        for (const QString& value : kGoodValues)
            text += storedLine(value) + "\r\n";
        for (const QByteArray& line : extra)
            text += line + "\r\n";
        writeFile(state.SettingsFile, text);
        QVERIFY(ReadSettings(state, QStringLiteral("/dane"), DecodeValue));
        QCOMPARE(state.Settings.AllowPlainLogin, allowed);
        QCOMPARE(state.Settings.SchoolAddress, kGoodValues.at(8));
    }

    void damagedFilesFail()
    {
        QTemporaryDir dir;
        AppState& state = appState();
        state.SettingsFile = dir.filePath(QStringLiteral("Tabulon.ini"));

        QVERIFY(!ReadSettings(state, dir.path(), DecodeValue)); // no file at all

        writeFile(state.SettingsFile, QByteArray());
        QVERIFY(!ReadSettings(state, dir.path(), DecodeValue));

        for (const QString& marker : {QStringLiteral("tabulon"), QStringLiteral("Tabulon "), QString()}) {
            QByteArray text = storedLine(marker) + "\r\n";
            for (int i = 1; i < 9; ++i)
                text += storedLine(kGoodValues.at(i)) + "\r\n";
            writeFile(state.SettingsFile, text);
            QVERIFY2(!ReadSettings(state, dir.path(), DecodeValue), qPrintable(marker));
        }

        // A line that cannot be decoded at all decodes to empty text: a wrong marker.
        writeFile(state.SettingsFile, "@@@ not encoded @@@\r\n");
        QVERIFY(!ReadSettings(state, dir.path(), DecodeValue));

        // Eight lines: the values read so far are kept, but the folders are not set.
        QByteArray eight;
        for (int i = 0; i < 8; ++i)
            eight += storedLine(kGoodValues.at(i)) + "\r\n";
        writeFile(state.SettingsFile, eight);
        QVERIFY(!ReadSettings(state, dir.path(), DecodeValue));
        QCOMPARE(state.Settings.SmtpPassword, kGoodValues.at(7));
        QVERIFY(state.DataFolder.isEmpty());
    }

    void normalisationAppendsSeparators()
    {
        Settings network;
        network.WorkMode = QStringLiteral("sieciowy");
        network.NetworkFolder = QStringLiteral("/mnt/szkola/raporty");
        network.UpdateSource = QStringLiteral("/mnt/szkola/dane/");
        NormaliseSettings(network);
        QCOMPARE(network.NetworkFolder, QStringLiteral("/mnt/szkola/raporty/"));
        QCOMPARE(network.UpdateSource, QStringLiteral("/mnt/szkola/dane//")); // appended unconditionally

        for (const QString& mode : {QStringLiteral("lokalny"), QStringLiteral("Sieciowy"), QString()}) {
            Settings home;
            home.WorkMode = mode;
            home.NetworkFolder = QStringLiteral("/mnt/szkola/raporty");
            home.UpdateSource = QStringLiteral("http://szkola.pl/dane");
            NormaliseSettings(home);
            QCOMPARE(home.NetworkFolder, QStringLiteral("/mnt/szkola/raporty"));
            QCOMPARE(home.UpdateSource, QStringLiteral("http://szkola.pl/dane/"));
        }
    }

    void copyOverwritesAndKeepsBytes()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("tabulon.ini"));
        const QString target = dir.filePath(QStringLiteral("Tabulon.ini"));
        writeFile(source, "pierwsza\nzaż\xf3\xb3\xe6\rtrzecia");
        writeFile(target, "stara zawartość, dłuższa niż nowa\r\n\r\n\r\n\r\n");
        QVERIFY(TextLines::copy(source, target));
        QFile copied(target);
        QVERIFY(copied.open(QIODevice::ReadOnly));
        QCOMPARE(copied.readAll(), QByteArray("pierwsza\r\nza\xc5\xbc\xf3\xb3\xe6\r\ntrzecia\r\n"));

        QVERIFY(!TextLines::copy(dir.filePath(QStringLiteral("brak.ini")), target));
        QVERIFY(!TextLines::copy(source, dir.filePath(QStringLiteral("brak/Tabulon.ini"))));
    }

    void foldersAreCreatedOneLevelAtATime()
    {
        QTemporaryDir dir;
        const AppFolders folders = AppFolders::under(dir.path());
        QCOMPARE(folders.settingsFile, dir.path() + QStringLiteral("/Orvix/Tabulon/Tabulon.ini"));
        CreateAppFolders(folders);
        QVERIFY(QFileInfo(folders.data).isDir());
        QVERIFY(QFileInfo(folders.temp).isDir());

        // A missing parent is not created along the way.
        const AppFolders orphan = AppFolders::under(dir.filePath(QStringLiteral("brak")));
        QVERIFY(!CreateFolderLevel(orphan.tabulon));
        QVERIFY(!QFileInfo::exists(orphan.orvix));
    }

    void emptyingTheWorkingFolderKeepsSubFolders()
    {
        QTemporaryDir dir;
        const QString temp = dir.filePath(QStringLiteral("Temp"));
        QVERIFY(QDir().mkpath(temp + QStringLiteral("/pod/głębiej")));
        const QString outside = dir.filePath(QStringLiteral("poza.txt"));
        writeFile(outside, "zostaje");
        for (const QString& name :
             {QStringLiteral("a.xml"), QStringLiteral(".ukryty"), QStringLiteral("bez")})
            writeFile(temp + QLatin1Char('/') + name, "x");
        writeFile(temp + QStringLiteral("/pod/zostaje.xml"), "x");
        QVERIFY(QFile::link(outside, temp + QStringLiteral("/link.txt")));
        QVERIFY(QFile::link(temp + QStringLiteral("/pod"), temp + QStringLiteral("/link-do-folderu")));

        EmptyFolder(temp);

        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("pod")});
        QVERIFY(QFileInfo::exists(temp + QStringLiteral("/pod/zostaje.xml")));
        QVERIFY(QFileInfo::exists(temp + QStringLiteral("/pod/głębiej")));
        QVERIFY(QFileInfo::exists(outside));
    }

    void operatingSystemNames_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("platform");
        QTest::addColumn<QString>("name");
        QTest::newRow("95") << 4 << 0 << 1 << "osWin95";
        QTest::newRow("98") << 4 << 10 << 1 << "osWin98";
        QTest::newRow("ME") << 4 << 90 << 1 << "osWinME";
        QTest::newRow("NT") << 4 << 0 << 2 << "osWinNT";
        QTest::newRow("XP") << 5 << 1 << 2 << "osWinXP";
        QTest::newRow("2000") << 5 << 0 << 2 << "osWin2K";
        QTest::newRow("Vista") << 6 << 0 << 2 << "osWinVista";
        QTest::newRow("7") << 6 << 1 << 2 << "osWin7";
        QTest::newRow("7 not NT") << 6 << 1 << 1 << "osNieznany";
        QTest::newRow("8 NT") << 6 << 2 << 2 << "osWin8";
        QTest::newRow("8 any platform") << 6 << 2 << 7 << "osWin8";
        QTest::newRow("8.1") << 6 << 3 << 2 << "osNieznany";
        QTest::newRow("10") << 10 << 0 << 2 << "osWin10";
        QTest::newRow("10 any") << 10 << 5 << 0 << "osWin10";
        QTest::newRow("NT 3.51") << 3 << 51 << 2 << "osNieznany";
        QTest::newRow("no Windows") << 0 << 0 << 0 << "osNieznany";
    }

    void operatingSystemNames()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, platform);
        QFETCH(QString, name);
        QCOMPARE(OperatingSystemName({major, minor, platform}), name);
    }

    void signatureJoinsNamesWithBlanks()
    {
        QCOMPARE(BuildMachineSignature(QStringLiteral("PRACOWNIA"), QStringLiteral("jan"), {6, 1, 2}),
                 QStringLiteral("PRACOWNIA jan osWin7"));
        QCOMPARE(BuildMachineSignature(QStringLiteral("PRACOWNIA"), std::nullopt, {10, 0, 2}),
                 QStringLiteral("PRACOWNIA Unknown osWin10"));
        QCOMPARE(BuildMachineSignature(std::nullopt, QStringLiteral("jan"), {6, 3, 2}),
                 QStringLiteral(" jan osNieznany"));
        // This machine is no Windows: its own signature ends with the unknown system.
        QVERIFY(BuildMachineSignature().endsWith(QStringLiteral(" osNieznany")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
