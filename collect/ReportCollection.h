#pragma once

#include "collect/CollectedReport.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct SchoolData;

// Every document read in one run, in reading order. When a teacher handed in the same
// topic for the same class or subject more than once, the one with the latest Date
// counts and the others are replaced; the same document read twice (from the network
// folder and from a mail) counts once. Replaced reports keep only what the lists of
// the summary and the CSV show, so memory grows with the reports that count.
class ReportCollection
{
public:
    ReportCollection();

    // Takes one document read by ReadReportDocument (or damaged before reading). A
    // document dated more than a day after the run's time is suspicious: it is
    // listed, never counts and never replaces another.
    void add(CollectedReport report);

    // The run's time as written (AsWrittenDate); the present moment unless set.
    void setRunTime(const QDateTime& asWritten) { m_runTime = asWritten; }
    const QDateTime& runTime() const { return m_runTime; }

    const QList<CollectedReport>& reports() const { return m_reports; }
    // The accepted reports of one topic, ordered by teacher, then class or subject
    // (Polish collation).
    QList<const CollectedReport*> accepted(int topic) const;

    int count(ReportState state) const;

    // What the school's data says is missing.
    struct MissingTeacher
    {
        QString Teacher;      // display name as in the data
        QString MissingItems; // "wszystkie", or the missing topics: "1 (3a), 2 (3a)"
    };
    struct Missing
    {
        QList<MissingTeacher> Teachers;   // in the data's teacher order
        QStringList ClassesWithoutTopic1; // in the data's class order
        QStringList UnknownTeachers;      // teachers of accepted reports not in the data
    };
    // A class teacher is one who handed in a report of topic 1, 2 or 3 for a class;
    // such a teacher misses topic 1 or 2 when nobody handed in that topic for the
    // class. A teacher without any accepted report misses everything.
    Missing missing(const SchoolData& data) const;

    // The key under which reports replace each other: teacher and topic, and what
    // the topic is about where the program fills it from the school's lists or a
    // short field: the class (topics 1, 2, 3 and 6), the subject (topics 4 and 6), the
    // activity (topic 5). The typed classes of topic 4 and the free "Dotyczy" text of
    // topic 8 are edited when a report is corrected, so they are no part of it: the
    // curriculum report is one per teacher and subject, the other report (topic 8),
    // the head teacher's and the charter reports one per teacher.
    static QString identity(const CollectedReport& report);
    // Names compared the way a person reads them, the same everywhere: Unicode
    // compatibility forms folded (NFKC), every run of blanks one blank, none at the
    // ends, letter case ignored. Names are still shown as written.
    static QString normalized(const QString& name);

private:
    QList<CollectedReport> m_reports;
    QHash<QString, int> m_current; // identity -> index of the report that counts
    QDateTime m_runTime;
};
