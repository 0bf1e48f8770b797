#include "document/AverageValue.h"

#include <QLocale>
#include <QTest>

class TestAverageValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAndRoundsToHundredths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hundredths");
        QTest::newRow("lower bound") << "4,75" << 475;
        QTest::newRow("whole six") << "6" << 600;
        QTest::newRow("default") << "5,0" << 500;
        QTest::newRow("one decimal") << "5,5" << 550;
        QTest::newRow("point as comma") << "5.5" << 550;
        QTest::newRow("below half") << "4,7449" << 474;
        QTest::newRow("above half") << "4,7451" << 475;
        QTest::newRow("tie to even, down") << "4,745" << 474;
        QTest::newRow("tie to even, up") << "4,755" << 476;
        QTest::newRow("tie with trailing zeros") << "5,12500" << 512;
        QTest::newRow("half and a bit") << "5,125000001" << 513;
        QTest::newRow("carry into the units") << "5,996" << 600;
        QTest::newRow("no whole part") << ",5" << 50;
        QTest::newRow("no fraction after comma") << "5," << 500;
        QTest::newRow("surrounding blanks") << " 5,25 " << 525;
        QTest::newRow("long digits held at ceiling") << "99999999999999999999" << 100000000;
    }
    void readsAndRoundsToHundredths()
    {
        QFETCH(QString, text);
        QFETCH(int, hundredths);
        const std::optional<int> value = ParseAverage(text);
        QVERIFY(value.has_value());
        QCOMPARE(*value, hundredths);
    }

    void refusesWhatIsNoNumber()
    {
        for (const char* text : {"", " ", ",", ".", "5,,0", "4,7,5", "5.0,1", "abc", "5a", "-5", "+5", "5e1"})
            QVERIFY2(!ParseAverage(QString::fromLatin1(text)).has_value(), text);
    }

    void rangeKeepsBothBounds()
    {
        QVERIFY(AverageInRange(475));
        QVERIFY(AverageInRange(600));
        QVERIFY(!AverageInRange(474));
        QVERIFY(!AverageInRange(601));
        QVERIFY(!AverageInRange(*ParseAverage(QStringLiteral("6,01"))));
        QVERIFY(!AverageInRange(*ParseAverage(QStringLiteral("4,74"))));
    }

    void theLocaleDoesNotMatter()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(ParseAverage(QStringLiteral("4,75")), std::optional<int>(475));
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(ParseAverage(QStringLiteral("1.000")), std::optional<int>(100));
        QLocale::setDefault(previous);
    }
};

QTEST_GUILESS_MAIN(TestAverageValue)
#include "tst_averagevalue.moc"
