#include "encoding/TextCodec.h"

#include <QTest>

using namespace TextCodec;

class TestTextCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void polishLettersInBothCodePages()
    {
        // The eighteen Polish letters and the bytes the two code pages give them.
        const QString letters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
        const QByteArray cp1250("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
        const QByteArray iso("\xB1\xE6\xEA\xB3\xF1\xF3\xB6\xBC\xBF\xA1\xC6\xCA\xA3\xD1\xD3\xA6\xAC\xAF");
        QCOMPARE(toCp1250(letters), cp1250);
        QCOMPARE(toIso88592(letters), iso);
        QCOMPARE(fromCp1250(cp1250), letters);
        QCOMPARE(fromIso88592(iso), letters);
    }

    void cp1250OnlyCharacters()
    {
        // Typographic quotes and the dash exist in Windows-1250 but not in ISO-8859-2.
        const QString text = QStringLiteral("„cytat” – koniec");
        QCOMPARE(toCp1250(text), QByteArray("\x84" "cytat\x94 \x96 koniec"));
        QCOMPARE(toIso88592(text), QByteArray("?cytat? ? koniec"));
        QCOMPARE(fromCp1250(toCp1250(text)), text);
    }

    void unmappableBecomesQuestionMark()
    {
        QCOMPARE(toCp1250(QStringLiteral("a€b")), QByteArray("a\x80" "b")); // euro is in 1250
        QCOMPARE(toCp1250(QStringLiteral("日本")), QByteArray("??"));
        QCOMPARE(toCp1250(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y")); // one ? per character
        QCOMPARE(toCp1250(QStringLiteral("ñ")), QByteArray("?"));

        QString bad;
        QVERIFY(!canEncode(QStringLiteral("Zażółć ñ"), CodePage::Windows1250, &bad));
        QCOMPARE(bad, QStringLiteral("ñ"));
        QVERIFY(canEncode(QStringLiteral("Zażółć gęślą jaźń"), CodePage::Windows1250));
    }

    void everyByteRoundTrips()
    {
        // Every byte decodes to one character that encodes back to the same byte;
        // the few bytes Windows-1250 leaves unassigned pass through as C1 controls,
        // as Windows itself converts them.
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = fromCp1250(QByteArrayView(&byte, 1));
            QCOMPARE(s.size(), 1);
            QCOMPARE(toCp1250(s), QByteArray(1, byte));
        }
        QCOMPARE(fromCp1250(QByteArray("\x81")), QString(QChar(0x81)));
        QCOMPARE(fromCp1250(QByteArray("\r\n\t")), QStringLiteral("\r\n\t"));
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
