#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "document/ReportRoutines.h"
#include "document/ReportWriter.h"
#include "encoding/TextCodec.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class TestReportRoutines : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    AppState m_state;
    const QDateTime m_now{QDate(2026, 1, 26), QTime(14, 7, 30)};

    QString document(const QString& name) const { return file(name + QStringLiteral(".xml")); }

    QString file(const QString& name) const
    {
        QFile f(QDir(m_temp.path()).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return TextCodec::fromCp1250(f.readAll());
    }

    static _KlasaFull sheetOf(const QStringList& pupils)
    {
        _KlasaFull sheet;
        sheet.LoadClassSheet(QStringLiteral("IIa"), pupils);
        return sheet;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_temp.isValid());
        m_state = AppState{};
        m_state.TempFolder = m_temp.path() + QLatin1Char('/');
        m_state.TeacherName = QStringLiteral("Kowalska Anna");
        m_state.MachineSignature = QStringLiteral("PC jan Windows");
        QDir(m_temp.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_temp.path()));
    }

    void docNumberAndStamp()
    {
        QCOMPARE(MakeDocNumber(QTime(9, 5, 3)), QStringLiteral("953"));
        QCOMPARE(MakeDocNumber(QTime(10, 0, 7)), QStringLiteral("1007"));
        QCOMPARE(MakeDocNumber(QTime(1, 0, 7)), QStringLiteral("107"));
        QCOMPARE(MakeDocNumber(QTime(11, 5, 5)), MakeDocNumber(QTime(1, 15, 5)));
        QCOMPARE(MakeDocNumber(QTime(0, 0, 0)), QStringLiteral("000"));

        // The stamp does not follow the user's locale.
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString stamp = StampDate(QDateTime(QDate(2026, 1, 2), QTime(0, 0, 0)));
        QLocale::setDefault(saved);
        QCOMPARE(stamp, QStringLiteral("02.01.2026 g. 00:00:00"));

        MessageRecorder recorder;
        QVERIFY(WriteInneReport({QStringLiteral("Rada"), {QStringLiteral("x")}}, m_state,
                                QDateTime(QDate(2026, 3, 4), QTime(8, 4, 9))));
        QCOMPARE(m_state.DocumentFileName, QStringLiteral("InneInfo_849_Kowalska Anna"));
        const QString xml = document(m_state.DocumentFileName);
        QVERIFY(xml.contains(QStringLiteral("\t<Nr>849</Nr>\r\n")));
        QVERIFY(xml.contains(QStringLiteral("\t<Date>04.03.2026 g. 08:04:09</Date>\r\n</Szkola>\r\n")));
    }

    // Characters the report cannot hold are asked about once, before anything is
    // written: Nie writes nothing and leaves the editor's input for another try, Tak
    // writes them as "?".
    void unstorableCharactersAskBeforeWriting()
    {
        const InneInput input{QStringLiteral("Wycieczka do Киев"),
                              {QStringLiteral("Było super 😀"), QStringLiteral("ok")}};
        MessageRecorder recorder;
        recorder.scriptAnswers({AnswerNo, AnswerYes});
        QVERIFY(!WriteInneReport(input, m_state, m_now));
        QCOMPARE(recorder.messages().size(), 1);
        const MessageRecorder::Message question = recorder.messages().constFirst();
        QCOMPARE(question.kind, int(KindQuestion));
        for (const QString& listed :
             {QStringLiteral("К"), QStringLiteral("и"), QStringLiteral("е"), QStringLiteral("в"),
              QStringLiteral("😀"), QStringLiteral("Киев"), QStringLiteral("super 😀")})
            QVERIFY2(question.text.contains(listed), qPrintable(listed));
        QVERIFY(m_state.DocumentFileName.isEmpty());
        QVERIFY(QDir(m_temp.path()).isEmpty());

        QVERIFY(WriteInneReport(input, m_state, m_now));
        QCOMPARE(recorder.messages().size(), 2);
        const QString xml = document(m_state.DocumentFileName);
        QVERIFY(xml.contains(QStringLiteral("Wycieczka do ????")));
        QVERIFY(xml.contains(QStringLiteral("Było super ?")));
        QVERIFY(!xml.contains(QStringLiteral("Киев")));

        // Polish text alone asks nothing.
        QVERIFY(WriteInneReport({QStringLiteral("Zażółć gęślą jaźń – „cytat”"), {QStringLiteral("x")}},
                                m_state, m_now));
        QCOMPARE(recorder.messages().size(), 2);
    }

    void classificationWithEmptyListsAndUnnumberedAverages()
    {
        _KlasaFull sheet = sheetOf({QStringLiteral("Ola"), QStringLiteral("Piotr")});
        sheet.Rows[1].Average = 1; // a class whose pupils get no numeric average
        MessageRecorder recorder;
        QVERIFY(WriteWerdykonReport({QStringLiteral("IIa"), QStringLiteral("2"), QString()}, sheet, m_state,
                                    m_now));
        QCOMPARE(sheet.FullAttendanceCount, 0);
        QCOMPARE(sheet.AverageCount, 1);
        QCOMPARE(sheet.FailCount, 0);

        const QStringList& page = m_state.PreviewPage;
        QVERIFY(page.contains(QStringLiteral("<b>Promowanych:</b> <br>")));
        QVERIFY(page.contains(QStringLiteral("<b>Stuprocentowa frekwencja:</b>  brak takich uczniów.<br>")));
        QVERIFY(page.contains(QStringLiteral("<b>Uczniowie zasługujący na wyróżnienie:</b><br>")));
        QVERIFY(page.contains(QStringLiteral("&nbsp;&nbsp;&nbsp;Piotr<br>")));
        QVERIFY(page.contains(
            QStringLiteral("<b>Uczniowie z ocenami niedostatecznymi:</b>  brak takich uczniów.<br>")));

        const QString xml = document(QStringLiteral("Werdykon_IIa_Kowalska Anna"));
        QVERIFY(xml.contains(QStringLiteral("\t<Promowanych/>\r\n")));
        QVERIFY(xml.contains(
            QStringLiteral("\t<Frekwencja>\r\n\t\t<IleOsob>0</IleOsob>\r\n\t</Frekwencja>\r\n")));
        QVERIFY(
            xml.contains(QStringLiteral("\t\t<IleOsob>1</IleOsob>\r\n\t\t<Uczen1>Piotr\r\n\t\t\t<Srednia>1</"
                                        "Srednia>\r\n\t\t</Uczen1>\r\n")));
        QVERIFY(xml.contains(QStringLiteral("\t<Ndst>\r\n\t\t<IleOsob>0</IleOsob>\r\n\t</Ndst>\r\n")));

        // Nobody at all on the distinction list.
        sheet.Rows[1].Average = 0;
        QVERIFY(WriteWerdykonReport({QStringLiteral("IIa"), QStringLiteral("2"), QStringLiteral("2")}, sheet,
                                    m_state, m_now));
        QVERIFY(m_state.PreviewPage.contains(
            QStringLiteral("<b>Uczniowie zasługujący na wyróżnienie:</b>  brak takich uczniów.<br>")));
        QVERIFY(document(m_state.DocumentFileName)
                    .contains(QStringLiteral("\t<Pasek>\r\n\t\t<IleOsob>0</IleOsob>\r\n\t</Pasek>\r\n")));
        QCOMPARE(recorder.messages().size(), 0);
    }

    void conductGroupsFollowTheTexts()
    {
        _KlasaFull sheet =
            sheetOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        const QStringList text{QStringLiteral("Spóźnienia.")};
        // Three pupils justified together; then C's text is edited on its own.
        sheet.StoreJustificationForPupils(JustificationKind::Conduct,
                                          {QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("D")},
                                          QStringLiteral("nieodpowiednia"), text);
        sheet.StoreJustification(JustificationKind::Conduct, 2, QStringLiteral("naganna"),
                                 {QStringLiteral("Bójka.")});
        // B: the same words in other letter case, and another grade.
        sheet.StoreJustification(JustificationKind::Conduct, 1, QStringLiteral("naganna"),
                                 {QStringLiteral("SPÓŹNIENIA.")});
        MessageRecorder recorder;
        QVERIFY(WriteZachowanieReport(
            {QStringLiteral("IIa"), QStringLiteral("4"), {QStringLiteral("Klasa <zgrana>."), QString()}},
            sheet, m_state, m_now));
        QCOMPARE(sheet.ConductJustificationCount, 4);
        QCOMPARE(sheet.ExemplaryConductCount, 0);

        const QStringList& page = m_state.PreviewPage;
        QVERIFY(page.contains(QStringLiteral("<b>Uczniowie wzorowi:</b>  brak takich uczniów.<br>")));
        QVERIFY(page.contains(QStringLiteral("<b>&nbsp;&nbsp;Uczniowie: </b> A, D.<br>")));
        QVERIFY(page.contains(QStringLiteral("<b>&nbsp;&nbsp;Uczeń: </b> B<br>")));
        QVERIFY(page.contains(QStringLiteral("<b>&nbsp;&nbsp;Uczeń: </b> C<br>")));
        const int remarks = static_cast<int>(page.indexOf(QStringLiteral("<b>Uwagi o pracy:</b><br>")));
        QVERIFY(remarks > 0);
        QCOMPARE(page.at(remarks - 1), QStringLiteral("&nbsp;<br>"));
        QCOMPARE(page.at(remarks + 1), QStringLiteral("Klasa &lt;zgrana&gt;.<br>"));
        QCOMPARE(page.at(remarks + 2), QStringLiteral("<br>"));

        const QString xml = document(QStringLiteral("Zachowanie_IIa_Kowalska Anna"));
        QVERIFY(xml.contains(QStringLiteral("<Osoba>A, D</Osoba>\r\n\t\t\t<Ocena>nieodpowiednia</Ocena>")));
        QVERIFY(xml.contains(
            QStringLiteral("<Uzasadnienie2>\r\n\t\t\t<Osoba>B</Osoba>\r\n\t\t\t<Ocena>naganna")));
        QVERIFY(xml.contains(QStringLiteral("<Uzasadnienie3>\r\n\t\t\t<Osoba>C</Osoba>")));
        QVERIFY(xml.contains(QStringLiteral("\t\t<Ilosc>3</Ilosc>\r\n\t</Obnizone>")));
        QVERIFY(
            xml.contains(QStringLiteral("\t<Uwagi>\r\n\t\t<IloscWierszy>2</IloscWierszy>\r\n\t\t<w0>Klasa "
                                        "&lt;zgrana&gt;.</w0>\r\n\t\t<w1/>\r\n")));

        // A class without lowered grades.
        _KlasaFull calm = sheetOf({QStringLiteral("A")});
        QVERIFY(
            WriteZachowanieReport({QStringLiteral("IIa"), QStringLiteral("1"), {}}, calm, m_state, m_now));
        QVERIFY(m_state.PreviewPage.contains(
            QStringLiteral("<b>Oceny obniżone z zachowania:</b>  brak takich ocen w tej klasie.<br>")));
        QVERIFY(document(m_state.DocumentFileName)
                    .contains(QStringLiteral("\t<Obnizone>\r\n\t\t<Ilosc>0</Ilosc>\r\n\t</Obnizone>\r\n")));
        QVERIFY(!m_state.PreviewPage.contains(QStringLiteral("<b>Uwagi o pracy:</b><br>")));
    }

    void justificationAtALaterRowStartsWithABlankLine()
    {
        _KlasaFull sheet =
            sheetOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        sheet.StoreJustification(JustificationKind::FailingGrade, 3, QStringLiteral("Fizyka"),
                                 {QStringLiteral("Brak prac."), QString()});
        MessageRecorder recorder;
        QVERIFY(WriteUzasadnienieReport({QStringLiteral("Fizyka"), QStringLiteral("IIa")}, sheet, m_state,
                                        m_now));
        const QStringList& page = m_state.PreviewPage;
        const int heading = static_cast<int>(page.indexOf(QStringLiteral("<b>Uzasadnienia:</b><br>")));
        QVERIFY(heading > 0);
        QCOMPARE(page.mid(heading + 1, 4),
                 QStringList({QStringLiteral("&nbsp;<br>"),
                              QStringLiteral("<b>&nbsp;&nbsp;&nbsp;Uczeń: </b> D<br>"),
                              QStringLiteral("&nbsp;&nbsp;&nbsp;Brak prac.<br>"),
                              QStringLiteral("&nbsp;&nbsp;&nbsp; <br>")}));
        const QString xml = document(QStringLiteral("UNdst_Fizyka_IIa_Kowalska Anna"));
        QVERIFY(xml.contains(
            QStringLiteral("<IloscWierszy>2</IloscWierszy>\r\n\t\t\t<Wiersz0>Brak prac.</Wiersz0>"
                           "\r\n\t\t\t<Wiersz1> </Wiersz1>\r\n")));
        // The justification list stands after the stamp, before the closing blank line.
        QCOMPARE(page.mid(page.size() - 5),
                 QStringList({QStringLiteral("&nbsp;&nbsp;&nbsp; <br>"), QStringLiteral("&nbsp;<br>"),
                              QStringLiteral("</p>"), QStringLiteral("</body>"), QStringLiteral("</html>")}));
    }

    // Texts that differ only in characters the document cannot hold are one text
    // there, so their pupils share one justification; control characters from the
    // school's names become "?", and document and page stay well-formed XML.
    void writtenTextsDecideGroupsAndNeverBreakTheXml()
    {
        const QString odd = QStringLiteral("C") + QChar(0) + QStringLiteral("\x1B[31m") + QChar(0xFFFE);
        _KlasaFull sheet = sheetOf({QStringLiteral("A"), QStringLiteral("B"), odd});
        sheet.StoreJustification(JustificationKind::FailingGrade, 0, QStringLiteral("Fizyka"),
                                 {QStringLiteral("Brak prac ✓")});
        sheet.StoreJustification(JustificationKind::FailingGrade, 1, QStringLiteral("Fizyka"),
                                 {QStringLiteral("Brak prac ✗")});
        sheet.StoreJustification(JustificationKind::FailingGrade, 2, QStringLiteral("Fizyka"),
                                 {QStringLiteral("Zeszyt") + QChar(0x7) + QStringLiteral(".")});
        MessageRecorder recorder;
        recorder.scriptAnswers({AnswerYes}); // write them as "?"
        QVERIFY(WriteUzasadnienieReport({QStringLiteral("Fizyka"), QStringLiteral("IIa")}, sheet, m_state,
                                        m_now));
        QCOMPARE(recorder.messages().size(), 1);
        const QString xml = document(QStringLiteral("UNdst_Fizyka_IIa_Kowalska Anna"));
        QVERIFY(xml.contains(QStringLiteral("<Osoba>A, B</Osoba>\r\n\t\t\t<IloscWierszy>1</IloscWierszy>"
                                            "\r\n\t\t\t<Wiersz0>Brak prac ?</Wiersz0>")));
        QVERIFY(xml.contains(QStringLiteral("<Osoba>C??[31m?</Osoba>")));
        QVERIFY(xml.contains(QStringLiteral("<Wiersz0>Zeszyt?.</Wiersz0>")));
        QVERIFY(xml.contains(QStringLiteral("<Ilosc>2</Ilosc>")));
        QVERIFY(m_state.PreviewPage.contains(QStringLiteral("<b>&nbsp;&nbsp;Uczniowie: </b> A, B<br>")));

        for (const QString& text : {xml, file(QStringLiteral("Wb.htm"))}) {
            for (const QChar c : text)
                QVERIFY2(c >= QLatin1Char(' ') || c == u'\t' || c == u'\r' || c == u'\n',
                         qPrintable(QString::number(c.unicode())));
        }
        QXmlStreamReader reader(xml);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    }

    void typedTextNeverEscapesTheFolderOrThePage()
    {
        m_state.TeacherName = QStringLiteral("../../Kowalski");
        MessageRecorder recorder;
        QVERIFY(WriteRealProgramuReport({QStringLiteral("Fizyka"),
                                         QStringLiteral("I/II\\III <script>alert(1)</script>"),
                                         {QStringLiteral("<img src=x onerror=alert(1)>")},
                                         {}},
                                        m_state, m_now));
        const QString name = m_state.DocumentFileName;
        QCOMPARE(name, QStringLiteral("RProg_Fizyka_I-II-III -script-alert(1)--script-_..-..-Kowalski"));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({name + QStringLiteral(".xml"), QStringLiteral("Wb.htm")}));

        // The document keeps the texts as typed, escaped by the tree.
        const QString xml = document(name);
        QVERIFY(xml.contains(QStringLiteral("<Belfer>../../Kowalski</Belfer>")));
        QVERIFY(
            xml.contains(QStringLiteral("<Klasy>I/II\\III &lt;script&gt;alert(1)&lt;/script&gt;</Klasy>")));
        // The page shows them as text, never as markup.
        const QString page = file(QStringLiteral("Wb.htm"));
        QVERIFY(!page.contains(QStringLiteral("<script")));
        QVERIFY(!page.contains(QStringLiteral("<img")));
        QVERIFY(page.contains(QStringLiteral("&lt;img src=x onerror=alert(1)&gt;<br>")));

        // Additional activities share the page name and overwrite it.
        QVERIFY(
            WriteZajDodatkoweReport({QStringLiteral("Chór"), {QStringLiteral("Próby.")}}, m_state, m_now));
        QVERIFY(file(QStringLiteral("Wb.htm")).contains(QStringLiteral("Chór")));
        QCOMPARE(m_state.DocumentFileName, QStringLiteral("ZajDod_14730_..-..-Kowalski"));
        QCOMPARE(recorder.messages().size(), 0);
    }

    void failedWriteLeavesNoDocument()
    {
        MessageRecorder recorder;
        m_state.DocumentFileName = QStringLiteral("earlier");

        // The working folder is gone.
        const QString folder = m_state.TempFolder;
        m_state.TempFolder = QDir(m_temp.path()).filePath(QStringLiteral("brak")) + QLatin1Char('/');
        QVERIFY(!WriteKartaReport({{QStringLiteral("x")}}, m_state, m_now));
        QCOMPARE(recorder.messages().size(), 1);
        QCOMPARE(recorder.messages().at(0).kind, int(KindNotice));
        QCOMPARE(recorder.messages().at(0).icon, int(IconWarning));
        QVERIFY(recorder.texts().at(0).startsWith(QStringLiteral("Nie udało się zapisać pliku: ")));
        QCOMPARE(m_state.DocumentFileName, QStringLiteral("earlier"));
        QVERIFY(!QDir(m_state.TempFolder).exists());

        // The document's place is taken: the page is written, the document is not, and
        // no partial or temporary file is left beside them.
        m_state.TempFolder = folder;
        QVERIFY(QDir(m_temp.path()).mkdir(QStringLiteral("Dyrektor_Kowalska Anna.xml")));
        QVERIFY(!WriteDyrektorReport({{QStringLiteral("Tekst.")}, {}}, m_state, m_now));
        QCOMPARE(recorder.messages().size(), 2);
        QCOMPARE(m_state.DocumentFileName, QStringLiteral("earlier"));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Dyr.htm")});
    }
};

QTEST_GUILESS_MAIN(TestReportRoutines)
#include "tst_reportroutines.moc"
