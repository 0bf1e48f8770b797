#pragma once

#include <QDate>
#include <QString>

// A date of the version file "verinfo.inf": a Polish short date "dd.MM.yyyy" (also
// with a one-digit day, "d.MM.yyyy") or the older "yyyy-MM-dd". Anything else gives
// an invalid date. The user's locale plays no part.
QDate ParseVersionDate(const QString& text);
