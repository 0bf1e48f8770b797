#include "document/ReportReader.h"

#include "core/DataFileReader.h"
#include "core/SchoolData.h"
#include "encoding/PKXML.h"
#include "encoding/TextCodec.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <array>

namespace {

struct TopicNames
{
    const char16_t* doc;
    const char16_t* heading;
};

// Doc titles as the report routines write them; headings as their preview pages.
constexpr std::array<TopicNames, kTopicCount> kTopics{{
    {u"Werdykon klasy", u"Werdykon klasy - nauczanie"},
    {u"Werdykon klasy z zachowania", u"Werdykon klasy - zachowanie"},
    {u"Realizacja programu wychowawczego", u"Realizacja programu wychowawczego klasy"},
    {u"Realizacja programu z przedmiotu nauczania", u"Realizacja programu z przedmiotu nauczania"},
    {u"Realizacja dodatkowych", u"Realizacja zajęć dodatkowych"},
    {u"Uzasadnienie oceny niedostatecznej", u"Uzasadnienie oceny niedostatecznej"},
    {u"Sprawozdanie dyrektora", u"Sprawozdanie dyrektora szkoły"},
    {u"Inne informacje", u"Informacje o realizacji innych zadań"},
    {u"Z karty", u"Sprawozdanie z zajęć wynikających z karty"},
}};

// The number after a line element's name: decimal digits without a leading zero;
// -1 for anything else.
int lineIndex(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 6 || (digits.size() > 1 && digits.front() == u'0'))
        return -1;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The highest average a pupil can have: 6,00.
constexpr int kMaxHundredths = 600;

// Reads the elements of one document, stopping at the first fault, whose reason it
// keeps. Every lookup ignores letter case, as the program's reader does.
class Reader
{
public:
    explicit Reader(const TpkXMLNode* top) : m_top(top) {}

    bool ok() const { return m_reason.isEmpty(); }
    const QString& reason() const { return m_reason; }

    void fail(const QString& reason)
    {
        if (m_reason.isEmpty())
            m_reason = reason;
    }

    const TpkXMLNode* child(const TpkXMLNode* parent, const QString& name, const QString& where)
    {
        const TpkXMLNode* node = DataFileReader::find(parent, name);
        if (!node && ok())
            fail(QStringLiteral("brak elementu %1").arg(where.isEmpty() ? name : where + u'/' + name));
        return node;
    }

    // The text of a leaf under the top element.
    QString text(const QString& name)
    {
        const TpkXMLNode* node = child(m_top, name, QString());
        return node ? node->Value : QString();
    }

    // A count: a decimal number from 0 to kMaxReportEntries.
    int count(const TpkXMLNode* parent, const QString& name, const QString& where)
    {
        const TpkXMLNode* node = child(parent, name, where);
        if (!node)
            return 0;
        qint32 value = 0;
        if (!ParseDataInteger(node->Value, &value) || value < 0 || value > kMaxReportEntries) {
            fail(QStringLiteral("%1/%2 nie jest liczbą od 0 do %3")
                     .arg(where, name, QString::number(kMaxReportEntries)));
            return 0;
        }
        return value;
    }

    // The children prefix + 1 ... prefix + n (or from 0 when `fromZero`), all present.
    std::vector<const TpkXMLNode*> numbered(const TpkXMLNode* parent, const QString& prefix, int n,
                                            const QString& where, bool fromZero = false)
    {
        std::vector<const TpkXMLNode*> found;
        if (!ok())
            return found;
        // numbered() counts from 1; lines counted from 0 are shifted by one.
        std::vector<const TpkXMLNode*> all;
        if (fromZero) {
            all.assign(static_cast<size_t>(n), nullptr);
            for (int i = 0; parent && i < parent->NodeCount(); ++i) {
                const TpkXMLNode* c = parent->GetNode(i);
                if (c->Name.size() <= prefix.size() ||
                    !SameNameNoCase(QStringView(c->Name).left(prefix.size()), prefix))
                    continue;
                const int k = lineIndex(QStringView(c->Name).mid(prefix.size()));
                if (k >= 0 && k < n && !all[static_cast<size_t>(k)])
                    all[static_cast<size_t>(k)] = c;
            }
        } else {
            all = DataFileReader::numbered(parent, prefix, n);
            all.erase(all.begin());
        }
        for (size_t i = 0; i < all.size(); ++i) {
            if (!all[i]) {
                fail(QStringLiteral("brak elementu %1/%2%3 (zapowiedziano %4)")
                         .arg(where, prefix, QString::number(static_cast<int>(i) + (fromZero ? 0 : 1)),
                              QString::number(n)));
                return {};
            }
        }
        return all;
    }

