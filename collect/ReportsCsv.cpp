#include "collect/ReportsCsv.h"

namespace ReportsCsv {

namespace {

QByteArray table(const QList<QStringList>& rows)
{
    QByteArray out("\xEF\xBB\xBF");
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& text : row)
            fields.append(field(text));
        out += fields.join(u';').toUtf8() + "\r\n";
    }
    return out;
}

} // namespace

QString stateName(ReportState state)
{
    switch (state) {
    case ReportState::Accepted:
        return QStringLiteral("przyjęty");
    case ReportState::Replaced:
        return QStringLiteral("zastąpiony");
    case ReportState::Suspicious:
        return QStringLiteral("podejrzany");
    case ReportState::Damaged:
        break;
    }
    return QStringLiteral("uszkodzony");
}

QString field(const QString& text)
{
    QString value = text;
    if (!value.isEmpty() && QStringView(u"=+-@\t\r").contains(value.front()))
        value.prepend(u'\'');
    // Quoted whenever a spreadsheet might split the field: at the separator, at the
    // separators other programs guess (comma, TAB), at a quote or a line break.
    if (value.contains(u';') || value.contains(u',') || value.contains(u'\t') || value.contains(u'"') ||
        value.contains(u'\n') || value.contains(u'\r'))
        return u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return value;
}

QString rowDate(const CollectedReport& report)
{
    return report.Date.isValid() ? report.Date.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                 : report.DateText;
}

QByteArray reports(const ReportCollection& collection)
{
    QList<QStringList> rows{{QStringLiteral("plik"), QStringLiteral("nauczyciel"), QStringLiteral("temat"),
                             QStringLiteral("klasa"), QStringLiteral("przedmiot"), QStringLiteral("data"),
                             QStringLiteral("stan"), QStringLiteral("powód")}};
    for (const CollectedReport& r : collection.reports()) {
        rows.append({r.Source, r.Teacher, r.Topic > 0 ? QString::number(r.Topic) : QString(), r.ClassName,
                     r.Subject, rowDate(r), stateName(r.State), r.Reason});
    }
    return table(rows);
}

QByteArray missing(const ReportCollection::Missing& missing)
{
    QList<QStringList> rows{{QStringLiteral("nauczyciel"), QStringLiteral("brak")}};
    for (const ReportCollection::MissingTeacher& t : missing.Teachers)
        rows.append({t.Teacher, t.MissingItems});
    return table(rows);
}

} // namespace ReportsCsv
