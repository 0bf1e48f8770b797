#pragma once

#include "core/AppFolders.h"
#include "files/SafeFile.h"

#include <QString>

// Where an administrator places a settings file for the program to import, and
// which one this user imported last. Beside the program ("tabulon.ini" in the
// program's folder: a build tree, Windows) the file is deleted once imported; on an
// installed Unix system it lies in /etc/tabulon/, where a teacher cannot delete it,
// so a file is imported whenever it differs from the one imported last.

// Names the folder that stands in for /etc/tabulon (tests, unusual installations).
inline constexpr char kSystemSettingsFolderVariable[] = "TABULON_SYSCONF_FOLDER";

// The file to import: "tabulon.ini" beside the program when it is there, otherwise
// (Unix) "tabulon.ini" in the system settings folder; empty when neither exists.
QString SettingsImportFile(const QString& appFolder);

// True when `importFile` is beside the program (and so is deleted once imported).
bool IsBesideProgram(const QString& importFile, const QString& appFolder);

// True when `importFile` can be a settings file at all: a regular file (not a link)
// of at most a megabyte. Anything else (a FIFO would hang the reading)
// is a damaged file.
bool SettingsImportIsPlainFile(const QString& importFile);

// True when `importFile` should be imported: the user has no settings file yet, or
// the file differs from the one imported last.
bool SettingsImportIsDue(const QString& importFile, const AppFolders& folders);

// Notes `importFile` as the one imported last (its SHA-256 in the user's folder).
FileResult RememberSettingsImport(const QString& importFile, const AppFolders& folders);
