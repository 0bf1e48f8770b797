#include "fuzz/FuzzTargets.h"

#include "collect/CollectedReport.h"
#include "collect/MailReader.h"
#include "collect/ReportCollection.h"
#include "collect/ReportsCsv.h"
#include "collect/SummaryHtml.h"
#include "core/AppState.h"
#include "core/SchoolData.h"
#include "core/SettingsReader.h"
#include "core/TextLines.h"
#include "document/ReportFileName.h"
#include "document/ReportReader.h"
#include "encoding/PKXML.h"
#include "encoding/ValueBase64.h"
#include "encoding/ValueCipher.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"
#include "update/VersionDate.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <sys/mman.h>
#include <unistd.h>

namespace {

QString utf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

// True when every line of `text` ends with CR LF, holds no other CR or LF and no
// NUL, and is at most `limit` characters long.
bool wellFormedLines(const QByteArray& text, qsizetype limit)
{
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf("\r\n", start);
        if (end < 0 || end - start > limit)
            return false;
        const QByteArrayView line(text.constData() + start, end - start);
        if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
            return false;
        start = end + 2;
    }
    return true;
}

} // namespace

const QList<FuzzTarget>& FuzzTargets()
{
    static const QList<FuzzTarget> targets = {
        {"data_files", FuzzDataFiles}, {"values", FuzzValues}, {"settings", FuzzSettings},
        {"version_file", FuzzVersionFile}, {"mail", FuzzMail}, {"report_file_name", FuzzReportFileName},
        {"summary", FuzzSummary},
    };
    return targets;
}

bool FuzzDataFiles(QByteArrayView bytes)
{
    TpkXML xml;
    xml.LoadFromBuffer(bytes);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    xml.SaveToStream(out);
    // What the writer wrote must load again.
    TpkXML again;
    if (!out.data().isEmpty() && !again.LoadFromBuffer(out.data()))
        return false;

    SchoolData model;
    for (DataFileKind kind : {DataFileKind::Teachers, DataFileKind::Subjects, DataFileKind::Classes}) {
        DataFileStatus status;
        if (!LoadDataBuffer(kind, bytes, model, &status) && status.reason.isEmpty())
            return false;
    }
    return true;
}

bool FuzzValues(QByteArrayView bytes)
{
    const QString text = QString::fromLatin1(bytes);
    if (const std::optional<QByteArray> decoded = ValueBase64::decode(text)) {
        // What was taken encodes to a text that gives the same bytes again.
        if (ValueBase64::decode(ValueBase64::encode(*decoded)) != decoded)
            return false;
    }
    const QString plain = DecodeValue(text);
    DecodeValue(utf8(bytes));
    // A decoded text is Windows-1250 text, so it is stored and read back unchanged.
    return DecodeValue(EncodeValue(plain)) == plain;
}

bool FuzzSettings(QByteArrayView bytes)
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    AppState state;
    state.SettingsFile = folder.filePath(QStringLiteral("Tabulon.ini"));
    QFile file(state.SettingsFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    file.close();
    const bool read = ReadSettings(state, folder.path(), DecodeValue);
    const qsizetype lines = TextLines::split(bytes.toByteArray()).size();
    if (read && lines < 9)
        return false;
    // The tenth line is the only way to allow a login in clear.
    if (state.Settings.AllowPlainLogin && (!read || lines < 10))
        return false;
    if (read)
        NormaliseSettings(state.Settings);
    return true;
}

bool FuzzVersionFile(QByteArrayView bytes)
{
    for (const QByteArray& line : TextLines::split(bytes.toByteArray())) {
        const QString value = DecodeValue(QString::fromLatin1(line));
        for (const QString& text : {value, QString::fromLatin1(line)}) {
            const QDate date = ParseVersionDate(text);
            // A date that was read is read the same from its own Polish form.
            if (date.isValid() && ParseVersionDate(date.toString(QStringLiteral("dd.MM.yyyy"))) != date)
                return false;
        }
    }
    return true;
}

