#include "support/CollectionSample.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "document/ReportRoutines.h"
#include "encoding/TextCodec.h"
#include "protocol/MailMessage.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

namespace {

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2026, 6, 19), QTime(hour, minute, 3));
}

QByteArray mailOf(AppState& state)
{
    const QString path = state.TempFolder + state.DocumentFileName + QStringLiteral(".xml");
    MailMessage m;
    m.SenderName = state.TeacherName;
    m.SenderAddress = QStringLiteral("nauczyciel@szkola.pl");
    m.Recipients = QStringLiteral("sekretariat@szkola.pl");
    m.Subject = QStringLiteral("Sprawozdanie - ") + state.TeacherName;
    m.HtmlBody = QStringLiteral("Witam.\r\nOto moje sprawozdanie.");
    m.AttachmentPath = path;
    const QByteArray bytes = m.compose();
    QFile::remove(path); // mailed reports do not lie in the network folder
    return bytes;
}

} // namespace

bool CollectionSample::write(const QString& root)
{
    const QDir dir(root);
    if (!dir.mkpath(QStringLiteral("siec")) || !dir.mkpath(QStringLiteral("dane")))
        return false;
    NetworkFolder = dir.filePath(QStringLiteral("siec"));
    DataFolder = dir.filePath(QStringLiteral("dane"));
    AppState state;
    state.TempFolder = NetworkFolder + u'/';
    state.MachineSignature = QStringLiteral("PC jan Linux");

    state.TeacherName = QStringLiteral("Kowalska Anna");
    _KlasaFull sheet;
    sheet.LoadClassSheet(QStringLiteral("2a"), {QStringLiteral("Ola Kwiatkowska"), QStringLiteral("Piotr Mały"),
                                                QStringLiteral("Jan Zięba")});
    sheet.Rows[0].FullAttendance = true;
    sheet.Rows[0].Average = 520;
    sheet.Rows[1].FailSubjects = QStringLiteral("matematyka, fizyka");
    bool ok = WriteWerdykonReport({QStringLiteral("2a"), QStringLiteral("3"), QStringLiteral("2")}, sheet, state,
                                  at(9, 5));
    ok = WriteRealWychReport({QStringLiteral("2a"), {QStringLiteral("Wycieczka do Krakowa.")}, {}}, state, at(9, 15)) &&
         ok;
    state.TeacherName = QStringLiteral("Lis Adam");
    ok = WriteRealWychReport({QStringLiteral("3b"), {QStringLiteral("Plan wychowawczy.")}, {}}, state, at(9, 20)) && ok;

    // Mailed: Nowak's curriculum, Kowalska's conduct, Zieliński's activities.
    state.TeacherName = QStringLiteral("Nowak Jan");
    ok = WriteRealProgramuReport({QStringLiteral("matematyka"), QStringLiteral("2a, 3b"),
                                  {QStringLiteral("Program zrealizowany.")}, {QStringLiteral("Olimpiada.")}},
                                 state, at(10, 5)) &&
         ok;
    Mails.append(mailOf(state));
    state.TeacherName = QStringLiteral("Kowalska Anna");
    sheet.LoadClassSheet(QStringLiteral("2a"), {QStringLiteral("Ola Kwiatkowska"), QStringLiteral("Piotr Mały")});
    sheet.Rows[0].ExemplaryConduct = true;
    ok = WriteZachowanieReport({QStringLiteral("2a"), QStringLiteral("2"), {QStringLiteral("Klasa zgrana.")}}, sheet,
                               state, at(10, 10)) &&
         ok;
    Mails.append(mailOf(state));
    state.TeacherName = QStringLiteral("Zieliński Piotr");
    ok = WriteZajDodatkoweReport({QStringLiteral("kółko szachowe"), {QStringLiteral("Turniej.")}}, state, at(10, 20)) &&
         ok;
    Mails.append(mailOf(state));

    ok = TestFiles::writeFile(QDir(DataFolder).filePath(QStringLiteral("nauczyciele.kbs")),
                              TextCodec::toCp1250(QStringLiteral(
                                  "<Belfry><Ilosc>5</Ilosc>"
                                  "<Belfer1><Nzw>Kowalska</Nzw><Im>Anna</Im></Belfer1>"
                                  "<Belfer2><Nzw>Lis</Nzw><Im>Adam</Im></Belfer2>"
                                  "<Belfer3><Nzw>Nowak</Nzw><Im>Jan</Im></Belfer3>"
                                  "<Belfer4><Nzw>Pusty</Nzw><Im>Marek</Im></Belfer4>"
                                  "<Belfer5><Nzw>Zieliński</Nzw><Im>Piotr</Im></Belfer5></Belfry>"))) &&
         ok;
    ok = TestFiles::writeFile(
             QDir(DataFolder).filePath(QStringLiteral("uczniowie.kls")),
             TextCodec::toCp1250(QStringLiteral(
                 "<Szkola><IloscKlas>2</IloscKlas><Klasa1><Nazwa>2a</Nazwa><IleUczniow>0</IleUczniow>"
                 "</Klasa1><Klasa2><Nazwa>3b</Nazwa><IleUczniow>0</IleUczniow></Klasa2></Szkola>"))) &&
         ok;
    return ok;
}

QByteArray CollectionSample::LateMail(const QString& tempFolder)
{
    AppState state;
    state.TempFolder = tempFolder + u'/';
    state.MachineSignature = QStringLiteral("PC jan Linux");
    state.TeacherName = QStringLiteral("Lis Adam");
    _KlasaFull sheet;
    sheet.LoadClassSheet(QStringLiteral("3b"), {QStringLiteral("Ewa Nowa")});
    if (!WriteWerdykonReport({QStringLiteral("3b"), QStringLiteral("1"), QStringLiteral("1")}, sheet, state, at(12, 0)))
        return {};
    return mailOf(state);
}
