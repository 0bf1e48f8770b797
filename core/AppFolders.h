#pragma once

#include <QString>

// The program's folders under the user's application-data folder. Folders end with
// the system's separator, as every folder of AppState does; `orvix` and `tabulon`
// are only created, never joined with names, and have none.
struct AppFolders
{
    QString orvix;        // <application data>/Orvix
    QString tabulon;      // <application data>/Orvix/Tabulon, holds the settings file
    QString data;         // .../Tabulon/Files/: the school data files and "verinfo.inf"
    QString temp;         // .../Tabulon/Temp/: working folder, emptied at every start
    QString settingsFile; // .../Tabulon/Tabulon.ini

    static AppFolders under(const QString& appDataFolder);
};

// The user's application-data folder, without a trailing separator.
QString ResolveAppData();

// Creates one folder whose parent exists (never a whole chain); true when it exists
// afterwards.
bool CreateFolderLevel(const QString& folder);

// Creates Orvix, Tabulon, Files and Temp one level at a time, parent first, each only
// when missing. A folder that cannot be created is not reported here: the file
// operation that needs it fails and tells the user.
void CreateAppFolders(const AppFolders& folders);

// Deletes every file directly inside `folder`, hidden ones and links included;
// sub-folders and their contents stay. Files that cannot be deleted are left alone.
void EmptyFolder(const QString& folder);
