#pragma once

#include "collect/ReportCollection.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The printable summary of a collecting run for the staff meeting, as one HTML page
// in Polish: the classification of every class, the descriptive reports by topic and
// teacher, who handed in what, what is missing (with the school's data) and which
// documents were replaced or damaged. Every text taken from a document is escaped.
struct SummaryInput
{
    const ReportCollection* Reports = nullptr;
    QDateTime Generated;
    int MailsRead = 0;
    int MailsWithoutReport = 0;
    QStringList Notes; // inputs given up on as a whole
    // With the school's data: its classes in file order, and what is missing.
    QStringList DataClasses;
    std::optional<ReportCollection::Missing> Missing;
};

QString SummaryHtml(const SummaryInput& input);
// The same page in pieces that join to it: first the head up to "<body>", last the
// end from "</body>", and between them blocks each of which is whole HTML (a
// section's heading, a class, a report, up to 200 rows of a table with its heading).
QStringList SummaryHtmlParts(const SummaryInput& input);

// An average in hundredths as the summary shows it: "4,75"; empty below 5 (a pupil
// listed without one).
QString AverageText(int hundredths);
