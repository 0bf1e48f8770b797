#include "collect/HandInTable.h"

#include "core/SchoolData.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

QString key(const QString& name)
{
    return ReportCollection::normalized(name);
}

// The cell made of the given reports (indexes), with what counts first.
HandInCell cellOf(const ReportCollection& reports, const QList<int>& indexes, const QString& detail)
{
    HandInCell cell;
    QList<int> accepted, replaced, damaged;
    for (const int i : indexes) {
        switch (reports.reports()[i].State) {
        case ReportState::Accepted:
            accepted.append(i);
            break;
        case ReportState::Replaced:
            replaced.append(i);
            break;
        case ReportState::Damaged:
        case ReportState::Suspicious:
            damaged.append(i);
            break;
        }
    }
    cell.Reports = accepted + replaced + damaged;
    if (!accepted.isEmpty()) {
        cell.State = replaced.isEmpty() ? HandInState::HandedIn : HandInState::Replaced;
        cell.Text = HandInStateWord(cell.State);
        if (accepted.size() > 1)
            cell.Text += QStringLiteral(" (%1)").arg(accepted.size());
        if (!detail.isEmpty())
            cell.Text += QStringLiteral(": ") + detail;
    } else if (!damaged.isEmpty()) {
        cell.State = HandInState::Damaged;
        // A document dated after the run is not damaged, but counts no more.
        const bool suspicious = std::all_of(damaged.cbegin(), damaged.cend(), [&](int i) {
            return reports.reports()[i].State == ReportState::Suspicious;
        });
        cell.Text = suspicious ? QStringLiteral("podejrzane") : HandInStateWord(cell.State);
    }
    return cell;
}

QStringList sortedNames(QStringList names)
{
    QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

} // namespace

QString TopicShortName(int topic)
{
    static const char16_t* const names[kTopicCount] = {
        u"Klasyfikacja",      u"Zachowanie", u"Program wychowawczy", u"Program nauczania", u"Zajęcia dodatkowe",
        u"Uzasadnienie ndst.", u"Dyrektor",   u"Inne zadania",        u"Z karty nauczyciela"};
    return topic >= 1 && topic <= kTopicCount ? QString::fromUtf16(names[topic - 1]) : QString();
}

QString HandInStateWord(HandInState state)
{
    switch (state) {
    case HandInState::None:
        return QStringLiteral("–");
    case HandInState::HandedIn:
        return QStringLiteral("oddane");
    case HandInState::Replaced:
        return QStringLiteral("zastąpione");
    case HandInState::Damaged:
        return QStringLiteral("uszkodzone");
    case HandInState::Missing:
        return QStringLiteral("brak");
    }
    return {};
}

bool HandInRow::hasMissing() const
{
    return std::any_of(Cells.cbegin(), Cells.cend(), [](const HandInCell& c) {
        return c.State == HandInState::Missing || c.State == HandInState::Damaged;
    });
}

