#pragma once

#include <QString>
#include <QStringList>

// Fetching the school's data files and the version file "verinfo.inf" from
// Settings.UpdateSource into DataFolder: by HTTP in home mode ("lokalny"), by file
// copy in any other mode. Every outcome is told to the user through ShowMessage.

inline const QString kProgramVersion = QStringLiteral("2.1.1");
inline const QString kVersionFileName = QStringLiteral("verinfo.inf");
inline const QString kVersionMarker = QStringLiteral("TabulonInfo");

// The three data files and the version file, in the order they are fetched.
QStringList UpdateFileNames();

enum UpdateResult
{
    UpdateNothingDone = -1,         // version file not fetched, unreadable or damaged
    UpdateAllCurrent = 0,           // program and data current
    UpdateDataInstalled = 1,        // newer data installed; the caller reloads the school data
    UpdateFetchFailed = 3,          // newer data exist but could not be fetched or installed
    UpdateInstalledButOutdated = 4, // newer data installed, program outdated
    UpdateProgramOutdated = 5,      // data current, program outdated
};

enum InitialFetchResult
{
    InitialFetchDone = 1,
    InitialFetchFailed = 3,
};

// UpdateSource + name into TempFolder + name (replaced whole or left as it was).
bool FetchUpdateFile(const QString& name);
// The names in order over one connection; stops at the first failure, leaving the
// files fetched before it in TempFolder.
bool FetchUpdateFiles(const QStringList& names);
// Copies TempFolder + name to DataFolder + name, byte for byte and atomically. True
// when there was nothing to install; false when the copy failed.
bool InstallDataFile(const QString& name);
// Deletes TempFolder + name, if it is there.
void DropTempFile(const QString& name);

// Run once after a settings file was imported: fetches and installs all four files.
int InitialDataFetch();
// The main window's update: compares the school's version file with the installed
// one and with kProgramVersion, installs newer data. Returns an UpdateResult.
int CheckForUpdate();
