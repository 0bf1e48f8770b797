#include "collect/SummaryHtml.h"

#include "collect/ReportsCsv.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

const char* const kStyle =
    "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; margin: 1.5em; }\n"
    "h1 { font-size: 16pt; margin-bottom: 0.2em; }\n"
    "h2 { font-size: 13pt; border-bottom: 1px solid #888; margin-top: 1.6em; }\n"
    "h3 { font-size: 12pt; margin-top: 1.2em; margin-bottom: 0.3em; }\n"
    "h4 { font-size: 10pt; font-style: italic; margin-top: 0.8em; margin-bottom: 0.2em; }\n"
    "p { margin-top: 0.2em; margin-bottom: 0.2em; }\n"
    "p.meta { color: #444; }\n"
    "table { border-collapse: collapse; margin-top: 0.4em; }\n"
    "th, td { border: 1px solid #888; padding: 2px 6px; vertical-align: top; }\n"
    "th { background: #e8e8e8; text-align: left; font-size: 8pt; }\n"
    "td.n { text-align: right; }\n"
    "ul { margin-top: 0.1em; margin-bottom: 0.3em; }\n"
    "p.lines { margin-left: 1.5em; }\n";

QString polishDateTime(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy 'g.' HH:mm"));
}

// The headings of text blocks, as the preview pages give them.
QString blockHeading(const QString& element)
{
    static const QHash<QString, QString> headings{
        {QStringLiteral("Ogolne"), QStringLiteral("Informacje ogólne")},
        {QStringLiteral("Sukcesy"), QStringLiteral("Sukcesy, problemy i wnioski")},
        {QStringLiteral("Uwagi"), QStringLiteral("Uwagi o pracy")},
        {QStringLiteral("Dydaktyczna"), QStringLiteral("Działalność dydaktyczna, wychowawcza i opiekuńcza")},
        {QStringLiteral("Nadzor"), QStringLiteral("Nadzór pedagogiczny, uwagi i wnioski")},
        {QStringLiteral("Info"), QStringLiteral("Informacja")},
    };
    return headings.value(element, element);
}

QString lines(const QStringList& text)
{
    QStringList escaped;
    for (const QString& line : text)
        escaped.append(esc(line));
    return QStringLiteral("<p class=\"lines\">") + escaped.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>\n");
}

QString nameList(const QStringList& names)
{
    if (names.isEmpty())
        return QStringLiteral("brak");
    QStringList escaped;
    for (const QString& n : names)
        escaped.append(esc(n));
    return escaped.join(QStringLiteral(", "));
}

// A number typed in a report, for the totals; -1 when it is none.
int typedNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0 ? value : -1;
}

struct ClassEntry
{
    QString Name;
    QList<const CollectedReport*> Classification; // topic 1
    QList<const CollectedReport*> Conduct;        // topic 2
    QList<const CollectedReport*> Justifications; // topic 6
};

class Writer
{
public:
    explicit Writer(const SummaryInput& in) : m_in(in), m_reports(*in.Reports)
    {
        m_collator = QCollator(QLocale(QLocale::Polish, QLocale::Poland));
        m_collator.setNumericMode(true);
    }