bool FuzzMail(QByteArrayView bytes)
{
    // The fields, separated by 0xFF (a byte UTF-8 never holds).
    const QList<QByteArray> parts = bytes.toByteArray().split('\xFF');
    const auto field = [&](int i) { return i < parts.size() ? utf8(parts.at(i)) : QString(); };
    MailMessage m;
    m.SenderName = field(0);
    m.SenderAddress = field(1);
    m.Recipients = field(2);
    m.Subject = field(3);
    m.HtmlBody = field(4);
    m.AttachmentName = field(5);
    m.AttachmentBytes = parts.value(6);
    m.Date = QDateTime(QDate(2026, 6, 19), QTime(14, 5, 9));

    for (int used : {0, 9, 40}) {
        // Every line of a header value stays within the soft limit, its first line
        // counting what stands before it.
        for (const QByteArray& value :
             {HeaderEncoding::encodeText(m.Subject, used), HeaderEncoding::encodePhrase(m.SenderName, used)}) {
            const QByteArray line = QByteArray(used, 'x') + value + "\r\n";
            if (!wellFormedLines(line, HeaderEncoding::kMaxLine))
                return false;
        }
    }
    QStringList addresses;
    if (HeaderEncoding::splitAddressList(m.Recipients, &addresses)) {
        for (const QString& a : addresses) {
            if (!HeaderEncoding::isPlainAddress(a))
                return false;
        }
    }

    const QByteArray mail = m.compose();
    if (mail.isEmpty())
        return true;
    if (!wellFormedLines(mail, HeaderEncoding::kMaxHardLine))
        return false;
    // The header block: lines within the soft limit, unless a line holds a single word
    // that no fold could split (a long address).
    const QByteArray head = mail.left(mail.indexOf("\r\n\r\n") + 2);
    for (QByteArray line : head.split('\n')) {
        if (line.size() <= HeaderEncoding::kMaxLine + 1)
            continue;
        line = line.trimmed();
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0 && !line.left(colon).contains(' '))
            line = line.mid(colon + 2);
        if (line.contains(' '))
            return false;
    }
    // The attachment arrives as it was given.
    const qsizetype disposition = mail.indexOf("Content-Disposition:");
    const qsizetype dataStart = mail.indexOf("\r\n\r\n", disposition) + 4;
    const QByteArray base64 = mail.mid(dataStart, mail.indexOf("\r\n--", dataStart) - dataStart);
    return QByteArray::fromBase64(base64) == m.AttachmentBytes;
}

bool FuzzReportFileName(QByteArrayView bytes)
{
    const QList<QByteArray> parts = bytes.toByteArray().split('\xFF');
    QStringList values;
    for (qsizetype i = 1; i < parts.size(); ++i)
        values << utf8(parts.at(i));
    const QString prefix = utf8(parts.value(0));
    for (const QString& name : {SafeFileName(prefix), ReportFileName(prefix, values)}) {
        if (name.toUtf8().size() > 200)
            return false;
        for (const QChar c : name) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
                return false;
        }
        if (!name.isEmpty() && name.back().isHighSurrogate())
            return false;
    }
    // Shortening keeps the start of the mended name.
    const QString whole = SafeFileName(prefix);
    QString mended = prefix;
    for (QChar& c : mended) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('-');
    }
    return mended.startsWith(whole);
}