    // A text block: IloscWierszy, then w0, w1 ...
    QStringList block(const QString& name)
    {
        const TpkXMLNode* node = child(m_top, name, QString());
        const int n = count(node, QStringLiteral("IloscWierszy"), name);
        QStringList lines;
        for (const TpkXMLNode* line : numbered(node, QStringLiteral("w"), n, name, true))
            lines.append(line->Value);
        return lines;
    }

    // A list of pupils: IleOsob, then Uczen1 ... each with an optional child.
    QList<ReportPupil> pupils(const QString& name, const QString& detail)
    {
        const TpkXMLNode* node = child(m_top, name, QString());
        const int n = count(node, QStringLiteral("IleOsob"), name);
        QList<ReportPupil> list;
        for (const TpkXMLNode* pupil : numbered(node, QStringLiteral("Uczen"), n, name)) {
            ReportPupil p;
            p.Name = pupil->Value;
            const QString where = name + u'/' + pupil->Name;
            if (detail == u"Srednia") {
                const TpkXMLNode* avg = child(pupil, detail, where);
                qint32 value = 0;
                if (avg && (!ParseDataInteger(avg->Value, &value) || value < 0 || value > kMaxHundredths))
                    fail(QStringLiteral("%1/Srednia nie jest średnią w setnych od 0 do %2")
                             .arg(where, QString::number(kMaxHundredths)));
                p.Hundredths = value;
            } else if (!detail.isEmpty()) {
                const TpkXMLNode* subjects = child(pupil, detail, where);
                p.Subjects = subjects ? subjects->Value : QString();
            }
            list.append(p);
        }
        return list;
    }

    QStringList names(const QString& name)
    {
        QStringList list;
        for (const ReportPupil& p : pupils(name, QString()))
            list.append(p.Name);
        return list;
    }

    // Uzasadnienie1 ... then Ilosc, each with Osoba, (Ocena), IloscWierszy, Wiersz0 ...
    QList<ReportJustification> justifications(const QString& name, bool conduct)
    {
        const TpkXMLNode* node = child(m_top, name, QString());
        const int n = count(node, QStringLiteral("Ilosc"), name);
        QList<ReportJustification> list;
        for (const TpkXMLNode* item : numbered(node, QStringLiteral("Uzasadnienie"), n, name)) {
            const QString where = name + u'/' + item->Name;
            ReportJustification j;
            const TpkXMLNode* who = child(item, QStringLiteral("Osoba"), where);
            j.Pupils = who ? who->Value : QString();
            if (conduct) {
                const TpkXMLNode* grade = child(item, QStringLiteral("Ocena"), where);
                j.Grade = grade ? grade->Value : QString();
            }
            const int lines = count(item, QStringLiteral("IloscWierszy"), where);
            for (const TpkXMLNode* line : numbered(item, QStringLiteral("Wiersz"), lines, where, true))
                j.Lines.append(line->Value);
            list.append(j);
        }
        return list;
    }

private:
    const TpkXMLNode* m_top;
    QString m_reason;
};

void readTopic(Reader& r, ReportDocument& report)
{
    switch (report.Topic) {
    case 1:
        report.ClassName = r.text(QStringLiteral("Klasa"));
        report.Classified = r.text(QStringLiteral("Klasyfikowanych"));
        report.Promoted = r.text(QStringLiteral("Promowanych"));
        report.FullAttendance = r.names(QStringLiteral("Frekwencja"));
        report.Distinctions = r.pupils(QStringLiteral("Pasek"), QStringLiteral("Srednia"));
        report.Failing = r.pupils(QStringLiteral("Ndst"), QStringLiteral("Przedmioty"));
        break;
    case 2:
        report.ClassName = r.text(QStringLiteral("Klasa"));
        report.Classified = r.text(QStringLiteral("Klasyfikowanych"));
        report.Exemplary = r.names(QStringLiteral("Wzorowi"));
        report.Justifications = r.justifications(QStringLiteral("Obnizone"), true);
        report.Blocks.append({QStringLiteral("Uwagi"), r.block(QStringLiteral("Uwagi"))});
        break;
    case 3:
        report.ClassName = r.text(QStringLiteral("Klasa"));
        report.Blocks.append({QStringLiteral("Ogolne"), r.block(QStringLiteral("Ogolne"))});
        report.Blocks.append({QStringLiteral("Sukcesy"), r.block(QStringLiteral("Sukcesy"))});
        break;
    case 4:
        report.Subject = r.text(QStringLiteral("Przedmiot"));
        report.ClassName = r.text(QStringLiteral("Klasy"));
        report.Blocks.append({QStringLiteral("Ogolne"), r.block(QStringLiteral("Ogolne"))});
        report.Blocks.append({QStringLiteral("Sukcesy"), r.block(QStringLiteral("Sukcesy"))});
        break;
    case 5:
        report.Activity = r.text(QStringLiteral("Zajecia"));
        report.Number = r.text(QStringLiteral("Nr"));
        report.Blocks.append({QStringLiteral("Ogolne"), r.block(QStringLiteral("Ogolne"))});
        break;
    case 6:
        report.Subject = r.text(QStringLiteral("Przedmiot"));
        report.ClassName = r.text(QStringLiteral("Klasa"));
        report.Justifications = r.justifications(QStringLiteral("Uzasadnienia"), false);
        break;
    case 7:
        report.Blocks.append({QStringLiteral("Dydaktyczna"), r.block(QStringLiteral("Dydaktyczna"))});
        report.Blocks.append({QStringLiteral("Nadzor"), r.block(QStringLiteral("Nadzor"))});
        break;
    case 8:
        report.Activity = r.text(QStringLiteral("Dotyczy"));
        report.Number = r.text(QStringLiteral("Nr"));
        report.Blocks.append({QStringLiteral("Info"), r.block(QStringLiteral("Info"))});
        break;
    case 9:
        report.Number = r.text(QStringLiteral("Nr"));
        report.Blocks.append({QStringLiteral("Info"), r.block(QStringLiteral("Info"))});
        break;
    default:
        break;
    }
}

} // namespace

