#include "core/AppState.h"
#include "core/DataFileReader.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The content of the fixtures that tests/data/school/make-school-files.py writes.
void checkFixtureModel(const SchoolData& d)
{
    QCOMPARE(d.Teachers.size(), 4);
    QCOMPARE(d.Teachers[0].Surname, QStringLiteral("Kowalski"));
    QCOMPARE(d.Teachers[0].FirstName, QStringLiteral("Jan"));
    QCOMPARE(d.Teachers[0].DisplayName(), QStringLiteral("Kowalski Jan"));
    QCOMPARE(d.Teachers[2].DisplayName(), QStringLiteral("Żółkiewski Łukasz"));
    QCOMPARE(d.Teachers[3].Surname, QStringLiteral("Nowak & Syn"));

    QCOMPARE(d.Subjects, QStringList({QStringLiteral("Matematyka"), QStringLiteral("Język polski"),
                                      QStringLiteral("Wychowanie fizyczne"),
                                      QStringLiteral("Informatyka <rozszerzona>")}));

    QCOMPARE(d.Classes.size(), 3);
    QCOMPARE(d.Classes[0].Name, QStringLiteral("1a"));
    QCOMPARE(d.Classes[0].Op, QString());
    QCOMPARE(d.Classes[0].PupilCount, 3);
    QCOMPARE(d.Classes[0].Pupils,
             QStringList({QStringLiteral("Adamczyk Anna"), QStringLiteral("Błaszczyk Bartłomiej"),
                          QStringLiteral("Ćwik Cezary")}));
    QCOMPARE(d.Classes[1].Op, QStringLiteral("1"));
    QCOMPARE(d.Classes[1].Pupils.last(), QStringLiteral("Źródło Zenon"));
    QCOMPARE(d.Classes[2].Name, QStringLiteral("3c \"sportowa\""));
    QCOMPARE(d.Classes[2].PupilCount, 0);
    QVERIFY(d.Classes[2].Pupils.isEmpty());
}

QString fixture(const QString& set)
{
    return TestPaths::testData(QStringLiteral("data/school/") + set + QLatin1Char('/'));
}

