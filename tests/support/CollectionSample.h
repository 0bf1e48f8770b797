#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A school's handed-in reports for the collecting tests and pictures, written by the
// program's own report routines: some left in a network folder, some mailed by the
// program's own mail composition (the mails are returned, to be put where a test
// wants them), and the school's data with a teacher who handed in nothing and a
// class without its classification.
struct CollectionSample
{
    QString NetworkFolder; // <root>/siec
    QString DataFolder;    // <root>/dane
    QList<QByteArray> Mails;

    // False when a report could not be written.
    bool write(const QString& root);
    // One more mailed report, for a run that should see something new.
    static QByteArray LateMail(const QString& tempFolder);
};