QString TopicDocTitle(int topic)
{
    return topic >= 1 && topic <= kTopicCount
               ? QString::fromUtf16(kTopics[static_cast<size_t>(topic - 1)].doc)
               : QString();
}

int TopicOfDocTitle(const QString& title)
{
    for (int t = 1; t <= kTopicCount; ++t) {
        if (title == TopicDocTitle(t))
            return t;
    }
    return 0;
}

QString TopicHeading(int topic)
{
    return topic >= 1 && topic <= kTopicCount
               ? QString::fromUtf16(kTopics[static_cast<size_t>(topic - 1)].heading)
               : QString();
}

void ReportDocument::dropContents()
{
    Classified.clear();
    Promoted.clear();
    FullAttendance.clear();
    Distinctions.clear();
    Failing.clear();
    Exemplary.clear();
    Justifications.clear();
    Blocks.clear();
}

QDateTime ParseReportDate(const QString& text)
{
    const QString trimmed = text.simplified();
    const qsizetype at = trimmed.indexOf(QStringLiteral(" g. "));
    const QString datePart = at < 0 ? trimmed : trimmed.left(at);
    const QString timePart = at < 0 ? QString() : trimmed.mid(at + 4);
    QDate date;
    for (const char* format : {"d.M.yyyy", "yyyy-M-d", "d-M-yyyy", "d/M/yyyy"}) {
        date = QDate::fromString(datePart, QLatin1String(format));
        if (date.isValid())
            break;
    }
    if (!date.isValid())
        return {};
    if (timePart.isEmpty())
        return QDateTime(date, QTime(0, 0), Qt::UTC);
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        const QTime time = QTime::fromString(timePart, QLatin1String(format));
        if (time.isValid())
            return QDateTime(date, time, Qt::UTC);
    }
    return {};
}

QDateTime AsWrittenDate(const QDateTime& local)
{
    const QDateTime wall = local.toLocalTime();
    return QDateTime(wall.date(), wall.time(), Qt::UTC);
}

namespace {

// The encoding named in the XML declaration at the start of `bytes`, lower case;
// empty when there is no declaration or it names none.
QString declaredEncoding(QByteArrayView bytes)
{
    QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 1024));
    qsizetype start = 0;
    while (start < head.size() && QByteArrayView(" \t\r\n").contains(head[start]))
        ++start;
    head = head.sliced(start);
    if (!head.startsWith("<?xml"))
        return QString();
    const qsizetype end = head.indexOf("?>");
    const QString declaration = QString::fromLatin1(head.first(end < 0 ? head.size() : end));
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch m = encoding.match(declaration);
    return m.hasMatch() ? m.captured(1).trimmed().toLower() : QString();
}

