#pragma once

#include "protocol/HttpClient.h"
#include "update/VersionFile.h"

#include <QString>
#include <QStringList>

// Fetching the school's data files and the version file "verinfo.inf" from
// Settings.UpdateSource into DataFolder: by HTTP in home mode ("lokalny"), by file
// copy in any other mode. Files are fetched into memory, checked there as start-up
// would load them, and those very bytes are installed only as a whole set
// (DataSetInstall.h); whatever the source sends, the installed data stay loadable.
// Every outcome is told to the user through ShowMessage, once; long fetches show
// progress and can be cancelled (Progress.h).

inline const QString kProgramVersion = QStringLiteral("2.1.1");
inline const QString kVersionFileName = QStringLiteral("verinfo.inf");

// The three data files and the version file, in the order they are fetched.
QStringList UpdateFileNames();

enum UpdateResult
{
    UpdateNothingDone = -1,         // version file not fetched, unreadable or damaged
    UpdateAllCurrent = 0,           // program and data current
    UpdateDataInstalled = 1,        // newer data installed; the caller reloads the school data
    UpdateFetchFailed = 3,          // newer data exist but were not fetched, damaged or not installed
    UpdateInstalledButOutdated = 4, // newer data installed, program outdated; the caller reloads too
    UpdateProgramOutdated = 5,      // data current, program outdated
};

enum InitialFetchResult
{
    InitialFetchDone = 1,
    InitialFetchFailed = 3,
};

// Bounds of every fetch of one file.
struct UpdateLimits
{
    int fileSeconds = 60;                                  // the whole of one file's fetch
    int stallSeconds = HttpClient::kDefaultStallTimeout;   // without a byte (HTTP), also to connect
    qint64 maxFileBytes = HttpClient::kDefaultMaxBodySize; // larger files are damaged ones
};
// The limits used from now on (tests shorten them).
UpdateLimits& updateLimits();


// Run after a settings file was imported: fetches, checks and installs all four
// files, or changes nothing.
int InitialDataFetch();
// The main window's update: compares the school's version file with the installed
// one and with kProgramVersion, installs newer data. Returns an UpdateResult.
int CheckForUpdate();

// The start-up load of the school data: an interrupted install is finished first;
// when the installed data do not load and the backup does, the backup is put back,
// the user is told once, and the program starts on it. Otherwise as LoadSchoolData.
bool LoadSchoolDataOrBackup();
