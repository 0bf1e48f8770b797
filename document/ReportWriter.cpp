#include "document/ReportWriter.h"

#include "core/KlasaFull.h"
#include "core/TextForm.h"
#include "document/ReportPreview.h"
#include "encoding/PKXML.h"
#include "encoding/TextCodec.h"
#include "files/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <memory>

namespace {

const QString kSchool = QStringLiteral("Szkola");
const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>");

} // namespace

QString WrittenText(const QString& text)
{
    return TextCodec::fromCp1250(TextCodec::toCp1250(XmlCharacters(text)));
}

std::function<QString(const QString&)> RememberingWrittenText()
{
    auto seen = std::make_shared<QHash<QString, QString>>();
    return [seen](const QString& text) {
        auto known = seen->constFind(text);
        if (known == seen->constEnd())
            known = seen->insert(text, WrittenText(text));
        return *known;
    };
}

QString MakeDocNumber(const QTime& time)
{
    return QString::number(time.hour()) + QString::number(time.minute()) + QString::number(time.second());
}

QString StampDate(const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    return QStringLiteral("%1.%2.%3 g. %4:%5:%6")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

bool SaveReportFile(const TpkXML& doc, const QString& folder, const QString& name, QString* error)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".xml"));
    if (name.isEmpty() || QDir::cleanPath(QFileInfo(path).absolutePath()) != QDir(folder).absolutePath()) {
        if (error)
            *error = QStringLiteral("invalid document name");
        return false;
    }

    // The tree's own text, read back as lines (CR LF, CR or LF end one), with the
    // declaration in front and every line ended by CR LF.
    QString text = doc.GetXMLText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    lines.prepend(kDeclaration);
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += TextCodec::toCp1250(XmlCharacters(line)) + "\r\n";

    if (const FileResult written = SafeFile::Write(path, bytes); !written) {
        if (error)
            *error = FileFailureText(written);
        return false;
    }
    return true;
}

ReportWriter::ReportWriter(TpkXML& doc, QStringList& page) : m_doc(doc), m_page(page) {}

TpkXMLNode* ReportWriter::node(const QStringList& path)
{
    TpkXMLNode* n = m_doc.FindNode(kSchool, true);
    for (const QString& step : path)
        n = n->FindNode(step, true);
    return n;
}

void ReportWriter::setValue(const QStringList& path, const QString& value)
{
    node(path)->Value = value;
}

void ReportWriter::WriteSchoolValue(const QString& name, const QString& value)
{
    setValue({name}, value);
}

void ReportWriter::WriteMemoLines(const QString& name, const QString& prefix, const QStringList& lines)
{
    setValue({name, QStringLiteral("IloscWierszy")}, QString::number(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        setValue({name, prefix + QString::number(i)}, lines.at(i));
        PreviewLine(m_page, PreviewEscape(lines.at(i)));
    }
}

void ReportWriter::WriteTextLines(const QString& name, const QString& prefix, const QString& text)
{
    WriteMemoLines(name, prefix, SplitText(text));
}

void ReportWriter::WriteStamp(const QString& machineSignature, const QDateTime& now)
{
    WriteSchoolValue(QStringLiteral("User"), machineSignature);
    WriteSchoolValue(QStringLiteral("Date"), StampDate(now));
}

void ReportWriter::writeMarkedPupils(_KlasaFull& sheet, const QString& element, int mark)
{
    const int count = sheet.CountMarks(mark);
    setValue({element, QStringLiteral("IleOsob")}, QString::number(count));
    int n = 1;
    for (int r = 0; r < sheet.PupilCount; ++r) {
        const _UczenFull& u = sheet.Rows.at(r);
        const bool marked = mark == MarkFullAttendance     ? u.FullAttendance
                            : mark == MarkExemplaryConduct ? u.ExemplaryConduct
                                                           : u.Average != 0;
        if (!marked)
            continue;
        const QString pupil = QStringLiteral("Uczen") + QString::number(n++);
        setValue({element, pupil}, u.Name);
        if (mark == MarkAverage)
            setValue({element, pupil, QStringLiteral("Srednia")}, QString::number(u.Average));
    }
}

void ReportWriter::WriteFullAttendance(_KlasaFull& sheet)
{
    writeMarkedPupils(sheet, QStringLiteral("Frekwencja"), MarkFullAttendance);
}

void ReportWriter::WriteExemplaryConduct(_KlasaFull& sheet)
{
    writeMarkedPupils(sheet, QStringLiteral("Wzorowi"), MarkExemplaryConduct);
}

void ReportWriter::WriteDistinctions(_KlasaFull& sheet)
{
    writeMarkedPupils(sheet, QStringLiteral("Pasek"), MarkAverage);
}

void ReportWriter::WriteFailingGrades(const _KlasaFull& sheet)
{
    const QString element = QStringLiteral("Ndst");
    setValue({element, QStringLiteral("IleOsob")}, QString::number(sheet.FailCount));
    int n = 1;
    for (int r = 0; r < sheet.PupilCount; ++r) {
        const _UczenFull& u = sheet.Rows.at(r);
        if (u.FailSubjects.isEmpty())
            continue;
        // The sheet's rows are the chosen class's pupils in class order.
        const QString pupil = QStringLiteral("Uczen") + QString::number(n++);
        setValue({element, pupil}, u.Name);
        setValue({element, pupil, QStringLiteral("Przedmioty")}, u.FailSubjects);
    }
}

void ReportWriter::writeJustifications(_KlasaFull& sheet, bool conduct)
{
    const JustificationKind kind = conduct ? JustificationKind::Conduct : JustificationKind::FailingGrade;
    const QString element = conduct ? QStringLiteral("Obnizone") : QStringLiteral("Uzasadnienia");
    sheet.ClearGroupedMarks();
    const auto written = RememberingWrittenText();
    int n = 1;
    QStringList group;
    for (int r = 0; r < sheet.PupilCount; ++r) {
        // A copy: grouping writes marks into the sheet's rows.
        const _UczenFull u = sheet.Rows.at(r);
        const QString& data = conduct ? u.ConductGrade : u.FailSubjects;
        if (data.isEmpty() || u.Grouped)
            continue;
        sheet.GroupSameJustification(kind, r, group, written);
        const QString entry = QStringLiteral("Uzasadnienie") + QString::number(n++);
        setValue({element, entry, QStringLiteral("Osoba")},
                 group.size() > 1 ? JoinWithCommas(group) : u.Name);
        if (conduct)
            setValue({element, entry, QStringLiteral("Ocena")}, u.ConductGrade);
        const QStringList lines = sheet.JustificationToLines(kind, r);
        setValue({element, entry, QStringLiteral("IloscWierszy")}, QString::number(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            setValue({element, entry, QStringLiteral("Wiersz") + QString::number(i)}, lines.at(i));
    }
    setValue({element, QStringLiteral("Ilosc")}, QString::number(n - 1));
}

void ReportWriter::WriteGradeJustifications(_KlasaFull& sheet)
{
    writeJustifications(sheet, false);
}

void ReportWriter::WriteConductJustifications(_KlasaFull& sheet)
{
    writeJustifications(sheet, true);
}