bool strictUtf8(QByteArrayView bytes, QString* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

bool DecodeReportText(QByteArrayView bytes, QString* text, QString* reason)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        // The program's own Unicode form.
        const qsizetype units = (bytes.size() - 2) / 2;
        text->resize(units);
        for (qsizetype i = 0; i < units; ++i)
            (*text)[i] = QChar(char16_t(byte(2 + 2 * i) | (byte(3 + 2 * i) << 8)));
        return true;
    }
    const bool bom = bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF;
    const QByteArrayView body = bom ? bytes.sliced(3) : bytes;
    const QString declared = declaredEncoding(body);
    const bool utf8Name = declared == u"utf-8" || declared == u"utf8";
    if (bom && !declared.isEmpty() && !utf8Name) {
        *reason = QStringLiteral("dokument zaczyna się znacznikiem UTF-8, a deklaruje kodowanie „%1”")
                      .arg(declared.left(40));
        return false;
    }
    if (declared == u"windows-1250" || declared == u"cp1250" || declared == u"x-cp1250") {
        *text = TextCodec::fromCp1250(body);
        return true;
    }
    if (!declared.isEmpty() && !utf8Name) {
        *reason = QStringLiteral("nieobsługiwane kodowanie „%1” (czytane są Windows-1250 i UTF-8)")
                      .arg(declared.left(40));
        return false;
    }
    if (!strictUtf8(body, text)) {
        *reason = declared.isEmpty() && !bom
                      ? QStringLiteral("dokument bez deklaracji kodowania nie jest poprawnym tekstem UTF-8")
                      : QStringLiteral("dokument w UTF-8 zawiera bajty, które nie są poprawnym UTF-8");
        return false;
    }
    return true;
}

ReportReading ReadReport(QByteArrayView bytes, ReportScope scope)
{
    ReportReading reading;
    ReportDocument& report = reading.Document;
    if (bytes.size() > kMaxReportBytes) {
        reading.Reason = QStringLiteral("plik jest za duży na sprawozdanie (ponad %1 MB)")
                             .arg(kMaxReportBytes / (1024 * 1024));
        return reading;
    }
    report.Digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);

    QString text;
    if (!DecodeReportText(bytes, &text, &reading.Reason))
        return reading;
    // The tree reads its own UTF-16 form whatever the document's encoding was.
    QByteArray utf16("\xFF\xFE");
    utf16.reserve(2 + text.size() * 2);
    for (const QChar c : std::as_const(text))
        utf16.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    text.clear();
    TpkXML xml;
    const bool wellFormed = xml.LoadFromBuffer(utf16);
    utf16.clear();
    const TpkXMLNode* top = DataFileReader::find(&xml.Root, u"Szkola");

    if (scope == ReportScope::Teacher) {
        if (!top) {
            reading.Reason = wellFormed ? QStringLiteral("to nie jest sprawozdanie (brak elementu Szkola)")
                                        : QStringLiteral("to nie jest dokument XML sprawozdania");
            return reading;
        }
        if (!wellFormed) {
            reading.Reason = QStringLiteral("dokument jest uszkodzony (niepoprawny XML)");
            return reading;
        }
        Reader r(top);
        report.Teacher = r.text(QStringLiteral("Belfer")).trimmed();
        if (r.ok() && report.Teacher.isEmpty())
            r.fail(QStringLiteral("nie podano nauczyciela (Belfer)"));
        reading.Reason = r.reason();
        return reading;
    }

    const TpkXMLNode* doc = DataFileReader::find(top, u"Doc");
    if (!doc) {
        reading.Reason = wellFormed ? QStringLiteral("to nie jest sprawozdanie (brak elementu Szkola/Doc)")
                                    : QStringLiteral("to nie jest dokument XML sprawozdania");
        return reading;
    }
    report.Topic = TopicOfDocTitle(doc->Value.trimmed());
    if (report.Topic == 0) {
        reading.Reason = QStringLiteral("nieznany rodzaj sprawozdania „%1”").arg(doc->Value.left(80));
        return reading;
    }
    if (!wellFormed) {
        reading.Reason = QStringLiteral("dokument jest uszkodzony (niepoprawny XML)");
        return reading;
    }

    Reader r(top);
    report.Teacher = r.text(QStringLiteral("Belfer")).trimmed();
    readTopic(r, report);
    r.text(QStringLiteral("User"));
    report.DateText = r.text(QStringLiteral("Date"));
    if (r.ok() && report.Teacher.isEmpty())
        r.fail(QStringLiteral("nie podano nauczyciela (Belfer)"));
    if (r.ok()) {
        report.Date = ParseReportDate(report.DateText);
        if (!report.Date.isValid())
            r.fail(QStringLiteral("nieczytelna data „%1”").arg(report.DateText.left(40)));
    }
    if (!r.ok()) {
        reading.Reason = r.reason();
        report.dropContents();
    }
    return reading;
}
