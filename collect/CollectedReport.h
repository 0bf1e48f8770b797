#pragma once

#include "document/ReportReader.h"

#include <QByteArrayView>
#include <QString>

// One report document as the school's collecting tool takes it: what the document
// says (read by the report reader), where it was found, and whether it counts.

enum class ReportState
{
    Accepted, // counts in the summary
    Replaced,   // a later one of the same teacher, topic and class or subject counts
    Damaged,    // unreadable, not a report, or not in the report format of its topic
    Suspicious, // dated after the collecting run: it neither counts nor replaces another
};

// The contents (ReportDocument's lists and blocks) are kept only while the report is
// accepted: dropContents() forgets them when it is replaced or set aside.
struct CollectedReport : ReportDocument
{
    QString Source; // where it was read: a file path, or a mail and its attachment name
    ReportState State = ReportState::Damaged;
    QString Reason; // why damaged or replaced, in Polish
};

// Reads one report document from its bytes. The answer is Accepted or Damaged (with
// the reason); the caller decides about replacements.
CollectedReport ReadReportDocument(QByteArrayView bytes, const QString& source);
