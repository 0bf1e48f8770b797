#include "collect/CollectionChanges.h"

#include <QSet>

namespace {

QString described(const CollectedReport& r)
{
    QString text = r.Teacher.simplified() + QStringLiteral(" – ") + QString::number(r.Topic) + QStringLiteral(". ") +
                   TopicHeading(r.Topic);
    QStringList about;
    for (const QString& part : {r.ClassName, r.Subject, r.Activity}) {
        if (!part.trimmed().isEmpty())
            about.append(part.simplified());
    }
    if (!about.isEmpty())
        text += QStringLiteral(" (") + about.join(QStringLiteral(", ")) + u')';
    return text;
}

} // namespace

QList<CollectionChange> ChangesBetween(const ReportCollection& before, const ReportCollection& after)
{
    QSet<QByteArray> seen;
    QSet<QByteArray> countedBefore;
    for (const CollectedReport& r : before.reports()) {
        if (r.State == ReportState::Damaged)
            continue;
        seen.insert(r.Digest);
        if (r.State == ReportState::Accepted)
            countedBefore.insert(r.Digest);
    }
    QList<CollectionChange> changes;
    const QList<CollectedReport>& now = after.reports();
    for (int i = 0; i < now.size(); ++i) {
        const CollectedReport& r = now[i];
        if (r.State == ReportState::Damaged || r.Digest.isEmpty())
            continue;
        if (!seen.contains(r.Digest)) {
            seen.insert(r.Digest); // the same document read twice is new once
            changes.append({CollectionChange::Kind::New, i, QStringLiteral("nowe: ") + described(r)});
        } else if (r.State == ReportState::Replaced && countedBefore.contains(r.Digest)) {
            changes.append({CollectionChange::Kind::Replaced, i, QStringLiteral("zastąpione: ") + described(r)});
        }
    }
    return changes;
}