bool loadAll(const QString& folder, SchoolData& d)
{
    return LoadTeachers(folder + kTeachersFile, d) && LoadSubjects(folder + kSubjectsFile, d) &&
           LoadClasses(folder + kClassesFile, d);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestSchoolData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { appState() = AppState{}; }

    void plainFilesInEveryForm()
    {
        // Windows-1250, UTF-16 with its mark, and a "Code" holding the plain text "True".
        for (const QString& set :
             {QStringLiteral("plain"), QStringLiteral("utf16"), QStringLiteral("plain-true")}) {
            SchoolData d;
            DataFileStatus status;
            QVERIFY2(LoadTeachers(fixture(set) + kTeachersFile, d, &status), qPrintable(set));
            QVERIFY(status.wellFormed);
            QVERIFY(!status.encoded);
            QVERIFY(loadAll(fixture(set), d));
            checkFixtureModel(d);
        }
    }

    void encodedFiles()
    {
        SchoolData d;
        DataFileStatus status;
        QVERIFY(LoadClasses(fixture(QStringLiteral("encoded")) + kClassesFile, d, &status));
        QVERIFY(status.encoded);
        QVERIFY(loadAll(fixture(QStringLiteral("encoded")), d));
        checkFixtureModel(d);

        // Values by path, decoded because the file says so.
        QFile file(fixture(QStringLiteral("encoded")) + kTeachersFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        DataFileReader reader;
        QVERIFY(reader.load(file.readAll(), QStringLiteral("Belfry")));
        QVERIFY(reader.ValuesEncoded);
        QCOMPARE(
            reader.ReadValue({QStringLiteral("BELFRY"), QStringLiteral("Belfer3"), QStringLiteral("Im")}),
            QStringLiteral("Łukasz"));
        QCOMPARE(
            reader.ReadValue({QStringLiteral("Belfry"), QStringLiteral("Belfer9"), QStringLiteral("Im")}),
            QString());

        // Without the marker the encoded counts are no decimal numbers.
        SchoolData none;
        QVERIFY(!LoadTeachers(fixture(QStringLiteral("encoded-nocode")) + kTeachersFile, none, &status));
        QVERIFY(status.reason.contains(QStringLiteral("nie jest liczbą")));
        QVERIFY(!LoadSubjects(fixture(QStringLiteral("encoded-nocode")) + kSubjectsFile, none));
        QVERIFY(!LoadClasses(fixture(QStringLiteral("encoded-nocode")) + kClassesFile, none));
        QVERIFY(none.Teachers.isEmpty() && none.Subjects.isEmpty() && none.Classes.isEmpty());
    }

    void countsAndMissingElements()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("uczniowie.kls"));
        SchoolData d;

        // Capitals, a count larger than the elements present, elements beyond the count.
        writeFile(path, "<SZKOLA><ILOSCKLAS>+2</ILOSCKLAS>"
                        "<KLASA1><NAZWA>4d</NAZWA><ileuczniow>3</ileuczniow><UCZEN1>Jan</"
                        "UCZEN1><uczen1>drugi</uczen1><Uczen01>zero</Uczen01><Uczen+2>plus</Uczen+2></KLASA1>"
                        "<klasa2><IleUczniow>1</IleUczniow><Uczen1>A</Uczen1><Uczen2>B</Uczen2></klasa2>"
                        "<Klasa3><Nazwa>x</Nazwa><IleUczniow>0</IleUczniow></Klasa3></SZKOLA>");
        QVERIFY(LoadClasses(path, d));
        QCOMPARE(d.Classes.size(), 2);
        QCOMPARE(d.Classes[0].Name, QStringLiteral("4d"));
        QCOMPARE(d.Classes[0].Pupils, QStringList({QStringLiteral("Jan"), QString(), QString()}));
        QCOMPARE(d.Classes[1].Name, QString());
        QCOMPARE(d.Classes[1].Pupils, QStringList({QStringLiteral("A")}));

        writeFile(path, "<Szkola><IloscKlas>0</IloscKlas></Szkola>");
        QVERIFY(LoadClasses(path, d));
        QVERIFY(d.Classes.isEmpty());
    }

    void damagedFilesFail_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no count") << QByteArray("<Belfry><Belfer1><Nzw>A</Nzw></Belfer1></Belfry>")
                                  << QStringLiteral("brak liczby nauczycieli");
        QTest::newRow("not a number")
            << QByteArray("<Belfry><Ilosc>trzy</Ilosc></Belfry>") << QStringLiteral("nie jest liczbą");
        QTest::newRow("hex") << QByteArray("<Belfry><Ilosc>$10</Ilosc></Belfry>")
                             << QStringLiteral("nie jest liczbą");
        QTest::newRow("too big for 32 bits")
            << QByteArray("<Belfry><Ilosc>4294967297</Ilosc></Belfry>") << QStringLiteral("nie jest liczbą");
        QTest::newRow("negative") << QByteArray("<Belfry><Ilosc>-1</Ilosc></Belfry>")
                                  << QStringLiteral("poza zakresem");
        QTest::newRow("absurd") << QByteArray("<Belfry><Ilosc>2000000000</Ilosc></Belfry>")
                                << QStringLiteral("poza zakresem");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("brak liczby");
        QTest::newRow("other top element")
            << QByteArray("<Szkola><Ilosc>1</Ilosc></Szkola>") << QStringLiteral("brak liczby");
    }

    void damagedFilesFail()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(kTeachersFile);
        writeFile(path, content);
        SchoolData d;
        d.Teachers.append(_Belfer{QStringLiteral("Stary"), QStringLiteral("Wpis")});
        DataFileStatus status;
        QVERIFY(!LoadTeachers(path, d, &status));
        QVERIFY2(status.reason.contains(reason), qPrintable(status.reason));
        QCOMPARE(d.Teachers.size(), 1); // a failed file replaces nothing
    }

    void pupilBounds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kClassesFile);
        SchoolData d;
        DataFileStatus status;
        // A million pupils in one class: refused before anything is allocated.
        writeFile(
            path,
            "<Szkola><IloscKlas>1</IloscKlas><Klasa1><IleUczniow>1000000</IleUczniow></Klasa1></Szkola>");
        QVERIFY(!LoadClasses(path, d, &status));
        QVERIFY(status.reason.contains(QStringLiteral("Klasa1/IleUczniow")));

        // Each class within bounds, all of them together not.
        QByteArray many = "<Szkola><IloscKlas>11</IloscKlas>";
        for (int k = 1; k <= 11; ++k)
            many += QStringLiteral("<Klasa%1><IleUczniow>%2</IleUczniow></Klasa%1>")
                        .arg(k)
                        .arg(kMaxDataCount)
                        .toLatin1();
        writeFile(path, many + "</Szkola>");
        QVERIFY(!LoadClasses(path, d, &status));
        QVERIFY(status.reason.contains(QStringLiteral("łączna")));

        QVERIFY(!LoadClasses(dir.filePath(QStringLiteral("brak.kls")), d, &status));
        QCOMPARE(status.reason, QStringLiteral("brak pliku"));
    }

    void notWellFormedButReadable()
    {
        // Trailing text after the top element: the reader answers false, but the tree
        // holds the whole model, so the file loads.
        QTemporaryDir dir;
        const QString path = dir.filePath(kSubjectsFile);
        writeFile(path, "<Przedmioty><Ilosc>1</Ilosc><Przedm1>Fizyka</Przedm1></Przedmioty>\r\nkoniec");
        SchoolData d;
        DataFileStatus status;
        QVERIFY(LoadSubjects(path, d, &status));
        QVERIFY(!status.wellFormed);
        QCOMPARE(d.Subjects, QStringList{QStringLiteral("Fizyka")});
    }

    void integers()
    {
        qint32 v = 0;
        QVERIFY(ParseDataInteger(QStringLiteral("+5"), &v) && v == 5);
        QVERIFY(ParseDataInteger(QStringLiteral("-2147483648"), &v) && v == -2147483648);
        QVERIFY(ParseDataInteger(QStringLiteral("2147483647"), &v) && v == 2147483647);
        QVERIFY(ParseDataInteger(QStringLiteral("007"), &v) && v == 7);
        for (const char* bad : {"", "+", "-", "1 ", " 1", "2147483648", "0x10", "1e3", "1,5", "+-1"})
            QVERIFY2(!ParseDataInteger(QString::fromLatin1(bad), &v), bad);
        QVERIFY(!ParseDataInteger(QStringLiteral("٣"), &v)); // a digit, but not a decimal one of ours
    }

    void loadSchoolDataReportsOnce()
    {
        // Each of the three files failing in turn, in both work modes.
        const QString home = QStringLiteral(
            "Pliki danych są uszkodzone.\rProgram nie może działać. Zainstaluj program ponownie.");
        const QString network =
            QStringLiteral("Pliki danych są niedostępne lub uszkodzone.\rProgram nie może "
                           "działać.\rSkontaktuj się z administratorem sieci.");
        for (const QString& broken : {kTeachersFile, kSubjectsFile, kClassesFile}) {
            for (const QString& mode : {kWorkModeHome, kWorkModeNetwork, QStringLiteral("inny")}) {
                QTemporaryDir dir;
                for (const QString& f : {kTeachersFile, kSubjectsFile, kClassesFile}) {
                    QVERIFY(QFile::copy(fixture(QStringLiteral("plain")) + f, dir.filePath(f)));
                }
                writeFile(dir.filePath(broken), "<x><Ilosc>?</Ilosc><IloscKlas>?</IloscKlas></x>");
                appState() = AppState{};
                appState().Settings.WorkMode = mode;
                appState().DataFolder = dir.path() + QLatin1Char('/');
                MessageRecorder recorder;
                QVERIFY(!LoadSchoolData());
                QCOMPARE(recorder.messages().size(), 1);
                QCOMPARE(recorder.messages()[0].kind, int(KindNotice));
                QCOMPARE(recorder.messages()[0].icon, int(IconInformation));
                QCOMPARE(recorder.messages()[0].text, mode == kWorkModeHome ? home : network);
            }
        }
    }

    void loadSchoolDataFillsTheLists()
    {
        appState().DataFolder = fixture(QStringLiteral("plain"));
        appState().TeacherNames = QStringList{QStringLiteral("stary")};
        MessageRecorder recorder;
        QVERIFY(LoadSchoolData());
        QVERIFY(recorder.messages().isEmpty());
        checkFixtureModel(schoolData());
        QCOMPARE(appState().TeacherNames,
                 QStringList({QStringLiteral("Kowalski Jan"), QStringLiteral("Wiśniewska Małgorzata"),
                              QStringLiteral("Żółkiewski Łukasz"), QStringLiteral("Nowak & Syn Ewa")}));
        QCOMPARE(appState().SubjectNames, schoolData().Subjects);
    }
};

QTEST_GUILESS_MAIN(TestSchoolData)
#include "tst_schooldata.moc"
