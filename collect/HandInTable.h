#pragma once

#include "collect/ReportCollection.h"

#include <QList>
#include <QString>
#include <QStringList>

struct SchoolData;

// How a cell of the hand-in tables stands. Every state has its own words, so the
// colours a window gives them are never the only sign.
enum class HandInState
{
    None,     // nothing handed in, and nothing is expected
    HandedIn, // a report counts
    Replaced, // a report counts; an earlier one of the same kind was replaced by it
    Damaged,  // only a damaged report of this kind, or one dated after the run ("podejrzane")
    Missing,  // expected and not handed in
};

QString HandInStateWord(HandInState state);
// A topic in a word or two, for a column heading.
QString TopicShortName(int topic);

struct HandInCell
{
    HandInState State = HandInState::None;
    QString Text;       // the words shown: "oddane", "brak (3a)", ...
    QList<int> Reports; // indexes into ReportCollection::reports(), the counting ones first
};

struct HandInRow
{
    QString Name;
    QList<HandInCell> Cells;
    // A cell missing, or holding only a damaged report: what "tylko braki" shows.
    bool hasMissing() const;
};

// One table: rows (teachers or classes) × columns (topics).
struct HandInGrid
{
    QStringList Columns; // "1. Klasyfikacja"
    QList<int> Topics; // the topic of each column
    QList<HandInRow> Rows;
};

// Teachers × the nine topics: the school's teachers in the data's order, then the
// authors of reports the data do not know. A teacher without any report misses
// every topic; a class teacher misses topics 1 and 2 of his class.
HandInGrid TeachersByTopic(const ReportCollection& reports, const SchoolData* school,
                           const ReportCollection::Missing* missing);
// Classes × the class topics 1, 2 and 3: the school's classes, then other classes
// named in reports. Topics 1 and 2 are expected of every class.
HandInGrid ClassesByTopic(const ReportCollection& reports, const SchoolData* school);
