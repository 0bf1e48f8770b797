#include "core/HelpSections.h"
#include "core/PolishPlural.h"

#include <QFile>
#include <QTest>

// Polish plural forms and the help's sections by step.
class TestPolishPlural : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsTakeTheRightForm_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("expected");
        const QList<QPair<qint64, const char*>> cases{
            {0, "0 uczniów"},    {1, "1 uczeń"},      {2, "2 uczniowie"},   {4, "4 uczniowie"},
            {5, "5 uczniów"},    {11, "11 uczniów"},  {12, "12 uczniów"},   {14, "14 uczniów"},
            {21, "21 uczniów"},  {22, "22 uczniowie"}, {25, "25 uczniów"},  {101, "101 uczniów"},
            {104, "104 uczniowie"}, {112, "112 uczniów"}, {1000, "1000 uczniów"}};
        for (const auto& [count, expected] : cases)
            QTest::newRow(expected) << count << QString::fromUtf8(expected);
    }
    void countsTakeTheRightForm()
    {
        QFETCH(qint64, count);
        QFETCH(QString, expected);
        QCOMPARE(PolishPlural::Count(count, PolishPlural::kPupil), expected);
    }

    void oneNameHasTheSingularNoun()
    {
        QCOMPARE(PolishPlural::PupilsCaption({QStringLiteral("Król Renata")}), QStringLiteral("Uczeń: Król Renata"));
        QCOMPARE(PolishPlural::PupilsCaption({QStringLiteral("Baran Kinga"), QStringLiteral("Żak Tadeusz")}),
                 QStringLiteral("Uczniowie: Baran Kinga, Żak Tadeusz"));
        QCOMPARE(PolishPlural::Count(3, PolishPlural::kSubject), QStringLiteral("3 przedmioty"));
    }

    void helpOpensAtTheStepsSection()
    {
        QCOMPARE(HelpSections::ForStep(1, 0), QStringLiteral("krok-nauczyciel"));
        QCOMPARE(HelpSections::ForStep(3, 0), QStringLiteral("okno-werdykon"));
        QCOMPARE(HelpSections::ForStep(3, 5), QStringLiteral("okno-uzasadnienie"));
        QCOMPARE(HelpSections::ForStep(5, 2), QStringLiteral("wysylka"));
        QString page;
        QString anchor;
        HelpSections::Split(HelpSections::PageAt(QStringLiteral("/a#b/Pomoc/index.htm"), QStringLiteral("wysylka")),
                            &page, &anchor);
        QCOMPARE(page, QStringLiteral("/a#b/Pomoc/index.htm"));
        QCOMPARE(anchor, QStringLiteral("wysylka"));
        HelpSections::Split(QStringLiteral("/a#b/Pomoc/index.htm"), &page, &anchor);
        QCOMPARE(page, QStringLiteral("/a#b/Pomoc/index.htm"));
        QVERIFY(anchor.isEmpty());
        // Every section named is in the help page.
        QFile help(QStringLiteral(TABULON_SOURCE_HELP));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(help.readAll());
        for (int step = 0; step <= 5; ++step) {
            for (int topic = 0; topic <= 8; ++topic) {
                const QString id = HelpSections::ForStep(step, topic);
                QVERIFY2(text.contains(QStringLiteral("id=\"") + id + QLatin1Char('"')), qPrintable(id));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPolishPlural)
#include "tst_polishplural.moc"
