#pragma once

#include "collect/CollectedReport.h"

#include <QString>

// One report as the collecting window shows it on a double click: what it is, where
// it came from, its state and, for a report that counts, its whole contents. Every
// text from the document is escaped.
QString ReportDetailsHtml(const CollectedReport& report, const QString& origin);
