#include "collect/InputCollector.h"
#include "collect/MailReader.h"
#include "collect/ReportCollection.h"
#include "collect/ReportsCsv.h"
#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "document/ReportRoutines.h"
#include "document/ReportWriter.h"
#include "encoding/TextCodec.h"
#include "protocol/MailMessage.h"
#include "support/AdminProgram.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCollect(const QStringList& args)
{
    const AdminRun run = RunAdmin(QStringList{QStringLiteral("collect")} + args);
    return {run.exitCode, QString::fromUtf8(run.out), run.err};
}

// A report document as a teacher's program writes it, by hand: the declaration, then
// Szkola with `body` between Doc/Belfer and the stamp.
QByteArray handDocument(const QString& doc, const QString& teacher, const QString& body, const QString& date)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>\r\n<Szkola>\r\n"
                                        "\t<Doc>%1</Doc>\r\n\t<Belfer>%2</Belfer>\r\n%3"
                                        "\t<User>PC</User>\r\n\t<Date>%4</Date>\r\n</Szkola>\r\n")
                             .arg(doc, teacher, body, date);
    return TextCodec::toCp1250(text);
}

QByteArray programmeDocument(const QString& teacher, const QString& cls, const QString& line,
                             const QString& date)
{
    return handDocument(
        QStringLiteral("Realizacja programu wychowawczego"), teacher,
        QStringLiteral("\t<Klasa>%1</Klasa>\r\n\t<Ogolne>\r\n\t\t<IloscWierszy>1</IloscWierszy>\r\n"
                       "\t\t<w0>%2</w0>\r\n\t</Ogolne>\r\n\t<Sukcesy>\r\n"
                       "\t\t<IloscWierszy>0</IloscWierszy>\r\n\t</Sukcesy>\r\n")
            .arg(cls, line),
        date);
}

QString csvRow(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& f : fields)
        quoted.append(ReportsCsv::field(f));
    return quoted.join(u';');
}

} // namespace

