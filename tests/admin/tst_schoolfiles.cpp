#include "core/SchoolData.h"
#include "encoding/PKXML.h"
#include "encoding/ValueCipher.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

const QStringList kFiles = {QStringLiteral("nauczyciele.kbs"), QStringLiteral("przedmioty.kps"),
                            QStringLiteral("uczniowie.kls")};

QString fixture(const QString& set)
{
    return TestPaths::testData(QStringLiteral("data/school/") + set);
}

void copySet(const QString& set, const QString& to)
{
    for (const QString& f : kFiles)
        QVERIFY(QFile::copy(QDir(fixture(set)).filePath(f), QDir(to).filePath(f)));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile::remove(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestSchoolFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkDataJson()
    {
        const Run plain = runAdmin(
            {QStringLiteral("check-data"), fixture(QStringLiteral("plain")), QStringLiteral("--json")});
        QCOMPARE(plain.exitCode, 0);
        QCOMPARE(plain.err, QString());
        QJsonParseError error;
        const QJsonObject model = QJsonDocument::fromJson(plain.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);

        const QJsonArray teachers = model.value(QStringLiteral("teachers")).toArray();
        QCOMPARE(teachers.size(), 4);
        QCOMPARE(teachers[1].toObject().value(QStringLiteral("surname")).toString(),
                 QStringLiteral("Wiśniewska"));
        QCOMPARE(teachers[1].toObject().value(QStringLiteral("first_name")).toString(),
                 QStringLiteral("Małgorzata"));
        QCOMPARE(model.value(QStringLiteral("subjects")).toArray().last().toString(),
                 QStringLiteral("Informatyka <rozszerzona>"));
        const QJsonArray classes = model.value(QStringLiteral("classes")).toArray();
        QCOMPARE(classes.size(), 3);
        QCOMPARE(classes[1].toObject().value(QStringLiteral("op")).toString(), QStringLiteral("1"));
        QCOMPARE(classes[2].toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("3c \"sportowa\""));
        QCOMPARE(classes[0].toObject().value(QStringLiteral("pupils")).toArray()[1].toString(),
                 QStringLiteral("Błaszczyk Bartłomiej"));
        QVERIFY(plain.out.startsWith("{\"teachers\":[{\"surname\":\"Kowalski\",\"first_name\":\"Jan\"}"));

        // The same model from the encoded and the UTF-16 forms of the files.
        for (const QString& set :
             {QStringLiteral("encoded"), QStringLiteral("utf16"), QStringLiteral("plain-true")}) {
            const Run other =
                runAdmin({QStringLiteral("check-data"), QStringLiteral("--json"), fixture(set)});
            QCOMPARE(other.exitCode, 0);
            QCOMPARE(other.out, plain.out);
        }

        const Run summary = runAdmin({QStringLiteral("check-data"), fixture(QStringLiteral("encoded"))});
        QCOMPARE(summary.exitCode, 0);
        const QString text = QString::fromUtf8(summary.out);
        QVERIFY(text.contains(QStringLiteral("Nauczycieli: 4, przedmiotów: 4, klas: 3, uczniów: 5")));
        QVERIFY(text.contains(QStringLiteral("Żółkiewski Łukasz")));
    }

    void checkDataNamesTheDamagedFile()
    {
        QTemporaryDir dir;
        copySet(QStringLiteral("plain"), dir.path());
        const QString classes = dir.filePath(QStringLiteral("uczniowie.kls"));
        writeFile(classes,
                  "<Szkola><IloscKlas>1</IloscKlas><Klasa1><IleUczniow>dwa</IleUczniow></Klasa1></Szkola>");
        Run r = runAdmin({QStringLiteral("check-data"), dir.path(), QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(QStringLiteral("uczniowie.kls")) &&
                     r.err.contains(QStringLiteral("IleUczniow")) && r.err.contains(QStringLiteral("„dwa”")),
                 qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("nauczyciele.kbs")));

        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("nauczyciele.kbs"))));
        r = runAdmin({QStringLiteral("check-data"), dir.path()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("nauczyciele.kbs: brak pliku")));
        QVERIFY(r.err.contains(QStringLiteral("uczniowie.kls")));

        // The encoded files without their marker: the counts are no numbers.
        r = runAdmin({QStringLiteral("check-data"), fixture(QStringLiteral("encoded-nocode"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(
            r.err.contains(QStringLiteral("przedmioty.kps: liczba przedmiotów („Ilosc”) nie jest liczbą")));
    }

    // Names from the school's files are data: "%1" stays as written, and control
    // characters reach the terminal only as escapes.
    void checkDataShowsNamesAsTheyAre()
    {
        QTemporaryDir dir;
        copySet(QStringLiteral("plain"), dir.path());
        writeFile(dir.filePath(QStringLiteral("przedmioty.kps")),
                  "<Przedmioty><Ilosc>3</Ilosc><Przedm1>Fizyka %2</Przedm1><Przedm2>%1 i %3</Przedm2>"
                  "<Przedm3>Zle\x1B[2J\x07"
                  "dane\x7F</Przedm3></Przedmioty>");
        const Run r = runAdmin({QStringLiteral("check-data"), dir.path()});
        QCOMPARE(r.exitCode, 0);
        const QString text = QString::fromUtf8(r.out);
        QVERIFY2(text.contains(QStringLiteral("\n  1. Fizyka %2\n  2. %1 i %3\n  3. Zle\\x1b[2J\\x07dane\\x7f")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Nauczycieli: 4, przedmiotów: 3, klas: 3, uczniów: 5")));
        for (const QChar c : text)
            QVERIFY2(c == u'\n' || (c >= u' ' && c != QChar(0x7F) && (c < QChar(0x80) || c > QChar(0x9F))),
                     qPrintable(QString::number(c.unicode(), 16)));
    }

    // A classes file cut short where the program can still read it: the check calls
    // it damaged all the same.
    void checkDataRefusesAFileCutShort_data()
    {
        QTest::addColumn<QByteArray>("cutBefore");
        QTest::newRow("after the last value") << QByteArray("</IleUczniow>");
        QTest::newRow("inside a closing tag") << QByteArray("sa3>");
        QTest::newRow("before the last closing tag") << QByteArray("</Szkola>");
    }

    void checkDataRefusesAFileCutShort()
    {
        QFETCH(QByteArray, cutBefore);
        QTemporaryDir dir;
        copySet(QStringLiteral("plain"), dir.path());
        const QString classes = dir.filePath(QStringLiteral("uczniowie.kls"));
        QFile whole(classes);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        whole.close();
        const qsizetype cut = bytes.lastIndexOf(cutBefore);
        QVERIFY(cut > 0);
        writeFile(classes, bytes.left(cut));

        SchoolData data;
        DataFileStatus status;
        QVERIFY(LoadClasses(classes, data, &status));
        QVERIFY(!status.complete);

        const Run r = runAdmin({QStringLiteral("check-data"), dir.path()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(
            r.err.contains(QStringLiteral("uczniowie.kls: plik kończy się wewnątrz niezamkniętego elementu")),
            qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("nauczyciele.kbs")));
    }

    void checkDataWarnsAboutMalformedButReadableFiles()
    {
        QTemporaryDir dir;
        copySet(QStringLiteral("plain"), dir.path());
        const QString subjects = dir.filePath(QStringLiteral("przedmioty.kps"));
        QFile f(subjects);
        QVERIFY(f.open(QIODevice::Append));
        f.write("stopka bez elementu\r\n");
        f.close();
        const Run r = runAdmin({QStringLiteral("check-data"), dir.path(), QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains(QStringLiteral("ostrzeżenie")) &&
                r.err.contains(QStringLiteral("przedmioty.kps")));
        QVERIFY(QJsonDocument::fromJson(r.out).isObject());
    }

    void usage()
    {
        QCOMPARE(runAdmin({QStringLiteral("check-data")}).exitCode, 2);
        QCOMPARE(runAdmin({QStringLiteral("check-data"), QStringLiteral("a"), QStringLiteral("b")}).exitCode,
                 2);
        QCOMPARE(
            runAdmin({QStringLiteral("check-data"), QStringLiteral("--xml"), QStringLiteral("a")}).exitCode,
            2);
        const Run help = runAdmin({QStringLiteral("check-data"), QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Użycie: tabulon-admin check-data"));
        QCOMPARE(runAdmin({QStringLiteral("check-data"), QStringLiteral("/nonexistent/dane")}).exitCode, 1);

        QCOMPARE(runAdmin({QStringLiteral("encode-data"), QStringLiteral("x")}).exitCode, 2);
        QCOMPARE(
            runAdmin({QStringLiteral("encode-data"), QStringLiteral("-o"), QStringLiteral("y")}).exitCode, 2);
        QCOMPARE(runAdmin({QStringLiteral("encode-data"), QStringLiteral("--help")}).exitCode, 0);
    }

    void encodeDataGivesTheSameModel()
    {
        QTemporaryDir dir;
        for (const QString& set : {QStringLiteral("plain"), QStringLiteral("utf16")}) {
            const QString out = dir.filePath(set);
            QVERIFY(QDir().mkpath(out));
            for (const QString& f : kFiles) {
                const Run r = runAdmin({QStringLiteral("encode-data"), QDir(fixture(set)).filePath(f),
                                        QStringLiteral("-o"), QDir(out).filePath(f)});
                QCOMPARE(r.exitCode, 0);
                QCOMPARE(r.err, QString());
            }
            const Run original =
                runAdmin({QStringLiteral("check-data"), QStringLiteral("--json"), fixture(set)});
            const Run copy = runAdmin({QStringLiteral("check-data"), QStringLiteral("--json"), out});
            QCOMPARE(copy.exitCode, 0);
            QCOMPARE(copy.out, original.out);
        }

        // Every value is stored encoded, the marker too.
        TpkXML xml;
        QVERIFY(xml.LoadFromFile(dir.filePath(QStringLiteral("plain/nauczyciele.kbs"))));
        TpkXMLNode* top = xml.FindNode(QStringLiteral("Belfry"), false);
        QCOMPARE(DecodeValue(top->FindNode(QStringLiteral("Code"), false)->Value), QStringLiteral("True"));
        QCOMPARE(DecodeValue(top->FindNode(QStringLiteral("Ilosc"), false)->Value), QStringLiteral("4"));
        const QString surname =
            top->FindNode(QStringLiteral("Belfer1"), false)->FindNode(QStringLiteral("Nzw"), false)->Value;
        QVERIFY(surname != QStringLiteral("Kowalski"));
        QCOMPARE(DecodeValue(surname), QStringLiteral("Kowalski"));
        // The UTF-16 input stays UTF-16.
        QFile utf16(dir.filePath(QStringLiteral("utf16/przedmioty.kps")));
        QVERIFY(utf16.open(QIODevice::ReadOnly));
        QVERIFY(utf16.readAll().startsWith("\xFF\xFE"));

        // An encoded file is not encoded twice; a file that is no data file is refused;
        // nothing is written either way.
        const QString twice = dir.filePath(QStringLiteral("twice.kbs"));
        Run r =
            runAdmin({QStringLiteral("encode-data"), dir.filePath(QStringLiteral("plain/nauczyciele.kbs")),
                      QStringLiteral("-o"), twice});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(QStringLiteral("już zakodowany")));
        const QString other = dir.filePath(QStringLiteral("other.xml"));
        writeFile(other, "<raport><a>1</a></raport>");
        r = runAdmin({QStringLiteral("encode-data"), other, QStringLiteral("-o"), twice});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!QFile::exists(twice));
    }
};

QTEST_GUILESS_MAIN(TestSchoolFiles)
#include "tst_schoolfiles.moc"
