#include "support/TestPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

// The help page the help button opens from beside the program: it is there after a
// build, readable as UTF-8, and every picture and in-page link it uses resolves.
class TestHelpPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageBesideTheProgramResolvesEveryReference()
    {
        const QString folder = TestPaths::binaryDir() + QStringLiteral("/bin/Pomoc/");
        QFile page(folder + QStringLiteral("index.htm"));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(page.readAll());
        QVERIFY(!utf8.hasError());
        QVERIFY(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));

        QSet<QString> anchors;
        for (const QRegularExpressionMatch& m :
             QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(text))
            anchors.insert(m.captured(1));
        int links = 0;
        for (const QRegularExpressionMatch& m :
             QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(text)) {
            QVERIFY2(anchors.contains(m.captured(1)), qPrintable(m.captured(1)));
            ++links;
        }
        QVERIFY(links > 0);
        int pictures = 0;
        for (const QRegularExpressionMatch& m :
             QRegularExpression(QStringLiteral("src=\"([^\"]+)\"")).globalMatch(text)) {
            QVERIFY2(QFileInfo(folder + m.captured(1)).size() > 0, qPrintable(m.captured(1)));
            ++pictures;
        }
        QVERIFY(pictures > 0);

        // Every topic the teacher can choose is explained.
        for (const char* topic :
             {"Werdykon uczniów danej klasy", "Werdykon uczniów pod względem zachowania",
              "Realizacja programu wychowawczego klasy", "Realizacja programu z przedmiotu nauczania",
              "Sprawozdanie z prowadzonych zajęć dodatkowych", "Uzasadnienie oceny niedostatecznej",
              "Sprawozdanie dyrektora szkoły", "Inne sprawozdanie do protokołu",
              "Sprawozdanie z zajęć wynikających z karty"})
            QVERIFY2(text.contains(QString::fromUtf8(topic)), topic);
    }
};

QTEST_GUILESS_MAIN(TestHelpPage)
#include "tst_helppage.moc"
