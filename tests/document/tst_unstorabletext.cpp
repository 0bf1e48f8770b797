#include "document/UnstorableText.h"

#include <QTest>

// Which characters a report cannot store, and how the question names them.
class TestUnstorableText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsWhatTheCodePageAndXmlCannotHold_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("characters");
        QTest::addColumn<QStringList>("places");

        QTest::newRow("polish and typography")
            << QStringList{QStringLiteral("Zażółć gęślą jaźń – „a” … ™ €")} << QStringList{} << QStringList{};
        QTest::newRow("cyrillic name")
            << QStringList{QStringLiteral("Иванов Пётр")}
            << QStringList{QStringLiteral("И"), QStringLiteral("в"), QStringLiteral("а"),
                           QStringLiteral("н"), QStringLiteral("о"), QStringLiteral("П"),
                           QStringLiteral("ё"), QStringLiteral("т"), QStringLiteral("р")}
            << QStringList{QStringLiteral("Иванов Пё…")};
        QTest::newRow("emoji is one character")
            << QStringList{QStringLiteral("ok 😀 i 😀")} << QStringList{QStringLiteral("😀")}
            << QStringList{QStringLiteral("ok 😀 i 😀")};
        // The cut after eight code units would split the second emoji; it stays whole.
        QTest::newRow("cut keeps an emoji whole")
            << QStringList{QStringLiteral("x 😀 abcde😀 yz")} << QStringList{QStringLiteral("😀")}
            << QStringList{QStringLiteral("x 😀 abcde😀…")};
        QTest::newRow("control and lone surrogate by code")
            << QStringList{QStringLiteral("a") + QChar(0x07) + QStringLiteral("b"), QString(QChar(0xD800))}
            << QStringList{QStringLiteral("U+0007"), QStringLiteral("U+D800")}
            << QStringList{QStringLiteral("a") + QChar(0x07) + QStringLiteral("b"), QString(QChar(0xD800))};
        QTest::newRow("long text shortened around the character")
            << QStringList{QStringLiteral("Sprawozdanie z wycieczki do miasta ☺ Kraków i okolic w maju")}
            << QStringList{QStringLiteral("☺")} << QStringList{QStringLiteral("…miasta ☺ Kraków…")};
        QTest::newRow("same place once")
            << QStringList{QStringLiteral("x ☺"), QStringLiteral("x ☺")} << QStringList{QStringLiteral("☺")}
            << QStringList{QStringLiteral("x ☺")};
        QTest::newRow("tab and line breaks are fine")
            << QStringList{QStringLiteral("a\tb\r\nc")} << QStringList{} << QStringList{};
    }

    void findsWhatTheCodePageAndXmlCannotHold()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, characters);
        QFETCH(QStringList, places);
        const UnstorableText found = FindUnstorable(texts);
        QCOMPARE(found.Characters, characters);
        QCOMPARE(found.Places, places);
        QCOMPARE(found.isEmpty(), characters.isEmpty());
    }

    void questionListsBothAndStaysShort()
    {
        const UnstorableText found =
            FindUnstorable({QStringLiteral("Klasa IIIb, uczennica Жукова Анна, wzorowe zachowanie"),
                            QStringLiteral("😀"), QStringLiteral("☺")});
        const QString question = UnstorableQuestion(found);
        // The first four characters and the first two places, each list marked as cut;
        // the middle of a long text, cut on both sides.
        QVERIFY2(question.contains(QStringLiteral("„…zennica Жукова Ан…”")), qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("„😀”")));
        QVERIFY(question.contains(QStringLiteral("Ж у к о …\r")) &&
                question.contains(QStringLiteral("”, „😀” …")));
        QVERIFY(!question.contains(QStringLiteral("☺")));
        QVERIFY(question.contains(QStringLiteral("Tak: ")) && question.contains(QStringLiteral("Nie: ")));
        QCOMPARE(question.count(QLatin1Char('\r')), 2);
    }
};

QTEST_MAIN(TestUnstorableText)
#include "tst_unstorabletext.moc"