namespace {

// A report document of `topic` whose every text is one of `texts` (cycled), escaped
// as the program's writer escapes them, so that the texts reach the summary.
QByteArray templateDocument(int topic, const QStringList& texts)
{
    int next = 0;
    const auto text = [&]() {
        const QString t = texts.isEmpty() ? QString() : texts.at(next++ % texts.size());
        QString e = t.toHtmlEscaped();
        return e;
    };
    QString body;
    const auto leaf = [&](const char* name) {
        body += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(name), text());
    };
    const auto block = [&](const char* name) {
        body += QStringLiteral("<%1><IloscWierszy>2</IloscWierszy><w0>%2</w0><w1>%3</w1></%1>")
                    .arg(QLatin1String(name), text(), text());
    };
    const auto names = [&](const char* name, const char* detail) {
        body += QStringLiteral("<%1><IleOsob>2</IleOsob>").arg(QLatin1String(name));
        for (int i = 1; i <= 2; ++i) {
            body += QStringLiteral("<Uczen%1>%2").arg(i).arg(text());
            if (detail && QLatin1String(detail) == u"Srednia")
                body += QStringLiteral("<Srednia>%1</Srednia>").arg(i * 250);
            else if (detail)
                body += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(detail), text());
            body += QStringLiteral("</Uczen%1>").arg(i);
        }
        body += QStringLiteral("</%1>").arg(QLatin1String(name));
    };
    const auto justifications = [&](const char* name, bool conduct) {
        body += QStringLiteral("<%1><Uzasadnienie1><Osoba>%2</Osoba>").arg(QLatin1String(name), text());
        if (conduct)
            body += QStringLiteral("<Ocena>%1</Ocena>").arg(text());
        body += QStringLiteral("<IloscWierszy>1</IloscWierszy><Wiersz0>%1</Wiersz0></Uzasadnienie1>"
                               "<Ilosc>1</Ilosc></%2>")
                    .arg(text(), QLatin1String(name));
    };
    switch (topic) {
    case 1:
        leaf("Klasa"); leaf("Klasyfikowanych"); leaf("Promowanych");
        names("Frekwencja", nullptr); names("Pasek", "Srednia"); names("Ndst", "Przedmioty");
        break;
    case 2:
        leaf("Klasa"); leaf("Klasyfikowanych"); names("Wzorowi", nullptr); justifications("Obnizone", true);
        block("Uwagi");
        break;
    case 3:
        leaf("Klasa"); block("Ogolne"); block("Sukcesy");
        break;
    case 4:
        leaf("Przedmiot"); leaf("Klasy"); block("Ogolne"); block("Sukcesy");
        break;
    case 5:
        leaf("Zajecia"); leaf("Nr"); block("Ogolne");
        break;
    case 6:
        leaf("Przedmiot"); leaf("Klasa"); justifications("Uzasadnienia", false);
        break;
    case 7:
        block("Dydaktyczna"); block("Nadzor");
        break;
    case 8:
        leaf("Dotyczy"); leaf("Nr"); block("Info");
        break;
    default:
        leaf("Nr"); block("Info");
        break;
    }
    QString teacher = text();
    if (teacher.trimmed().isEmpty())
        teacher = QStringLiteral("N");
    const QString doc = QStringLiteral("<?xml version=\"1.0\"  encoding=\"UTF-8\"?>\r\n<Szkola><Doc>%1</Doc>"
                                       "<Belfer>%2</Belfer>%3<User>u</User><Date>12.06.2026 g. 10:00:00</Date>"
                                       "</Szkola>\r\n")
                            .arg(TopicDocTitle(topic), teacher, body);
    return doc.toUtf8();
}

// Every text a collection holds, with the characters of markup put in its place.
ReportCollection defused(const ReportCollection& from)
{
    const auto clean = [](QString t) {
        for (QChar& c : t) {
            // Private-use letters keep distinct texts distinct.
            if (const qsizetype k = QStringView(u"<>\"'&").indexOf(c); k >= 0)
                c = QChar(char16_t(0xE000 + k));
        }
        return t;
    };
    const auto cleanList = [&](QStringList list) {
        for (QString& t : list)
            t = clean(t);
        return list;
    };
    ReportCollection to;
    to.setRunTime(from.runTime());
    for (CollectedReport r : from.reports()) {
        for (QString* t : {&r.Source, &r.Reason, &r.Teacher, &r.ClassName, &r.Subject, &r.Activity, &r.Number,
                           &r.DateText, &r.Classified, &r.Promoted})
            *t = clean(*t);
        r.FullAttendance = cleanList(r.FullAttendance);
        r.Exemplary = cleanList(r.Exemplary);
        for (auto* list : {&r.Distinctions, &r.Failing}) {
            for (ReportPupil& p : *list) {
                p.Name = clean(p.Name);
                p.Subjects = clean(p.Subjects);
            }
        }
        for (ReportJustification& j : r.Justifications) {
            j.Pupils = clean(j.Pupils);
            j.Grade = clean(j.Grade);
            j.Lines = cleanList(j.Lines);
        }
        for (ReportBlock& b : r.Blocks)
            b.Lines = cleanList(b.Lines);
        to.add(std::move(r));
    }
    return to;
}

