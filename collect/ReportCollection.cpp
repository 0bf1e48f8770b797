#include "collect/ReportCollection.h"

#include "core/SchoolData.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

QCollator polishCollator()
{
    QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    collator.setNumericMode(true);
    return collator;
}

// The later of two reports of one identity; on equal dates the one read first stays.
bool isNewer(const CollectedReport& candidate, const CollectedReport& current)
{
    return candidate.Date > current.Date;
}

} // namespace

ReportCollection::ReportCollection() : m_runTime(AsWrittenDate(QDateTime::currentDateTime())) {}

QString ReportCollection::normalized(const QString& name)
{
    return name.normalized(QString::NormalizationForm_KC).simplified().toCaseFolded();
}

QString ReportCollection::identity(const CollectedReport& r)
{
    const QChar sep(0x1F);
    QString key = normalized(r.Teacher) + sep + QString::number(r.Topic);
    switch (r.Topic) {
    case 4:
        key += sep + normalized(r.Subject);
        break;
    case 7:
    case 8:
    case 9:
        break;
    default:
        key += sep + normalized(r.ClassName) + sep + normalized(r.Subject) + sep + normalized(r.Activity);
        break;
    }
    return key;
}

void ReportCollection::add(CollectedReport report)
{
    const int index = static_cast<int>(m_reports.size());
    if (report.State == ReportState::Accepted && report.Date > m_runTime.addDays(1)) {
        report.State = ReportState::Suspicious;
        report.Reason = QStringLiteral("data „%1” jest późniejsza niż czas zbierania (%2); dokument nie "
                                       "liczy się i nie zastępuje innych")
                            .arg(report.DateText.left(40),
                                 m_runTime.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        report.dropContents();
    }
    if (report.State != ReportState::Accepted) {
        m_reports.append(std::move(report));
        return;
    }
    const QString key = identity(report);
    const auto found = m_current.constFind(key);
    if (found == m_current.constEnd()) {
        m_current.insert(key, index);
        m_reports.append(std::move(report));
        return;
    }
    CollectedReport& current = m_reports[*found];
    CollectedReport* loser = &report;
    CollectedReport* winner = &current;
    if (report.Digest != current.Digest && isNewer(report, current)) {
        loser = &current;
        winner = &report;
        m_current[key] = index;
    }
    loser->State = ReportState::Replaced;
    if (loser->Digest == winner->Digest)
        loser->Reason = QStringLiteral("ten sam dokument co %1").arg(winner->Source);
    else if (loser->Date == winner->Date)
        loser->Reason = QStringLiteral("ta sama data co %1, który przeczytano wcześniej").arg(winner->Source);
    else
        loser->Reason = QStringLiteral("zastąpiony nowszym: %1 (%2)").arg(winner->Source, winner->DateText);
    loser->dropContents();
    m_reports.append(std::move(report));
}

QList<const CollectedReport*> ReportCollection::accepted(int topic) const
{
    QList<const CollectedReport*> list;
    for (const CollectedReport& r : m_reports) {
        if (r.State == ReportState::Accepted && r.Topic == topic)
            list.append(&r);
    }
    const QCollator collator = polishCollator();
    std::stable_sort(list.begin(), list.end(), [&](const CollectedReport* a, const CollectedReport* b) {
        for (const auto& [x, y] :
             {std::pair(&a->Teacher, &b->Teacher), std::pair(&a->ClassName, &b->ClassName),
              std::pair(&a->Subject, &b->Subject), std::pair(&a->Activity, &b->Activity)}) {
            const int c = collator.compare(*x, *y);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
    return list;
}

int ReportCollection::count(ReportState state) const
{
    return static_cast<int>(std::count_if(m_reports.begin(), m_reports.end(),
                                          [state](const CollectedReport& r) { return r.State == state; }));
}

ReportCollection::Missing ReportCollection::missing(const SchoolData& data) const
{
    // Per teacher: the classes he is class teacher of, in the order first met; per
    // class: the topics 1 and 2 somebody handed in.
    QHash<QString, QStringList> classesOf;
    QHash<QString, QSet<int>> topicsOfClass;
    QSet<QString> withReports;
    QHash<QString, QString> reportTeacherNames;
    for (const CollectedReport& r : m_reports) {
        if (r.State != ReportState::Accepted)
            continue;
        const QString teacher = normalized(r.Teacher);
        withReports.insert(teacher);
        reportTeacherNames.insert(teacher, r.Teacher);
        if (r.Topic < 1 || r.Topic > 3)
            continue;
        const QString cls = r.ClassName.simplified();
        QStringList& classes = classesOf[teacher];
        if (std::none_of(classes.cbegin(), classes.cend(),
                         [&](const QString& c) { return normalized(c) == normalized(cls); }))
            classes.append(cls);
        if (r.Topic <= 2)
            topicsOfClass[normalized(cls)].insert(r.Topic);
    }

    Missing result;
    QSet<QString> known;
    for (const _Belfer& t : data.Teachers) {
        const QString name = t.DisplayName();
        const QString key = normalized(name);
        if (key.isEmpty() || known.contains(key))
            continue;
        known.insert(key);
        if (!withReports.contains(key)) {
            result.Teachers.append({name, QStringLiteral("wszystkie")});
            continue;
        }
        QStringList items;
        for (const QString& cls : classesOf.value(key)) {
            for (int topic : {1, 2}) {
                if (!topicsOfClass.value(normalized(cls)).contains(topic))
                    items.append(QStringLiteral("%1 (%2)").arg(QString::number(topic), cls));
            }
        }
        if (!items.isEmpty())
            result.Teachers.append({name, items.join(QStringLiteral(", "))});
    }
    for (const _Klasa& c : data.Classes) {
        if (!c.Name.simplified().isEmpty() && !topicsOfClass.value(normalized(c.Name)).contains(1))
            result.ClassesWithoutTopic1.append(c.Name);
    }
    for (auto it = reportTeacherNames.constBegin(); it != reportTeacherNames.constEnd(); ++it) {
        if (!known.contains(it.key()))
            result.UnknownTeachers.append(it.value());
    }
    const QCollator collator = polishCollator();
    std::sort(result.UnknownTeachers.begin(), result.UnknownTeachers.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return result;
}
