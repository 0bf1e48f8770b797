#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The school's data as the program keeps it in DataFolder: the three data files and
// the version file. A new set replaces the installed one only as a whole and only
// once checked; the previous good set stays in a backup folder beside it, from which
// start-up can bring the program back when the installed set no longer loads.

// Removes `folder` with everything in it. A link (or a file) under that name is
// removed itself: what it points at is never touched.
void RemoveFolderTree(const QString& folder);

// The backup folder of `dataFolder` (which ends with a separator), ending with one.
QString DataBackupFolder(const QString& dataFolder);

// Loads the data file `name` ("uczniowie.kls", ...) at `path` exactly as start-up
// loads it, and also refuses a file that ends inside an open element: start-up
// reads such a file, but it was most likely cut short. `reason` says what was wrong.
bool CheckDataFile(const QString& name, const QString& path, QString* reason = nullptr);

// Whether the three data files in `folder` load as start-up loads them.
bool DataSetLoads(const QString& folder);

struct DataSetFile
{
    QString name;
    QByteArray bytes;
};

// Installs `files` into `dataFolder`, each one whole or not at all; a link planted
// under a file's name is replaced, never written through. When the installed data
// load, they are first copied into the backup folder, replacing the earlier backup
// (a set that does not load never pushes out a good backup). When a file cannot be
// installed, those installed before it are put back as they were and false is
// returned.
bool InstallDataSet(const QString& dataFolder, const QList<DataSetFile>& files);

enum class DataRecovery
{
    NotNeeded, // the installed data load
    Restored,  // they did not; the backup did and is installed again
    Failed,    // neither loads (or the backup could not be put back)
};

// Start-up's rescue: when the installed data do not load and the backup does, the
// backup becomes the installed set again. Tells nobody; the caller does.
DataRecovery RecoverDataSet(const QString& dataFolder);

// The start-up load of the school data: when the installed data do not load and the
// backup does, the backup is put back, the user is told once, and the program
// starts on it. Otherwise as LoadSchoolData.
bool LoadSchoolDataOrBackup();