class TestCollect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Reports of all nine topics written by the program's own routines, some mailed as
    // the program mails them, are collected into a summary and tables holding exactly
    // their figures and names.
    void roundTripOfAllTopics()
    {
        QTemporaryDir temp;
        const QDir root(temp.path());
        QVERIFY(root.mkpath(QStringLiteral("siec")) && root.mkpath(QStringLiteral("poczta")) &&
                root.mkpath(QStringLiteral("dane")));
        MessageRecorder recorder;
        AppState state;
        state.TempFolder = root.filePath(QStringLiteral("siec")) + u'/';
        state.MachineSignature = QStringLiteral("PC jan Windows");
        const QDate day(2026, 6, 19);
        auto at = [&](int h, int m) { return QDateTime(day, QTime(h, m, 3)); };

        state.TeacherName = QStringLiteral("Kowalska Anna");
        _KlasaFull sheet;
        sheet.LoadClassSheet(
            QStringLiteral("2a"),
            {QStringLiteral("Ola Kwiatkowska"), QStringLiteral("Piotr Mały"), QStringLiteral("Jan Zięba")});
        sheet.Rows[0].FullAttendance = true;
        sheet.Rows[0].Average = 520;
        sheet.Rows[2].Average = 1;
        sheet.Rows[1].FailSubjects = QStringLiteral("matematyka, fizyka");
        QVERIFY(WriteWerdykonReport({QStringLiteral("2a"), QStringLiteral("3"), QStringLiteral("2")}, sheet,
                                    state, at(9, 5)));
        sheet.LoadClassSheet(
            QStringLiteral("2a"),
            {QStringLiteral("Ola Kwiatkowska"), QStringLiteral("Piotr Mały"), QStringLiteral("Jan Zięba")});
        sheet.Rows[0].ExemplaryConduct = true;
        sheet.StoreJustification(
            JustificationKind::Conduct, 1, QStringLiteral("nieodpowiednie"),
            {QStringLiteral("Spóźnienia."), QStringLiteral("Ocena <celująca> %1 niżej")});
        QVERIFY(WriteZachowanieReport(
            {QStringLiteral("2a"), QStringLiteral("3"), {QStringLiteral("Klasa zgrana.")}}, sheet, state,
            at(9, 10)));
        QVERIFY(WriteRealWychReport(
            {QStringLiteral("2a"), {QStringLiteral("Wycieczka do Krakowa & \"Wieliczki\".")}, {}}, state,
            at(9, 15)));

        state.TeacherName = QStringLiteral("Lis Adam");
        QVERIFY(WriteRealWychReport({QStringLiteral("3b"), {QStringLiteral("Plan.")}, {}}, state, at(9, 20)));
        state.TeacherName = QStringLiteral("Zieliński Piotr");
        QVERIFY(WriteZajDodatkoweReport({QStringLiteral("kółko szachowe"), {QStringLiteral("Turniej.")}},
                                        state, at(10, 0)));

        // Mailed reports leave the network folder; each mail is composed by the
        // program's own mail composition.
        QStringList mails;
        auto mail = [&](const QString& documentName) {
            const QString path = state.TempFolder + documentName + QStringLiteral(".xml");
            MailMessage m;
            m.SenderName = state.TeacherName;
            m.SenderAddress = QStringLiteral("nauczyciel@szkola.pl");
            m.Recipients = QStringLiteral("sekretariat@szkola.pl");
            m.Subject = QStringLiteral("Sprawozdanie - ") + state.TeacherName;
            m.HtmlBody = QStringLiteral("Witam.\r\nOto moje sprawozdanie.");
            m.AttachmentPath = path;
            QString error;
            const QByteArray bytes = m.compose(&error);
            QFile::remove(path);
            mails.append(QString::fromLatin1(bytes));
            return bytes;
        };
        state.TeacherName = QStringLiteral("Nowak Jan");
        QVERIFY(WriteRealProgramuReport({QStringLiteral("matematyka"),
                                         QStringLiteral("2a, 3b"),
                                         {QStringLiteral("Program zrealizowany.")},
                                         {QStringLiteral("Olimpiada.")}},
                                        state, at(10, 5)));
        const QString eml1 = root.filePath(QStringLiteral("poczta/1.eml"));
        QVERIFY(writeFile(eml1, mail(state.DocumentFileName)));
        sheet.LoadClassSheet(QStringLiteral("2a"),
                             {QStringLiteral("Ola Kwiatkowska"), QStringLiteral("Piotr Mały")});
        sheet.StoreJustification(JustificationKind::FailingGrade, 1, QStringLiteral("matematyka"),
                                 {QStringLiteral("Brak prac domowych.")});
        QVERIFY(WriteUzasadnienieReport({QStringLiteral("matematyka"), QStringLiteral("2a")}, sheet, state,
                                        at(10, 10)));
        const QString eml2 = root.filePath(QStringLiteral("poczta/2.eml"));
        QVERIFY(writeFile(eml2, mail(state.DocumentFileName)));

        QByteArray mbox;
        state.TeacherName = QStringLiteral("Wiśniewska Ewa");
        QVERIFY(WriteDyrektorReport({{QStringLiteral("Rok udany.")}, {QStringLiteral("Hospitacje.")}}, state,
                                    at(11, 0)));
        mbox += "From nauczyciel@szkola.pl Fri Jun 19 11:00:00 2026\n" + mail(state.DocumentFileName) + "\n";
        state.TeacherName = QStringLiteral("Zieliński Piotr");
        QVERIFY(WriteInneReport({QStringLiteral("Rada"), {QStringLiteral("Dyżury.")}}, state, at(11, 5)));
        mbox += "From nauczyciel@szkola.pl Fri Jun 19 11:05:00 2026\n" + mail(state.DocumentFileName) + "\n";
        QVERIFY(WriteKartaReport({{QStringLiteral("Konsultacje.")}}, state, at(11, 10)));
        mbox += "From nauczyciel@szkola.pl Fri Jun 19 11:10:00 2026\n" + mail(state.DocumentFileName) + "\n";
        const QString mboxPath = root.filePath(QStringLiteral("poczta/skrzynka.mbox"));
        QVERIFY(writeFile(mboxPath, mbox));
        QVERIFY(recorder.messages().isEmpty());

        const QString data = root.filePath(QStringLiteral("dane"));
        QVERIFY(writeFile(
            QDir(data).filePath(QStringLiteral("nauczyciele.kbs")),
            TextCodec::toCp1250(QStringLiteral("<Belfry><Ilosc>6</Ilosc>"
                                               "<Belfer1><Nzw>Kowalska</Nzw><Im>Anna</Im></Belfer1>"
                                               "<Belfer2><Nzw>Nowak</Nzw><Im>Jan</Im></Belfer2>"
                                               "<Belfer3><Nzw>Pusty</Nzw><Im>Marek</Im></Belfer3>"
                                               "<Belfer4><Nzw>Wiśniewska</Nzw><Im>Ewa</Im></Belfer4>"
                                               "<Belfer5><Nzw>Zieliński</Nzw><Im>Piotr</Im></Belfer5>"
                                               "<Belfer6><Nzw>Lis</Nzw><Im>Adam</Im></Belfer6></Belfry>"))));
        QVERIFY(writeFile(
            QDir(data).filePath(QStringLiteral("uczniowie.kls")),
            TextCodec::toCp1250(QStringLiteral(
                "<Szkola><IloscKlas>2</IloscKlas><Klasa1><Nazwa>2a</Nazwa><IleUczniow>0</IleUczniow>"
                "</Klasa1><Klasa2><Nazwa>3b</Nazwa><IleUczniow>0</IleUczniow></Klasa2></Szkola>"))));

        const QString html = root.filePath(QStringLiteral("zestawienie.html"));
        const QString pdf = root.filePath(QStringLiteral("zestawienie.pdf"));
        const QString csv = root.filePath(QStringLiteral("sprawozdania.csv"));
        const QString missing = root.filePath(QStringLiteral("braki.csv"));
        const QString network = root.filePath(QStringLiteral("siec"));
        const Run run = runCollect({network, eml1, eml2, mboxPath, QStringLiteral("--data"), data,
                                    QStringLiteral("-o"), html, QStringLiteral("--pdf"), pdf,
                                    QStringLiteral("--csv"), csv, QStringLiteral("--missing"), missing});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(
            run.out.startsWith(QStringLiteral("Przeczytano dokumentów: 10 (przyjętych: 10, zastąpionych: 0, "
                                              "podejrzanych: 0, uszkodzonych: 0); listów: 5, w tym bez sprawozdania: 0.\n")),
            qPrintable(run.out));

        const QString sep = QStringLiteral("/");
        auto row = [&](const QString& file, const QString& teacher, int topic, const QString& cls,
                       const QString& subject, const QDateTime& when) {
            return csvRow({file, teacher, QString::number(topic), cls, subject,
                           when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), QStringLiteral("przyjęty"), {}});
        };
        const QString number5 = MakeDocNumber(at(10, 0).time());
        const QStringList expected{
            QStringLiteral("plik;nauczyciel;temat;klasa;przedmiot;data;stan;powód"),
            row(network + sep + QStringLiteral("RProgWych_2a_Kowalska Anna.xml"),
                QStringLiteral("Kowalska Anna"), 3, QStringLiteral("2a"), {}, at(9, 15)),
            row(network + sep + QStringLiteral("RProgWych_3b_Lis Adam.xml"), QStringLiteral("Lis Adam"), 3,
                QStringLiteral("3b"), {}, at(9, 20)),
            row(network + sep + QStringLiteral("Werdykon_2a_Kowalska Anna.xml"),
                QStringLiteral("Kowalska Anna"), 1, QStringLiteral("2a"), {}, at(9, 5)),
            row(network + sep + QStringLiteral("Zachowanie_2a_Kowalska Anna.xml"),
                QStringLiteral("Kowalska Anna"), 2, QStringLiteral("2a"), {}, at(9, 10)),
            row(network + sep + QStringLiteral("ZajDod_") + number5 + QStringLiteral("_Zieliński Piotr.xml"),
                QStringLiteral("Zieliński Piotr"), 5, {}, {}, at(10, 0)),
            row(eml1 + QStringLiteral(": RProg_matematyka_2a, 3b_Nowak Jan.xml"), QStringLiteral("Nowak Jan"),
                4, QStringLiteral("2a, 3b"), QStringLiteral("matematyka"), at(10, 5)),
            row(eml2 + QStringLiteral(": UNdst_matematyka_2a_Nowak Jan.xml"), QStringLiteral("Nowak Jan"), 6,
                QStringLiteral("2a"), QStringLiteral("matematyka"), at(10, 10)),
            row(mboxPath + QStringLiteral("#1: Dyrektor_Wiśniewska Ewa.xml"),
                QStringLiteral("Wiśniewska Ewa"), 7, {}, {}, at(11, 0)),
            row(mboxPath + QStringLiteral("#2: InneInfo_") + MakeDocNumber(at(11, 5).time()) +
                    QStringLiteral("_Zieliński Piotr.xml"),
                QStringLiteral("Zieliński Piotr"), 8, {}, {}, at(11, 5)),
            row(mboxPath + QStringLiteral("#3: ZKarty_") + MakeDocNumber(at(11, 10).time()) +
                    QStringLiteral("_Zieliński Piotr.xml"),
                QStringLiteral("Zieliński Piotr"), 9, {}, {}, at(11, 10)),
        };
        const QByteArray bom("\xEF\xBB\xBF");
        QVERIFY(readFile(csv).startsWith(bom) && readFile(missing).startsWith(bom));
        QCOMPARE(QString::fromUtf8(readFile(csv).mid(3)).split(QStringLiteral("\r\n")),
                 expected + QStringList{QString()});
        QCOMPARE(QString::fromUtf8(readFile(missing).mid(3)),
                 QStringLiteral("nauczyciel;brak\r\nPusty Marek;wszystkie\r\nLis Adam;\"1 (3b), 2 (3b)\"\r\n"));

        const QString page = QString::fromUtf8(readFile(html));
        for (const QString& part : {
                 // The class row: classified, promoted, full attendance, distinctions,
                 // failing, exemplary, lowered conduct; 3b has no classification.
                 QStringLiteral(
                     "<tr><td>2a</td><td>Kowalska Anna</td><td class=\"n\">3</td><td class=\"n\">2</td>"
                     "<td class=\"n\">1</td><td class=\"n\">2</td><td class=\"n\">1</td>"
                     "<td class=\"n\">1</td><td class=\"n\">1</td></tr>"),
                 QStringLiteral("<tr><td>3b</td><td>–</td><td class=\"n\">–</td>"),
                 QStringLiteral("<b>Stuprocentowa frekwencja:</b> Ola Kwiatkowska</p>"),
                 QStringLiteral("<b>Wyróżnieni (średnia):</b> Ola Kwiatkowska – 5,20, Jan Zięba</p>"),
                 QStringLiteral("<li>Piotr Mały – matematyka, fizyka</li>"),
                 QStringLiteral("<h4>Uzasadnienie ocen niedostatecznych: matematyka (Nowak Jan)</h4>\n"
                                "<p><b>Piotr Mały:</b></p>\n<p class=\"lines\">Brak prac domowych.</p>"),
                 QStringLiteral("<p><b>Zachowanie wzorowe:</b> Ola Kwiatkowska</p>"),
                 QStringLiteral(
                     "<p><b>Piotr Mały</b> – ocena: nieodpowiednie</p>\n<p class=\"lines\">Spóźnienia.<br>"
                     "Ocena &lt;celująca&gt; %1 niżej</p>"),
                 QStringLiteral("<p class=\"lines\">Klasa zgrana.</p>"),
                 QStringLiteral("<h4>Kowalska Anna – klasa 2a</h4>\n<p><b>Informacje ogólne:</b></p>\n"
                                "<p class=\"lines\">Wycieczka do Krakowa &amp; &quot;Wieliczki&quot;.</p>"),
                 QStringLiteral("<h4>Nowak Jan – matematyka, klasy: 2a, 3b</h4>"),
                 QStringLiteral("<p class=\"lines\">Olimpiada.</p>"),
                 QStringLiteral("<h4>Zieliński Piotr – zajęcia: kółko szachowe</h4>"),
                 QStringLiteral(
                     "<h4>Wiśniewska Ewa</h4>\n<p><b>Działalność dydaktyczna, wychowawcza i opiekuńcza:</b>"
                     "</p>\n<p class=\"lines\">Rok udany.</p>"),
                 QStringLiteral("<h4>Zieliński Piotr – dotyczy: Rada</h4>"),
                 QStringLiteral("<p class=\"lines\">Konsultacje.</p>"),
                 QStringLiteral(
                     "<b>Nauczyciele, którzy nie oddali żadnego sprawozdania:</b> Pusty Marek</p>"),
                 QStringLiteral(
                     "<b>Wychowawcy bez sprawozdań z klasyfikacji:</b> Lis Adam: temat 1 (3b), 2 (3b)</p>"),
                 QStringLiteral("<b>Klasy bez sprawozdania z klasyfikacji (temat 1):</b> 3b</p>"),
             })
            QVERIFY2(page.contains(part), qPrintable(part));
        QVERIFY(!page.contains(QStringLiteral("<celująca>")));

        // The PDF is the same page, printed.
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is needed");
        QProcess text;
        text.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(
            printed.contains(QStringLiteral("Zestawienie sprawozdań na posiedzenie rady pedagogicznej")) &&
                printed.contains(QStringLiteral("Ola Kwiatkowska – 5,20")) &&
                printed.contains(QStringLiteral("Ocena <celująca> %1 niżej")) &&
                printed.contains(QStringLiteral("Wycieczka do Krakowa & \"Wieliczki\".")),
            qPrintable(printed.left(2000)));
    }

    // Exit codes: 2 for bad usage or a missing input, 1 when a document is damaged
    // (the outputs are written all the same); names from documents reach the terminal
    // with their control characters shown, not sent.
    void commandLineExitCodes()
    {
        QTemporaryDir temp;
        const QDir root(temp.path());
        QVERIFY(writeFile(root.filePath(QStringLiteral("a.xml")),
                          handDocument(QStringLiteral("Zła\x1b[2J"), QStringLiteral("A B"), {}, {})));
        const QString csv = root.filePath(QStringLiteral("s.csv"));
        for (const QStringList& args :
             {QStringList{},
              {temp.path(), QStringLiteral("--missing"), csv},
              {root.filePath(QStringLiteral("brak"))},
              {temp.path(), QStringLiteral("--csv")},
              {temp.path(), QStringLiteral("--bogus")},
              {temp.path(), QStringLiteral("--csv"), root.filePath(QStringLiteral("a.xml"))}}) {
            const Run run = runCollect(args);
            QVERIFY2(run.exitCode == 2 && run.err.startsWith(QStringLiteral("tabulon-admin: collect: ")),
                     qPrintable(args.join(u' ') + QStringLiteral(" -> ") + run.err));
        }
        QVERIFY(!QFile::exists(csv));

        Run run = runCollect({temp.path(), QStringLiteral("--csv"), csv});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("„Zła\\x1b[2J”")) && !run.err.contains(QChar(0x1b)),
                 qPrintable(run.err));
        QVERIFY(QString::fromUtf8(readFile(csv)).contains(QStringLiteral(";uszkodzony;nieznany rodzaj")));

        run = runCollect({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Użycie: tabulon-admin collect ")));
    }

    void damagedDocumentsAreListed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QString date = QStringLiteral("12.06.2026 g. 10:00:00");
        QTest::newRow("no XML") << QByteArray("Ala ma kota") << QStringLiteral("nie jest dokument XML");
        QTest::newRow("data file") << QByteArray("<Belfry><Ilosc>0</Ilosc></Belfry>")
                                   << QStringLiteral("brak elementu Szkola/Doc");
        QTest::newRow("unknown topic")
            << handDocument(QStringLiteral("Lista obecności"), QStringLiteral("A B"), {}, date)
            << QStringLiteral("nieznany rodzaj sprawozdania „Lista obecności”");
        QTest::newRow("cut short") << programmeDocument(QStringLiteral("A B"), QStringLiteral("1a"),
                                                        QStringLiteral("x"), date)
                                          .replace("</Ogolne>", "</Sukcesy>")
                                   << QStringLiteral("niepoprawny XML");
        QTest::newRow("count above lines")
            << programmeDocument(QStringLiteral("A B"), QStringLiteral("1a"), QStringLiteral("x"), date)
                   .replace("<IloscWierszy>1<", "<IloscWierszy>2<")
            << QStringLiteral("brak elementu Ogolne/w1 (zapowiedziano 2)");
        QTest::newRow("count no number")
            << programmeDocument(QStringLiteral("A B"), QStringLiteral("1a"), QStringLiteral("x"), date)
                   .replace("<IloscWierszy>1<", "<IloscWierszy>1e9<")
            << QStringLiteral("Ogolne/IloscWierszy nie jest liczbą");
        QTest::newRow("count huge") << programmeDocument(QStringLiteral("A B"), QStringLiteral("1a"),
                                                         QStringLiteral("x"), date)
                                           .replace("<IloscWierszy>1<", "<IloscWierszy>2000000000<")
                                    << QStringLiteral("nie jest liczbą od 0 do 10000");
        QTest::newRow("block missing") << handDocument(QStringLiteral("Z karty"), QStringLiteral("A B"),
                                                       QStringLiteral("\t<Nr>953</Nr>\r\n"), date)
                                       << QStringLiteral("brak elementu Info");
        QTest::newRow("no teacher") << programmeDocument(QString(), QStringLiteral("1a"), QStringLiteral("x"),
                                                         date)
                                    << QStringLiteral("nie podano nauczyciela");
        QTest::newRow("no date") << programmeDocument(QStringLiteral("A B"), QStringLiteral("1a"),
                                                      QStringLiteral("x"), QStringLiteral("wczoraj"))
                                 << QStringLiteral("nieczytelna data „wczoraj”");
        QTest::newRow("average out of range")
            << handDocument(QStringLiteral("Werdykon klasy"), QStringLiteral("A B"),
                            QStringLiteral(
                                "<Klasa>1a</Klasa><Klasyfikowanych>1</Klasyfikowanych>"
                                "<Promowanych>1</Promowanych><Frekwencja><IleOsob>0</IleOsob></Frekwencja>"
                                "<Pasek><IleOsob>1</IleOsob><Uczen1>Ola<Srednia>-5</Srednia></Uczen1></Pasek>"
                                "<Ndst><IleOsob>0</IleOsob></Ndst>"),
                            date)
            << QStringLiteral("Pasek/Uczen1/Srednia nie jest średnią");
        QTest::newRow("too large") << QByteArray(5 * 1024 * 1024, ' ') << QStringLiteral("za duży");
    }

    // A damaged document is listed with its reason and the run goes on to the rest.
    void damagedDocumentsAreListed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir temp;
        const QString bad = temp.filePath(QStringLiteral("a.xml"));
        QVERIFY(writeFile(bad, bytes));
        QVERIFY(writeFile(temp.filePath(QStringLiteral("b.xml")),
                          programmeDocument(QStringLiteral("Lis Adam"), QStringLiteral("3b"),
                                            QStringLiteral("x"), QStringLiteral("12.06.2026 g. 10:00:00"))));
        ReportCollection reports;
        InputCollector collector(reports);
        QString error;
        QVERIFY(collector.addPath(temp.path(), &error));
        QCOMPARE(reports.reports().size(), 2);
        const CollectedReport& first = reports.reports().at(0);
        QCOMPARE(first.Source, bad);
        QCOMPARE(first.State, ReportState::Damaged);
        QVERIFY2(first.Reason.contains(reason), qPrintable(first.Reason));
        QCOMPARE(reports.reports().at(1).State, ReportState::Accepted);
    }

    // The latest Date counts; the same document read twice counts once; links inside a
    // folder are not followed; a formula in a name reaches the spreadsheet as text.
    void replacementsLinksAndCsvFields()
    {
        QTemporaryDir temp;
        QTemporaryDir outside;
        const QDir root(temp.path());
        QVERIFY(root.mkpath(QStringLiteral("kopia")));
        const QByteArray newer =
            programmeDocument(QStringLiteral("Kowalska  anna"), QStringLiteral("2A"), QStringLiteral("nowe"),
                              QStringLiteral("12.06.2026 g. 9:00:00"));
        QVERIFY(
            writeFile(root.filePath(QStringLiteral("a.xml")),
                      programmeDocument(QStringLiteral("Kowalska Anna"), QStringLiteral("2a"),
                                        QStringLiteral("stare"), QStringLiteral("10.06.2026 g. 10:00:00"))));
        QVERIFY(writeFile(root.filePath(QStringLiteral("b.xml")), newer));
        QVERIFY(writeFile(root.filePath(QStringLiteral("kopia/b.xml")), newer));
        QVERIFY(
            writeFile(root.filePath(QStringLiteral("c.xml")),
                      programmeDocument(QStringLiteral("Kowalska Anna"), QStringLiteral("2b"),
                                        QStringLiteral("inna"), QStringLiteral("01.06.2026 g. 10:00:00"))));
        QVERIFY(writeFile(root.filePath(QStringLiteral("d.xml")),
                          programmeDocument(QStringLiteral("=HYPERLINK(\"x\";1)"), QStringLiteral("-1"),
                                            QStringLiteral("x"), QStringLiteral("01.06.2026 g. 10:00:00"))));
        const QString secret = QDir(outside.path()).filePath(QStringLiteral("s.xml"));
        QVERIFY(writeFile(secret, newer));
        QVERIFY(QFile::link(secret, root.filePath(QStringLiteral("e.xml"))));
        QVERIFY(QFile::link(outside.path(), root.filePath(QStringLiteral("f"))));

        ReportCollection reports;
        InputCollector collector(reports);
        QString error;
        QVERIFY(collector.addPath(temp.path(), &error));
        QStringList seen;
        for (const CollectedReport& r : reports.reports())
            seen.append(r.Source.mid(temp.path().size() + 1) + u' ' + QString::number(int(r.State)) + u' ' +
                        r.Reason);
        const QString link = QStringLiteral("dowiązanie symboliczne; nie czytano go");
        QCOMPARE(
            seen,
            QStringList({
                QStringLiteral("a.xml 1 zastąpiony nowszym: ") + root.filePath(QStringLiteral("b.xml")) +
                    QStringLiteral(" (12.06.2026 g. 9:00:00)"),
                QStringLiteral("b.xml 0 "),
                QStringLiteral("c.xml 0 "),
                QStringLiteral("d.xml 0 "),
                QStringLiteral("e.xml 2 ") + link,
                QStringLiteral("f 2 ") + link,
                QStringLiteral("kopia/b.xml 1 ten sam dokument co ") + root.filePath(QStringLiteral("b.xml")),
            }));
        QVERIFY(reports.reports().at(0).Blocks.isEmpty()); // a replaced report keeps no contents
        QCOMPARE(reports.accepted(3).size(), 3);

        const QString csv = QString::fromUtf8(ReportsCsv::reports(reports));
        QVERIFY2(csv.contains(
                     QStringLiteral("\r\n") + root.filePath(QStringLiteral("d.xml")) +
                     QStringLiteral(";\"'=HYPERLINK(\"\"x\"\";1)\";3;'-1;;01.06.2026 10:00:00;przyjęty;\r\n")),
                 qPrintable(csv));
    }

    // Mails as other mail programs write them: a quoted-printable attachment with an
    // RFC 2231 name, a base64 one with an RFC 2047 name inside a forwarded mail, mails
    // without a report, in an mbox and in a Maildir folder.
    void mailEncodingsMailboxesAndMaildir()
    {
        QTemporaryDir temp;
        const QDir root(temp.path());
        const QByteArray doc = programmeDocument(QStringLiteral("Świątek Łucja"), QStringLiteral("1a"),
                                                 QStringLiteral("Zażółć gęślą jaźń = 100%"),
                                                 QStringLiteral("12.06.2026 g. 10:00:00"));
        QByteArray qp;
        for (const char c : doc) {
            const auto u = static_cast<unsigned char>(c);
            if (u == '\n')
                qp += "\n";
            else if (u == '\r')
                qp += "=0D";
            else if (u >= 0x80 || u == '=')
                qp += '=' + QByteArray::number(u, 16).toUpper();
            else
                qp += c;
        }
        const QByteArray qpMail = "From: =?ISO-8859-2?Q?=A6wi=B1tek?= <l@szkola.pl>\n"
                                  "Subject: test\nMIME-Version: 1.0\n"
                                  "Content-Type: multipart/mixed; boundary=\"XX\"\n\n"
                                  "--XX\nContent-Type: text/plain; charset=utf-8\n\nW załączniku.\n"
                                  "--XX\nContent-Type: text/xml; charset=windows-1250\n"
                                  "Content-Transfer-Encoding: quoted-printable\n"
                                  "Content-Disposition: attachment;\n"
                                  " filename*=iso-8859-2''RProgWych_1a_%A6wi%B1tek%20%A3ucja.xml\n\n" +
                                  qp + "\n--XX--\n";
        const QByteArray plainMail = "From: a@b.pl\nSubject: zebranie\n\nZebranie w piątek.\n";
        const QByteArray forwarded =
            "From: sekretariat@szkola.pl\nSubject: Fwd\nMIME-Version: 1.0\n"
            "Content-Type: multipart/mixed; boundary=\"OUT\"\n\n--OUT\nContent-Type: message/rfc822\n\n"
            "From: l@szkola.pl\nSubject: x\nMIME-Version: 1.0\nContent-Type: multipart/mixed; "
            "boundary=\"IN\"\n\n"
            "--IN\nContent-Type: application/octet-stream; name=\"=?ISO-8859-2?B?" +
            TextCodec::toIso88592(QStringLiteral("Kopia_ś.xml")).toBase64() +
            "?=\"\nContent-Transfer-Encoding: base64\n\n" + doc.toBase64() + "\n--IN--\n\n--OUT--\n";
        const QString mbox = root.filePath(QStringLiteral("Inbox"));
        QVERIFY(writeFile(mbox, "From a@b.pl Fri Jun 12 10:00:00 2026\n" + plainMail +
                                    "\nFrom l@szkola.pl Fri Jun 12 10:01:00 2026\n" + qpMail +
                                    "\nFrom s@szkola.pl Fri Jun 12 10:02:00 2026\n" + forwarded + "\n"));
        QVERIFY(root.mkpath(QStringLiteral("Maildir/cur")) && root.mkpath(QStringLiteral("Maildir/new")) &&
                root.mkpath(QStringLiteral("Maildir/tmp")));
        QVERIFY(writeFile(root.filePath(QStringLiteral("Maildir/new/1.host")), qpMail));
        QVERIFY(writeFile(root.filePath(QStringLiteral("Maildir/cur/2.host:2,S")), plainMail));
        QVERIFY(writeFile(root.filePath(QStringLiteral("notatki.txt")), "From me"));

        ReportCollection reports;
        InputCollector collector(reports);
        QString error;
        QVERIFY(collector.addPath(temp.path(), &error));
        QCOMPARE(collector.mailsRead(), 5);
        QCOMPARE(collector.mailsWithoutReport(), 2);
        QStringList seen;
        for (const CollectedReport& r : reports.reports())
            seen.append(r.Source.mid(temp.path().size() + 1) + u' ' + QString::number(int(r.State)));
        QCOMPARE(seen, QStringList({QStringLiteral("Inbox#2: RProgWych_1a_Świątek Łucja.xml 0"),
                                    QStringLiteral("Inbox#3: Kopia_ś.xml 1"),
                                    QStringLiteral("Maildir/new/1.host: RProgWych_1a_Świątek Łucja.xml 1")}));
        const CollectedReport& r = reports.reports().first();
        QCOMPARE(r.Teacher, QStringLiteral("Świątek Łucja"));
        QCOMPARE(r.Blocks.first().Lines, QStringList{QStringLiteral("Zażółć gęślą jaźń = 100%")});

        // A header longer than its cap is refused before GMime would hold it in memory;
        // a long body is no such case.
        QTemporaryDir other;
        const QString hostile = other.filePath(QStringLiteral("Wielka"));
        const QByteArray longLine(MailReader::kMaxHeaderBytes, 'x');
        QVERIFY(writeFile(hostile, "From a@b.pl Fri Jun 12 10:00:00 2026\n" + plainMail +
                                       "\nFrom x@y.pl Fri Jun 12 10:05:00 2026\nSubject: " + longLine +
                                       "\n\nx\n"));
        QVERIFY(writeFile(other.filePath(QStringLiteral("Dluga")),
                          "From a@b.pl Fri Jun 12 10:00:00 2026\n" + qpMail + "\n" + longLine + "\n"));
        ReportCollection guarded;
        InputCollector guard(guarded);
        QVERIFY(guard.addPath(other.path(), &error));
        QStringList states;
        for (const CollectedReport& report : guarded.reports())
            states.append(QFileInfo(report.Source.section(u':', 0, 0)).fileName() + u' ' +
                          QString::number(int(report.State)) + u' ' + report.Reason);
        states.sort();
        QCOMPARE(states.size(), 2);
        QVERIFY2(states.at(0).startsWith(QStringLiteral("Dluga#1 0")), qPrintable(states.at(0)));
        QCOMPARE(states.at(1),
                 QStringLiteral("Wielka#2 2 nagłówki listu mają razem ponad 1 MB"));
    }
};

QTEST_GUILESS_MAIN(TestCollect)
#include "tst_collect.moc"