    QString page()
    {
        m_out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"pl\">\n<head>\n<meta charset=\"utf-8\">\n"
                                "<title>Zestawienie sprawozdań</title>\n<style>\n") +
                 QString::fromUtf8(kStyle) + QStringLiteral("</style>\n</head>\n<body>\n");
        mark();
        m_out += QStringLiteral("<h1>Zestawienie sprawozdań na posiedzenie rady pedagogicznej</h1>\n");
        const int documents = static_cast<int>(m_reports.reports().size());
        m_out += QStringLiteral(
                     "<p class=\"meta\">Sporządzono %1. Przeczytano dokumentów: %2 (przyjętych: %3, "
                     "zastąpionych: %4, podejrzanych: %8, uszkodzonych: %5); listów: %6, w tym bez sprawozdania: "
                     "%7.</p>\n")
                     .arg(polishDateTime(m_in.Generated), QString::number(documents),
                          QString::number(m_reports.count(ReportState::Accepted)),
                          QString::number(m_reports.count(ReportState::Replaced)),
                          QString::number(m_reports.count(ReportState::Damaged)),
                          QString::number(m_in.MailsRead), QString::number(m_in.MailsWithoutReport),
                          QString::number(m_reports.count(ReportState::Suspicious)));
        classes();
        descriptive();
        handedIn();
        if (m_in.Missing)
            missing(*m_in.Missing);
        problems();
        mark();
        m_out += QStringLiteral("</body>\n</html>\n");
        return m_out;
    }

    // The page cut where it may be: the head, then blocks each of which is whole
    // HTML (sections, reports, pieces of long tables), then the end.
    QStringList parts()
    {
        page();
        QStringList list;
        qsizetype from = 0;
        for (qsizetype at : m_breaks) {
            if (at > from)
                list.append(m_out.mid(from, at - from));
            from = at;
        }
        list.append(m_out.mid(from));
        m_out.clear();
        return list;
    }

