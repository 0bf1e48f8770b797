#include "collect/ReportDetails.h"

#include "collect/SummaryHtml.h"

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString row(const QString& label, const QString& value)
{
    return value.trimmed().isEmpty()
               ? QString()
               : QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(esc(label), esc(value));
}

QString lines(const QStringList& text)
{
    QStringList escaped;
    for (const QString& line : text)
        escaped.append(esc(line));
    return QStringLiteral("<p style=\"margin-left:1.5em\">") + escaped.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>\n");
}

QString pupils(const QString& label, const QList<ReportPupil>& list, bool averages)
{
    if (list.isEmpty())
        return {};
    QString out = QStringLiteral("<p><b>%1:</b></p>\n<ul>\n").arg(esc(label));
    for (const ReportPupil& p : list) {
        QString item = esc(p.Name);
        if (averages && !AverageText(p.Hundredths).isEmpty())
            item += QStringLiteral(" – ") + AverageText(p.Hundredths);
        if (!averages && !p.Subjects.isEmpty())
            item += QStringLiteral(" – ") + esc(p.Subjects);
        out += QStringLiteral("<li>%1</li>\n").arg(item);
    }
    return out + QStringLiteral("</ul>\n");
}

QString names(const QString& label, const QStringList& list)
{
    QStringList escaped;
    for (const QString& n : list)
        escaped.append(esc(n));
    return list.isEmpty() ? QString()
                          : QStringLiteral("<p><b>%1:</b> %2</p>\n").arg(esc(label), escaped.join(QStringLiteral(", ")));
}

QString stateText(const CollectedReport& r)
{
    switch (r.State) {
    case ReportState::Accepted:
        return QStringLiteral("przyjęte (liczy się w zestawieniu)");
    case ReportState::Replaced:
        return QStringLiteral("zastąpione");
    case ReportState::Damaged:
        return QStringLiteral("uszkodzone");
    case ReportState::Suspicious:
        return QStringLiteral("podejrzane (data późniejsza niż zbieranie; nie liczy się)");
    }
    return {};
}

} // namespace

QString ReportDetailsHtml(const CollectedReport& r, const QString& origin)
{
    QString out = QStringLiteral("<h3>%1</h3>\n<table cellpadding=\"3\">\n")
                      .arg(esc(r.Topic > 0 ? QStringLiteral("%1. %2").arg(r.Topic).arg(TopicHeading(r.Topic))
                                           : QStringLiteral("Dokument")));
    out += row(QStringLiteral("Nauczyciel"), r.Teacher);
    out += row(QStringLiteral("Klasa"), r.ClassName);
    out += row(QStringLiteral("Przedmiot"), r.Subject);
    out += row(r.Topic == 8 ? QStringLiteral("Dotyczy") : QStringLiteral("Zajęcia"), r.Activity);
    out += row(QStringLiteral("Data dokumentu"), r.DateText);
    out += row(QStringLiteral("Stan"), stateText(r));
    out += row(r.State == ReportState::Accepted || r.State == ReportState::Replaced ? QStringLiteral("Uwaga")
                                                                                     : QStringLiteral("Powód"),
               r.Reason);
    out += row(QStringLiteral("Skąd"), origin);
    out += QStringLiteral("</table>\n");
    if (r.State != ReportState::Accepted) {
        out += QStringLiteral("<p><i>Treść pokazywana jest tylko dla sprawozdań, które liczą się w "
                              "zestawieniu.</i></p>\n");
        return out;
    }
    if (!r.Classified.isEmpty())
        out += QStringLiteral("<p><b>Klasyfikowanych:</b> %1</p>\n").arg(esc(r.Classified));
    if (!r.Promoted.isEmpty())
        out += QStringLiteral("<p><b>Promowanych:</b> %1</p>\n").arg(esc(r.Promoted));
    out += names(QStringLiteral("Stuprocentowa frekwencja"), r.FullAttendance);
    out += pupils(QStringLiteral("Wyróżnieni (średnia)"), r.Distinctions, true);
    out += pupils(QStringLiteral("Oceny niedostateczne"), r.Failing, false);
    out += names(QStringLiteral("Zachowanie wzorowe"), r.Exemplary);
    for (const ReportJustification& j : r.Justifications) {
        out += QStringLiteral("<p><b>%1</b>%2</p>\n")
                   .arg(esc(j.Pupils), j.Grade.isEmpty() ? QString() : QStringLiteral(" – ocena: ") + esc(j.Grade));
        out += lines(j.Lines);
    }
    for (const ReportBlock& b : r.Blocks) {
        out += QStringLiteral("<p><b>%1:</b></p>\n").arg(esc(BlockHeading(b.Element)));
        out += lines(b.Lines);
    }
    return out;
}
