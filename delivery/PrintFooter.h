#pragma once

#include <QString>

// The footer printed at the foot of every page of a report: the report's kind and
// where the page stands, "Werdykon klasy - nauczanie - strona 1 z 2". Without a kind
// only the page is named.
QString PrintFooter(const QString& kind, int page, int pageCount);
