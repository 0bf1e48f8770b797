#pragma once

#include "collect/ReportCollection.h"

#include <QList>
#include <QString>

// What a new collection brought compared with the one before: reports not seen
// before, and reports that a newer one of the same kind replaced since.
struct CollectionChange
{
    enum class Kind
    {
        New,
        Replaced,
    };
    Kind What = Kind::New;
    int Report = -1; // index into the new collection's reports()
    QString Text;    // "nowe: Kowalska Anna – 3. ... (2a)", for people
};

QList<CollectionChange> ChangesBetween(const ReportCollection& before, const ReportCollection& after);