private:
    void mark() { m_breaks.push_back(m_out.size()); }

    // Long tables are written as several, each with its heading row, so that no
    // piece of the page is longer than a printer can lay out.
    static constexpr int kRowsPerTable = 200;
    void rowWritten(int* rows, const QString& heading)
    {
        if (++*rows % kRowsPerTable != 0)
            return;
        m_out += QStringLiteral("</table>\n");
        mark();
        m_out += heading;
    }

    QList<ClassEntry> classEntries() const
    {
        QList<ClassEntry> entries;
        QHash<QString, qsizetype> index;
        auto entryOf = [&](const QString& name) -> ClassEntry& {
            const QString key = ReportCollection::normalized(name);
            auto it = index.constFind(key);
            if (it == index.constEnd()) {
                it = index.insert(key, entries.size());
                entries.append({name.simplified(), {}, {}, {}});
            }
            return entries[*it];
        };
        for (const QString& name : m_in.DataClasses)
            entryOf(name);
        const qsizetype fromData = entries.size();
        for (const CollectedReport* r : m_reports.accepted(1))
            entryOf(r->ClassName).Classification.append(r);
        for (const CollectedReport* r : m_reports.accepted(2))
            entryOf(r->ClassName).Conduct.append(r);
        for (const CollectedReport* r : m_reports.accepted(6))
            entryOf(r->ClassName).Justifications.append(r);
        // Classes the data does not list follow in Polish order.
        std::stable_sort(
            entries.begin() + fromData, entries.end(),
            [&](const ClassEntry& a, const ClassEntry& b) { return m_collator.compare(a.Name, b.Name) < 0; });
        return entries;
    }

    void classes()
    {
        m_out += QStringLiteral("<h2>1. Klasyfikacja klas</h2>\n");
        const QList<ClassEntry> entries = classEntries();
        if (entries.isEmpty()) {
            m_out += QStringLiteral("<p>Nie przyjęto żadnego sprawozdania z klasyfikacji.</p>\n");
            return;
        }
        const QString heading = QStringLiteral(
            "<table width=\"100%\">\n<tr><th width=\"10%\">Klasa</th><th width=\"20%\">Wychowawca</th>"
            "<th width=\"10%\">Klasyfi&shy;kowanych</th><th width=\"10%\">Promo&shy;wanych</th><th "
            "width=\"10%\">Frekwen&shy;cja 100%</th>"
            "<th width=\"10%\">Wyróż&shy;nieni</th><th width=\"10%\">Z ocenami ndst.</th><th "
            "width=\"10%\">Zachowa&shy;nie wzorowe</th>"
            "<th width=\"10%\">Zachowa&shy;nie obniżone</th></tr>\n");
        m_out += heading;
        int rows = 0;
        int totals[7] = {};
        for (const ClassEntry& c : entries) {
            QStringList teachers;
            QStringList teacherKeys;
            for (const auto* list : {&c.Classification, &c.Conduct}) {
                for (const CollectedReport* r : *list) {
                    const QString key = ReportCollection::normalized(r->Teacher);
                    if (!teacherKeys.contains(key)) {
                        teacherKeys.append(key);
                        teachers.append(r->Teacher);
                    }
                }
            }
            const CollectedReport* t1 = c.Classification.isEmpty() ? nullptr : c.Classification.first();
            const CollectedReport* t2 = c.Conduct.isEmpty() ? nullptr : c.Conduct.first();
            int lowered = 0;
            if (t2) {
                for (const ReportJustification& j : t2->Justifications)
                    lowered += static_cast<int>(j.Pupils.split(QStringLiteral(", ")).size());
            }
            const int figures[7] = {t1 ? typedNumber(t1->Classified) : -1,
                                    t1 ? typedNumber(t1->Promoted) : -1,
                                    t1 ? static_cast<int>(t1->FullAttendance.size()) : -1,
                                    t1 ? static_cast<int>(t1->Distinctions.size()) : -1,
                                    t1 ? static_cast<int>(t1->Failing.size()) : -1,
                                    t2 ? static_cast<int>(t2->Exemplary.size()) : -1,
                                    t2 ? lowered : -1};
            m_out += QStringLiteral("<tr><td>%1</td><td>%2</td>")
                         .arg(esc(c.Name), teachers.isEmpty() ? QStringLiteral("–") : nameList(teachers));
            for (int i = 0; i < 7; ++i) {
                QString cell;
                if (i < 2 && t1)
                    cell = esc(i == 0 ? t1->Classified : t1->Promoted);
                else if (figures[i] >= 0)
                    cell = QString::number(figures[i]);
                else
                    cell = QStringLiteral("–");
                if (figures[i] > 0)
                    totals[i] += figures[i];
                m_out += QStringLiteral("<td class=\"n\">") + cell + QStringLiteral("</td>");
            }
            m_out += QStringLiteral("</tr>\n");
            rowWritten(&rows, heading);
        }
        m_out += QStringLiteral("<tr><td colspan=\"2\"><b>Razem</b></td>");
        for (int total : totals)
            m_out += QStringLiteral("<td class=\"n\"><b>%1</b></td>").arg(total);
        m_out += QStringLiteral(
            "</tr>\n</table>\n<p class=\"meta\">Liczby uczniów: klasyfikowanych i promowanych "
            "(jak je wpisał wychowawca), ze stuprocentową frekwencją, wyróżnionych, z ocenami "
            "niedostatecznymi, z wzorowym i z obniżonym zachowaniem; „–”: brak sprawozdania.</p>\n");

        for (const ClassEntry& c : entries) {
            mark();
            classDetails(c);
        }
    }

    void classDetails(const ClassEntry& c)
    {
        if (c.Classification.isEmpty() && c.Conduct.isEmpty() && c.Justifications.isEmpty())
            return;
        m_out += QStringLiteral("<h3>Klasa %1</h3>\n").arg(esc(c.Name));
        for (const CollectedReport* r : c.Classification) {
            m_out +=
                QStringLiteral(
                    "<p><b>Wychowawca:</b> %1. <b>Klasyfikowanych:</b> %2, <b>promowanych:</b> %3.</p>\n")
                    .arg(esc(r->Teacher), esc(r->Classified), esc(r->Promoted));
            m_out += QStringLiteral("<p><b>Stuprocentowa frekwencja:</b> %1</p>\n")
                         .arg(nameList(r->FullAttendance));
            QStringList distinctions;
            for (const ReportPupil& p : r->Distinctions) {
                const QString average = AverageText(p.Hundredths);
                distinctions.append(average.isEmpty() ? p.Name : p.Name + QStringLiteral(" – ") + average);
            }
            m_out += QStringLiteral("<p><b>Wyróżnieni (średnia):</b> %1</p>\n").arg(nameList(distinctions));
            if (r->Failing.isEmpty()) {
                m_out += QStringLiteral("<p><b>Oceny niedostateczne:</b> brak</p>\n");
            } else {
                m_out += QStringLiteral("<p><b>Oceny niedostateczne:</b></p>\n<ul>\n");
                for (const ReportPupil& p : r->Failing)
                    m_out += QStringLiteral("<li>%1 – %2</li>\n").arg(esc(p.Name), esc(p.Subjects));
                m_out += QStringLiteral("</ul>\n");
            }
        }
        for (const CollectedReport* r : c.Justifications) {
            m_out += QStringLiteral("<h4>Uzasadnienie ocen niedostatecznych: %1 (%2)</h4>\n")
                         .arg(esc(r->Subject), esc(r->Teacher));
            for (const ReportJustification& j : r->Justifications)
                m_out += QStringLiteral("<p><b>%1:</b></p>\n").arg(esc(j.Pupils)) + lines(j.Lines);
        }
        for (const CollectedReport* r : c.Conduct) {
            m_out += QStringLiteral("<h4>Zachowanie (%1)</h4>\n").arg(esc(r->Teacher));
            m_out += QStringLiteral("<p><b>Zachowanie wzorowe:</b> %1</p>\n").arg(nameList(r->Exemplary));
            if (r->Justifications.isEmpty())
                m_out += QStringLiteral("<p><b>Oceny obniżone z zachowania:</b> brak</p>\n");
            else
                m_out += QStringLiteral("<p><b>Oceny obniżone z zachowania:</b></p>\n");
            for (const ReportJustification& j : r->Justifications)
                m_out += QStringLiteral("<p><b>%1</b> – ocena: %2</p>\n").arg(esc(j.Pupils), esc(j.Grade)) +
                         lines(j.Lines);
            blocks(*r);
        }
    }

    void blocks(const CollectedReport& r)
    {
        for (const ReportBlock& b : r.Blocks) {
            if (b.Lines.isEmpty())
                continue;
            m_out += QStringLiteral("<p><b>%1:</b></p>\n").arg(esc(blockHeading(b.Element))) + lines(b.Lines);
        }
    }

    static QString about(const CollectedReport& r)
    {
        switch (r.Topic) {
        case 3:
            return QStringLiteral("klasa ") + r.ClassName;
        case 4:
            return r.Subject + QStringLiteral(", klasy: ") + r.ClassName;
        case 5:
            return QStringLiteral("zajęcia: ") + r.Activity;
        case 8:
            return QStringLiteral("dotyczy: ") + r.Activity;
        default:
            return QString();
        }
    }

    void descriptive()
    {
        mark();
        m_out += QStringLiteral("<h2>2. Sprawozdania opisowe</h2>\n");
        for (int topic : {3, 4, 5, 7, 8, 9}) {
            m_out += QStringLiteral("<h3>%1</h3>\n").arg(esc(TopicHeading(topic)));
            const QList<const CollectedReport*> list = m_reports.accepted(topic);
            if (list.isEmpty())
                m_out += QStringLiteral("<p>Brak sprawozdań.</p>\n");
            for (const CollectedReport* r : list) {
                mark();
                const QString subject = about(*r);
                m_out += QStringLiteral("<h4>%1%2</h4>\n")
                             .arg(esc(r->Teacher),
                                  subject.isEmpty() ? QString() : QStringLiteral(" – ") + esc(subject));
                blocks(*r);
            }
        }
    }

    void handedIn()
    {
        mark();
        m_out += QStringLiteral("<h2>3. Kto co oddał</h2>\n");
        QList<const CollectedReport*> all;
        for (int topic = 1; topic <= kTopicCount; ++topic)
            all += m_reports.accepted(topic);
        if (all.isEmpty()) {
            m_out += QStringLiteral("<p>Nie przyjęto żadnego sprawozdania.</p>\n");
            return;
        }
        std::stable_sort(all.begin(), all.end(), [&](const CollectedReport* a, const CollectedReport* b) {
            return m_collator.compare(a->Teacher, b->Teacher) < 0;
        });
        const QString heading = QStringLiteral(
            "<table width=\"100%\">\n<tr><th width=\"22%\">Nauczyciel</th><th width=\"38%\">Temat</th>"
            "<th width=\"10%\">Klasa</th><th width=\"14%\">Przedmiot</th><th width=\"16%\">Data</th></tr>\n");
        m_out += heading;
        int rows = 0;
        for (const CollectedReport* r : all) {
            m_out += QStringLiteral("<tr><td>%1</td><td>%2. %3</td><td>%4</td><td>%5</td><td>%6</td></tr>\n")
                         .arg(esc(r->Teacher), QString::number(r->Topic), esc(TopicHeading(r->Topic)),
                              esc(r->ClassName), esc(r->Subject), esc(ReportsCsv::rowDate(*r)));
            rowWritten(&rows, heading);
        }
        m_out += QStringLiteral("</table>\n");
    }

    void missing(const ReportCollection::Missing& m)
    {
        mark();
        m_out += QStringLiteral("<h2>4. Braki</h2>\n");
        QStringList nothing;
        QStringList partly;
        for (const ReportCollection::MissingTeacher& t : m.Teachers) {
            if (t.MissingItems == u"wszystkie")
                nothing.append(t.Teacher);
            else
                partly.append(t.Teacher + QStringLiteral(": temat ") + t.MissingItems);
        }
        m_out += QStringLiteral("<p><b>Nauczyciele, którzy nie oddali żadnego sprawozdania:</b> %1</p>\n")
                     .arg(nameList(nothing));
        m_out += QStringLiteral("<p><b>Wychowawcy bez sprawozdań z klasyfikacji:</b> %1</p>\n")
                     .arg(nameList(partly));
        m_out += QStringLiteral("<p><b>Klasy bez sprawozdania z klasyfikacji (temat 1):</b> %1</p>\n")
                     .arg(nameList(m.ClassesWithoutTopic1));
        if (!m.UnknownTeachers.isEmpty())
            m_out += QStringLiteral("<p><b>Sprawozdania nauczycieli spoza listy szkoły:</b> %1</p>\n")
                         .arg(nameList(m.UnknownTeachers));
    }

    void problems()
    {
        mark();
        m_out += QStringLiteral("<h2>%1. Dokumenty zastąpione, podejrzane i uszkodzone</h2>\n").arg(m_in.Missing ? 5 : 4);
        bool any = false;
        const QString heading =
            QStringLiteral("<table width=\"100%\">\n<tr><th>Plik</th><th>Stan</th><th>Powód</th></tr>\n");
        int rows = 0;
        for (const CollectedReport& r : m_reports.reports()) {
            if (r.State == ReportState::Accepted)
                continue;
            if (!any)
                m_out += heading;
            else
                rowWritten(&rows, heading);
            any = true;
            m_out += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                         .arg(esc(r.Source),
                              ReportsCsv::stateName(r.State),
                              esc(r.Reason));
        }
        m_out += any ? QStringLiteral("</table>\n") : QStringLiteral("<p>Brak.</p>\n");
        for (const QString& note : m_in.Notes)
            m_out += QStringLiteral("<p>Uwaga: %1</p>\n").arg(esc(note));
    }

    const SummaryInput& m_in;
    const ReportCollection& m_reports;
    QCollator m_collator;
    QString m_out;
    std::vector<qsizetype> m_breaks;
};

} // namespace

QString AverageText(int hundredths)
{
    if (hundredths < 5)
        return QString();
    return QLocale(QLocale::Polish, QLocale::Poland).toString(hundredths / 100.0, 'f', 2);
}

QString SummaryHtml(const SummaryInput& input)
{
    return Writer(input).page();
}

QStringList SummaryHtmlParts(const SummaryInput& input)
{
    return Writer(input).parts();
}
