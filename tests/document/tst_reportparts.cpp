#include "document/KeyFilters.h"
#include "document/ReportFileName.h"
#include "document/ReportPreview.h"
#include "encoding/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestReportParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyFilters()
    {
        const QChar backspace(8), enter(13), dropped(0);
        for (char c = '0'; c <= '9'; ++c) {
            QCOMPARE(DecimalKeyFilter(QLatin1Char(c)), QChar(QLatin1Char(c)));
            QCOMPARE(PlainNumberKeyFilter(QLatin1Char(c)), QChar(QLatin1Char(c)));
        }
        QCOMPARE(DecimalKeyFilter(QLatin1Char('.')), QChar(QLatin1Char(',')));
        QCOMPARE(DecimalKeyFilter(QLatin1Char(',')), QChar(QLatin1Char(',')));
        QCOMPARE(DecimalKeyFilter(backspace), backspace);
        QCOMPARE(DecimalKeyFilter(enter), enter);
        QCOMPARE(PlainNumberKeyFilter(QLatin1Char('.')), QChar(QLatin1Char('.')));
        QCOMPARE(PlainNumberKeyFilter(backspace), backspace);
        QCOMPARE(PlainNumberKeyFilter(enter), dropped);
        QCOMPARE(PlainNumberKeyFilter(QLatin1Char(',')), dropped);
        for (const QChar c : QStringLiteral("aZ -+ą\t٣")) {
            QCOMPARE(DecimalKeyFilter(c), dropped);
            QCOMPARE(PlainNumberKeyFilter(c), dropped);
        }
        // Keys that move or delete are the field's own, whatever text comes with them;
        // typed characters and Backspace go through the filters.
        QVERIFY(!IsTypedCharacter(Qt::Key_Delete, QString(QChar(0x7f))));
        QVERIFY(!IsTypedCharacter(Qt::Key_Tab, QStringLiteral("\t")));
        QVERIFY(!IsTypedCharacter(Qt::Key_Backtab, QStringLiteral("\t")));
        QVERIFY(!IsTypedCharacter(Qt::Key_Left, QString()));
        QVERIFY(!IsTypedCharacter(Qt::Key_A, QString(QChar(1)))); // Ctrl+A
        QVERIFY(IsTypedCharacter(Qt::Key_Backspace, QString(backspace)));
        QVERIFY(IsTypedCharacter(Qt::Key_5, QStringLiteral("5")));
        QVERIFY(IsTypedCharacter(Qt::Key_A, QStringLiteral("a")));
    }

    void fileNamesStayInsideTheFolder()
    {
        // The texts of the lists and of free edits keep what a file name can hold.
        QCOMPARE(
            ReportFileName(QStringLiteral("RProg"), {QStringLiteral("Matematyka"), QStringLiteral("IIa, IIb"),
                                                     QStringLiteral("Łęcka Żaneta")}),
            QStringLiteral("RProg_Matematyka_IIa, IIb_Łęcka Żaneta"));
        QCOMPARE(
            ReportFileName(QStringLiteral("RProg"), {QStringLiteral("../../etc/x"), QStringLiteral("a\\b")}),
            QStringLiteral("RProg_..-..-etc-x_a-b"));
        QCOMPARE(SafeFileName(QStringLiteral("a:b*c?d\"e<f>g|h\ti\nj")),
                 QStringLiteral("a-b-c-d-e-f-g-h-i-j"));

        // An overlong free text is shortened, never cut inside a character.
        const QString longName = SafeFileName(QStringLiteral("RProg_") + QString(300, QChar(0x017B)));
        QCOMPARE(longName, QStringLiteral("RProg_") + QString(97, QChar(0x017B))); // 200 bytes exactly
        const QString emoji =
            SafeFileName(QString(60, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(60));
        QCOMPARE(emoji, QString(60, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(35));
        const QString odd = SafeFileName(QString(199, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
        QCOMPARE(odd, QString(199, QLatin1Char('x'))); // a pair never split
        QCOMPARE(SafeFileName(QString(100000, QChar(0x0107))), QString(100, QChar(0x0107)));

        // Whatever the teacher typed, the file lands in the working folder.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name =
            ReportFileName(QStringLiteral("RProg"), {QStringLiteral(".."), QStringLiteral("/tmp/x")});
        QFile file(QDir(dir.path()).filePath(name + QStringLiteral(".xml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name + QStringLiteral(".xml")});
    }

    void previewLinesAndEscaping()
    {
        QStringList page{QStringLiteral("old")};
        PreviewBegin(page);
        QCOMPARE(page.size(), 20);
        QCOMPARE(page.first(), QStringLiteral("<html><head>"));
        QCOMPARE(page.at(2), QStringLiteral("<title>Podgląd zawartości</title>"));
        QCOMPARE(page.at(3), QStringLiteral("</head>"));
        QCOMPARE(page.at(4), QStringLiteral("<STYLE TYPE=\"text/css\">"));
        QCOMPARE(page.at(13), QStringLiteral("scrollbar-track-color: #FFFFFF; }  "));
        QCOMPARE(page.last(),
                 QStringLiteral(
                     "<body bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"20\" rightmargin=\"20\">"));

        page.clear();
        PreviewLabelValue(page, QStringLiteral("Klasa:"),
                          PreviewEscape(QStringLiteral("<script>alert(1)</script>")));
        PreviewLine(page, PreviewEscape(QStringLiteral("<img src=x onerror=y> & \"q\"")));
        PreviewLabelValue(page, QStringLiteral("Stuprocentowa frekwencja:"),
                          QStringLiteral(" brak takich uczniów."));
        QCOMPARE(page.at(0), QStringLiteral("<b>Klasa:</b> &lt;script&gt;alert(1)&lt;/script&gt;<br>"));
        QCOMPARE(page.at(1), QStringLiteral("&lt;img src=x onerror=y&gt; &amp; \"q\"<br>"));
        QCOMPARE(page.at(2), QStringLiteral("<b>Stuprocentowa frekwencja:</b>  brak takich uczniów.<br>"));
        // Already escaped text is escaped again: the page shows what was typed.
        QCOMPARE(PreviewEscape(QStringLiteral("&nbsp;")), QStringLiteral("&amp;nbsp;"));
    }

    void previewPageSavedWholeInCp1250()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("Klas.htm"));
        QString error;
        QVERIFY(SavePreviewPage({QStringLiteral("Zażółć"), QString(), QStringLiteral("日")}, path, &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), TextCodec::toCp1250(QStringLiteral("Zażółć")) + QByteArray("\r\n\r\n?\r\n"));
        file.close();

        // A folder that is not there: a reason, and no file.
        const QString missing = QDir(dir.path()).filePath(QStringLiteral("brak/Klas.htm"));
        QVERIFY(!SavePreviewPage({QStringLiteral("x")}, missing, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestReportParts)
#include "tst_reportparts.moc"