HandInGrid TeachersByTopic(const ReportCollection& reports, const SchoolData* school,
                           const ReportCollection::Missing* missing)
{
    HandInGrid grid;
    for (int topic = 1; topic <= kTopicCount; ++topic) {
        grid.Topics.append(topic);
        grid.Columns.append(QStringLiteral("%1. %2").arg(topic).arg(TopicShortName(topic)));
    }
    // Rows: the school's teachers, then the other authors.
    QStringList names;
    QSet<QString> known;
    if (school) {
        for (const _Belfer& t : school->Teachers) {
            const QString name = t.DisplayName();
            if (!key(name).isEmpty() && !known.contains(key(name))) {
                known.insert(key(name));
                names.append(name);
            }
        }
    }
    QHash<QString, QHash<int, QList<int>>> byTeacher;
    QStringList others;
    const QList<CollectedReport>& all = reports.reports();
    for (int i = 0; i < all.size(); ++i) {
        const CollectedReport& r = all[i];
        if (r.Teacher.trimmed().isEmpty() || r.Topic < 1 || r.Topic > kTopicCount)
            continue; // damaged beyond knowing whose: the damaged list shows it
        byTeacher[key(r.Teacher)][r.Topic].append(i);
        if (!known.contains(key(r.Teacher))) {
            known.insert(key(r.Teacher));
            others.append(r.Teacher.simplified());
        }
    }
    names += sortedNames(others);

    QHash<QString, QString> missingItems;
    if (missing) {
        for (const ReportCollection::MissingTeacher& m : missing->Teachers)
            missingItems.insert(key(m.Teacher), m.MissingItems);
    }
    for (const QString& name : std::as_const(names)) {
        HandInRow row;
        row.Name = name;
        const QString items = missingItems.value(key(name));
        for (const int topic : std::as_const(grid.Topics)) {
            HandInCell cell = cellOf(reports, byTeacher.value(key(name)).value(topic), {});
            if (cell.State == HandInState::None || cell.State == HandInState::Damaged) {
                QStringList classes;
                if (items == u"wszystkie") {
                    classes.append(QString());
                } else {
                    // "1 (3a), 2 (3b)": the classes missing this topic.
                    for (const QString& item : items.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
                        const QString prefix = QString::number(topic) + QStringLiteral(" (");
                        if (item.startsWith(prefix) && item.endsWith(u')'))
                            classes.append(item.mid(prefix.size(), item.size() - prefix.size() - 1));
                    }
                }
                if (!classes.isEmpty() && cell.State == HandInState::None) {
                    cell.State = HandInState::Missing;
                    cell.Text = HandInStateWord(cell.State);
                    classes.removeAll(QString());
                    if (!classes.isEmpty())
                        cell.Text += QStringLiteral(" (%1)").arg(classes.join(QStringLiteral(", ")));
                }
            }
            if (cell.Text.isEmpty())
                cell.Text = HandInStateWord(cell.State);
            row.Cells.append(cell);
        }
        grid.Rows.append(row);
    }
    return grid;
}

HandInGrid ClassesByTopic(const ReportCollection& reports, const SchoolData* school)
{
    HandInGrid grid;
    for (int topic = 1; topic <= 3; ++topic) {
        grid.Topics.append(topic);
        grid.Columns.append(QStringLiteral("%1. %2").arg(topic).arg(TopicShortName(topic)));
    }
    QStringList names;
    QSet<QString> known;
    if (school) {
        for (const _Klasa& c : school->Classes) {
            if (!key(c.Name).isEmpty() && !known.contains(key(c.Name))) {
                known.insert(key(c.Name));
                names.append(c.Name.simplified());
            }
        }
    }
    QHash<QString, QHash<int, QList<int>>> byClass;
    QStringList others;
    const QList<CollectedReport>& all = reports.reports();
    for (int i = 0; i < all.size(); ++i) {
        const CollectedReport& r = all[i];
        if (r.Topic < 1 || r.Topic > 3 || r.ClassName.trimmed().isEmpty())
            continue;
        byClass[key(r.ClassName)][r.Topic].append(i);
        if (!known.contains(key(r.ClassName))) {
            known.insert(key(r.ClassName));
            others.append(r.ClassName.simplified());
        }
    }
    names += sortedNames(others);
    for (const QString& name : std::as_const(names)) {
        HandInRow row;
        row.Name = name;
        for (const int topic : std::as_const(grid.Topics)) {
            const QList<int> indexes = byClass.value(key(name)).value(topic);
            QString teacher;
            for (const int i : indexes) {
                if (all[i].State == ReportState::Accepted) {
                    teacher = all[i].Teacher.simplified();
                    break;
                }
            }
            HandInCell cell = cellOf(reports, indexes, teacher);
            if (cell.State == HandInState::None && topic <= 2) {
                cell.State = HandInState::Missing;
                cell.Text = HandInStateWord(cell.State);
            }
            if (cell.Text.isEmpty())
                cell.Text = HandInStateWord(cell.State);
            row.Cells.append(cell);
        }
        grid.Rows.append(row);
    }
    return grid;
}