// The fields of one CSV line as a spreadsheet reads them (RFC 4180 quoting: a quote
// at the start of a field opens it), split at any of `separators`: ours alone, or
// ours together with the comma and TAB a spreadsheet may be told to split on too.
QStringList csvFields(const QString& line, QStringView separators)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (separators.contains(c)) {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

// The records of a CSV text (line breaks inside quotes belong to the field).
QStringList csvRecords(const QString& text)
{
    QStringList records;
    QString record;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            records.append(record);
            record.clear();
            ++i;
            continue;
        }
        record += c;
    }
    if (!record.isEmpty())
        records.append(record);
    return records;
}

bool noFormula(const QByteArray& csv, int columns)
{
    if (!csv.startsWith("\xEF\xBB\xBF"))
        return false;
    for (const QString& record : csvRecords(QString::fromUtf8(csv.mid(3)))) {
        if (csvFields(record, u";").size() != columns)
            return false;
        for (QStringView separators : {QStringView(u";"), QStringView(u";,\t")}) {
            for (const QString& f : csvFields(record, separators)) {
                if (!f.isEmpty() && QStringView(u"=+-@\t\r").contains(f.front()))
                    return false;
            }
        }
    }
    return true;
}

} // namespace

bool FuzzSummary(QByteArrayView bytes)
{
    ReportCollection reports;
    MailReader::Sink sink;
    sink.attachment = [&](const QString& source, const QByteArray& attachment, const QString& error) {
        if (error.isEmpty())
            reports.add(ReadReportDocument(attachment, source));
    };
    sink.damaged = [&](const QString& source, const QString& error) {
        CollectedReport r;
        r.Source = source;
        r.Reason = error;
        reports.add(std::move(r));
    };
    reports.add(ReadReportDocument(bytes, utf8(bytes.first(std::min<qsizetype>(bytes.size(), 60)))));
    for (bool mailbox : {false, true}) {
        const int fd = ::memfd_create("fuzz_summary", MFD_CLOEXEC);
        if (fd < 0)
            return false;
        if (::write(fd, bytes.data(), static_cast<size_t>(bytes.size())) != bytes.size()) {
            ::close(fd);
            return false;
        }
        if (mailbox)
            MailReader::ReadMailbox(fd, QStringLiteral("skrzynka"), sink);
        else
            MailReader::ReadSingleMail(fd, QStringLiteral("list"), sink);
    }
    // The bytes as texts: pieces between NUL bytes, in reports of every topic.
    const QStringList texts = utf8(bytes).split(QChar(0));
    for (int topic = 1; topic <= kTopicCount; ++topic)
        reports.add(ReadReportDocument(templateDocument(topic, texts), QStringLiteral("szablon")));

    SummaryInput input;
    input.Reports = &reports;
    input.Generated = QDateTime(QDate(2026, 6, 19), QTime(12, 0));
    const QString page = SummaryHtml(input);
    const ReportCollection plain = defused(reports);
    input.Reports = &plain;
    const QString plainPage = SummaryHtml(input);
    // With every character of markup taken out of the texts, the page must keep
    // exactly as many: none of them came from a text.
    for (QChar c : {QChar(u'<'), QChar(u'>'), QChar(u'"')}) {
        if (page.count(c) != plainPage.count(c))
            return false;
    }
    if (SummaryHtmlParts(input).join(QString()) != plainPage)
        return false;
    return noFormula(ReportsCsv::reports(reports), 8) && noFormula(ReportsCsv::missing({}), 2);
}
