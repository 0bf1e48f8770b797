#include "encoding/ValueCipher.h"
#include "support/TestPaths.h"

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

Run runAdmin(const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(TestPaths::binaryDir() + QStringLiteral("/bin/tabulon-admin"), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

QStringList settingsArgs()
{
    return {QStringLiteral("settings"),
            QStringLiteral("--mode"),
            QStringLiteral("sieciowy"),
            QStringLiteral("--network-folder"),
            QStringLiteral("\\\\serwer\\sprawozdania"),
            QStringLiteral("--update-source"),
            QStringLiteral("\\\\serwer\\dane"),
            QStringLiteral("--smtp-port"),
            QStringLiteral("587"),
            QStringLiteral("--smtp-host"),
            QStringLiteral("poczta.szkoła.pl"),
            QStringLiteral("--sender"),
            QStringLiteral("nauczyciel@szkola.pl"),
            QStringLiteral("--password"),
            QStringLiteral("Zażółć gęślą jaźń"),
            QStringLiteral("--school"),
            QStringLiteral("sekretariat@szkola.pl")};
}

QStringList decodeLines(const QByteArray& content)
{
    QStringList lines = QString::fromLatin1(content).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    QStringList plain;
    for (const QString& line : lines)
        plain.append(DecodeValue(line));
    return plain;
}

} // namespace

class TestAdmin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCommandHasHelp()
    {
        for (const char* command : {"encode", "decode", "settings"}) {
            const Run run = runAdmin({QString::fromLatin1(command), QStringLiteral("--help")});
            QCOMPARE(run.exitCode, 0);
            QVERIFY(QString::fromUtf8(run.out).startsWith(QStringLiteral("Użycie: tabulon-admin ")));
        }
        const Run unknown = runAdmin({QStringLiteral("decode"), QStringLiteral("--bogus")});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains(QStringLiteral("--bogus")));
    }

    void encodeAndDecode()
    {
        const QString polish = QStringLiteral("Zażółć gęślą jaźń");
        Run run = runAdmin({QStringLiteral("encode"), polish, QString(), QStringLiteral("Tabulon")});
        QCOMPARE(run.exitCode, 0);
        const QStringList values = QString::fromLatin1(run.out).split(u'\n');
        QCOMPARE(values,
                 QStringList({EncodeValue(polish), EncodeValue(QString()), EncodeValue("Tabulon"), {}}));

        // Standard input: lines end with LF, CR LF or CR; an undecodable value gives an
        // empty line.
        run = runAdmin({QStringLiteral("decode")},
                       (values[0] + "\r\n" + "nie*wartość\n" + values[2] + "\r" + values[1]).toUtf8());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out), polish + "\n\nTabulon\n\n");

        run = runAdmin({QStringLiteral("encode")}, polish.toUtf8() + "\n");
        QCOMPARE(run.out, (EncodeValue(polish) + "\n").toLatin1());

        // One line per value, whatever its text: line ends and other control
        // characters as escapes, the backslash doubled so that nothing is ambiguous.
        const QString odd = QStringLiteral("Linia 1\r\nLinia 2\\n\x1B[2J\tkoniec");
        run = runAdmin({QStringLiteral("decode"), EncodeValue(odd), values[2]});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out),
                 QStringLiteral("Linia 1\\x0d\\x0aLinia 2\\\\n\\x1b[2J\\x09koniec\nTabulon\n"));
    }

    void encodeRefusesCharactersOutsideTheCodePage()
    {
        Run run = runAdmin({QStringLiteral("encode"), QStringLiteral("dobrze"), QStringLiteral("źle 日本")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty()); // nothing of the good text either
        QVERIFY2(run.err.contains(QStringLiteral("„日”")) && run.err.contains(QStringLiteral("U+65E5")),
                 qPrintable(run.err));

        run = runAdmin({QStringLiteral("encode")}, QByteArray("ok\n\xC3\x28\n"));
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("UTF-8")));
    }

    void settingsFileDecodesToItsValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tabulon.ini"));
        const Run run = runAdmin(settingsArgs() << QStringLiteral("-o") << path);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith("\r\n"));
        QCOMPARE(content.count("\r\n"), 9);
        QCOMPARE(content.count('\n'), 9);
        const QStringList expected = {QStringLiteral("Tabulon"),
                                      QStringLiteral("sieciowy"),
                                      QStringLiteral("\\\\serwer\\sprawozdania"),
                                      QStringLiteral("\\\\serwer\\dane"),
                                      QStringLiteral("587"),
                                      QStringLiteral("poczta.szkoła.pl"),
                                      QStringLiteral("nauczyciel@szkola.pl"),
                                      QStringLiteral("Zażółć gęślą jaźń"),
                                      QStringLiteral("sekretariat@szkola.pl")};
        QCOMPARE(decodeLines(content), expected);

        // Standard output carries the same bytes.
        QCOMPARE(runAdmin(settingsArgs()).out, content);
        QVERIFY(run.err.isEmpty());

        // The program appends a separator to the update source itself: a value that
        // already ends with one is written as given, with a warning.
        QStringList trailing = settingsArgs();
        trailing[trailing.indexOf(QStringLiteral("--mode")) + 1] = QStringLiteral("lokalny");
        trailing[trailing.indexOf(QStringLiteral("--update-source")) + 1] =
            QStringLiteral("http://szkola.pl/dane/");
        const Run warned = runAdmin(trailing);
        QCOMPARE(warned.exitCode, 0);
        QVERIFY2(warned.err.contains(QStringLiteral("uwaga")), qPrintable(warned.err));
        QCOMPARE(decodeLines(warned.out).value(3), QStringLiteral("http://szkola.pl/dane/"));
        // In school-network mode either folder separator already at the end is warned
        // about, as the program appends the one of the system it runs on.
        QStringList mounted = settingsArgs();
        mounted[mounted.indexOf(QStringLiteral("--network-folder")) + 1] = QStringLiteral("/mnt/szkola/");
        const Run warnedNetwork = runAdmin(mounted);
        QCOMPARE(warnedNetwork.exitCode, 0);
        QVERIFY2(warnedNetwork.err.contains(QStringLiteral("folderu sieciowego")),
                 qPrintable(warnedNetwork.err));

        // The password from a file: its first line only; --opcja=WARTOŚĆ works too.
        const QString passwordFile = dir.filePath(QStringLiteral("haslo"));
        QFile pf(passwordFile);
        QVERIFY(pf.open(QIODevice::WriteOnly));
        pf.write("tajne hasło\r\ndruga linia\n");
        pf.close();
        QStringList args = settingsArgs();
        const qsizetype at = args.indexOf(QStringLiteral("--password"));
        args.remove(at, 2);
        args << QStringLiteral("--password-file=") + passwordFile;
        const Run fromFile = runAdmin(args);
        QCOMPARE(fromFile.exitCode, 0);
        QCOMPARE(decodeLines(fromFile.out).value(7), QStringLiteral("tajne hasło"));

        // A login without encryption allowed: a tenth line, the nine before unchanged.
        const Run plain = runAdmin(settingsArgs() << QStringLiteral("--allow-plain-login"));
        QCOMPARE(plain.exitCode, 0);
        QCOMPARE(decodeLines(plain.out), expected + QStringList{QStringLiteral("logowanie-bez-szyfrowania")});
    }

    void settingsRefusesBadInputAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tabulon.ini"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("poprzedni plik\r\n");
        old.close();

        const auto withOption = [](const QString& option, const QString& value) {
            QStringList args = settingsArgs();
            args[args.indexOf(option) + 1] = value;
            return args;
        };
        // Each refusal names what is wrong.
        QList<std::pair<QStringList, QString>> bad;
        for (const char* port : {"0", "65536", "12a", "", "+25", " 25", "-1", "99999999999"})
            bad.append({withOption(QStringLiteral("--smtp-port"), QString::fromLatin1(port)),
                        QStringLiteral("port SMTP")});
        bad.append(
            {withOption(QStringLiteral("--mode"), QStringLiteral("domowy")), QStringLiteral("„domowy”")});
        bad.append({withOption(QStringLiteral("--school"), QStringLiteral("日本@szkola.pl")),
                    QStringLiteral("„日”")});
        bad.append({withOption(QStringLiteral("--sender"), QStringLiteral("a@b.pl\nTabulon")),
                    QStringLiteral("koniec wiersza")});
        bad.append(
            {withOption(QStringLiteral("--smtp-host"), QString()), QStringLiteral("--smtp-host ma pustą")});
        QStringList missing = settingsArgs();
        missing.remove(missing.indexOf(QStringLiteral("--school")), 2);
        bad.append({missing, QStringLiteral("brak opcji: --school")});
        bad.append(
            {settingsArgs() << QStringLiteral("--password-file") << dir.filePath(QStringLiteral("brak")),
             QStringLiteral("nie obie")});
        QStringList noFile = settingsArgs();
        noFile[noFile.indexOf(QStringLiteral("--password"))] = QStringLiteral("--password-file");
        noFile[noFile.indexOf(QStringLiteral("--password-file")) + 1] = dir.filePath(QStringLiteral("brak"));
        bad.append({noFile, QStringLiteral("nie można odczytać pliku z hasłem")});
        bad.append({settingsArgs() << QStringLiteral("--mode") << QStringLiteral("lokalny"),
                    QStringLiteral("--mode podana więcej niż raz")});
        bad.append({settingsArgs() << QStringLiteral("--nieznana") << QStringLiteral("x"),
                    QStringLiteral("„--nieznana”")});
        for (const auto& [args, reason] : bad) {
            const Run run = runAdmin(args + QStringList{QStringLiteral("-o"), path});
            QVERIFY2(run.exitCode == 2, qPrintable(args.join(u' ')));
            QVERIFY2(run.err.contains(reason), qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
        }
        const Run noValue = runAdmin(settingsArgs() << QStringLiteral("-o"));
        QCOMPARE(noValue.exitCode, 2);
        QVERIFY(noValue.err.contains(QStringLiteral("opcja -o wymaga wartości")));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("poprzedni plik\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("tabulon.ini")});

        // A folder that cannot be written to.
        const Run run = runAdmin(settingsArgs() << QStringLiteral("-o")
                                                << dir.filePath(QStringLiteral("nie/ma/tabulon.ini")));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("nie można zapisać")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
