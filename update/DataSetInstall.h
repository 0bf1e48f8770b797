#pragma once

#include "files/SafeFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// The school's data as the program keeps it in a data folder: the three data files
// and the version file, under their own names, where every reader finds them. A new
// set replaces the installed one only as a whole: it is first written complete into
// a staging folder beside them, then one small journal file, written atomically,
// says that it is to be the installed set; only then are the files renamed into
// place, and the journal goes last. Whoever finds a journal (start-up, the next
// install) finishes the renames from it; whoever finds staging without a journal
// throws it away. A crash therefore leaves the old set or the new one, never a mix.
// The previous good set stays in a backup folder beside them, from which start-up
// brings the program back when the installed set no longer loads, and from which a
// damaged installed version file is taken again.
//
// Everything here works on the folder it is given and tells its caller what came of
// it; it shows nothing to the user. One install or repair at a time per data folder,
// whichever program runs it: a lock on the folder itself keeps others waiting.

// Removes `folder` with everything in it. A link (or a file) under that name is
// removed itself: what it points at is never touched.
void RemoveFolderTree(const QString& folder);

// The backup folder of `dataFolder` (which ends with a separator), ending with one.
QString DataBackupFolder(const QString& dataFolder);

// Loads the data file `name` ("uczniowie.kls", ...) from `bytes` exactly as start-up
// loads it, and also refuses a file that ends inside an open element: start-up
// reads such a file, but it was most likely cut short. `reason` says what was wrong.
bool CheckDataBytes(const QString& name, const QByteArray& bytes, QString* reason = nullptr);

// Whether the three data files in `folder` load as start-up loads them.
bool DataSetLoads(const QString& folder);

struct DataSetFile
{
    QString name;
    QByteArray bytes;
};

struct DataSetInstallResult
{
    enum Outcome
    {
        Installed,  // the new set is the installed one
        Unchanged,  // nothing was installed; the installed set is as it was
        Unfinished, // the new set was committed, but not all of it is in place yet:
                    // the next start (or install) finishes it
    };
    Outcome outcome = Unchanged;
    QString file;       // the file that could not be written, when it was one of the set
    FileResult failure; // why (FileFailureText() says it in the user's words)
    bool busy = false;  // another running program held the data folder too long
};

// Installs `files` into `dataFolder` (which ends with a separator) as one set, the
// bytes exactly as given; a link planted under a file's name is replaced, never
// written through. When the installed set is sound (its data load and its version
// file can be read), it is first copied into the backup folder, replacing the
// earlier backup.
DataSetInstallResult InstallDataSet(const QString& dataFolder, const QList<DataSetFile>& files);

struct DataSetRepair
{
    bool finishedInstall = false;     // an interrupted install was completed
    bool restoredBackup = false;      // the installed data did not load; the backup's did
    bool restoredVersionFile = false; // the installed version file was damaged or gone
    bool failed = false;              // the installed data do not load, nor the backup's
};

// What start-up and every update do first: finishes or throws away an interrupted
// install, mends an interrupted backup, puts the backup's version file back when the
// installed one is damaged or gone, and, when `restoreData`, the backup's set when the
// installed data do not load. Tells nobody; the caller does.
DataSetRepair RepairDataSet(const QString& dataFolder, bool restoreData);

// A seam for tests: called with the name of every step of an install as it is
// reached, so that a test can end the process at any of them.
using DataSetInstallStepHook = std::function<void(QStringView step)>;
void SetDataSetInstallStepHook(DataSetInstallStepHook hook);
