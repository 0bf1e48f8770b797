#pragma once

#include "collect/ReportCollection.h"

#include <QByteArray>
#include <QString>

// The collecting run's tables for a spreadsheet: UTF-8 with a byte-order mark, fields
// separated by ";", lines ended by CR LF, one header row.
namespace ReportsCsv {

// One field (RFC 4180): quoted, with inner quotes doubled, when it holds ";", ",",
// TAB, a quote or a line break; a text beginning with "=", "+", "-", "@", TAB or CR gets an apostrophe in
// front, so that a spreadsheet shows it as text instead of running it as a formula.
QString field(const QString& text);

// plik;nauczyciel;temat;klasa;przedmiot;data;stan;powód, one row per document read
// and per input given up on (a folder that cannot be read, a mail past a cap); the
// reason is empty for an accepted report.
QByteArray reports(const ReportCollection& collection);
// nauczyciel;brak, one row per teacher who misses something.
QByteArray missing(const ReportCollection::Missing& missing);

// przyjęty, zastąpiony, podejrzany or uszkodzony.
QString stateName(ReportState state);

// The row date of a report: "19.06.2026 09:05:03", or the text as written when it is
// no date.
QString rowDate(const CollectedReport& report);

} // namespace ReportsCsv
