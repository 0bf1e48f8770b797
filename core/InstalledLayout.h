#pragma once

#include <QString>

// Where the program's shared files lie: the help pages ("Pomoc"), the toolkit's
// translations where the system has none, and pictures that are not compiled in.
//
// An installed program keeps them apart from its binary, the Linux way: with the
// binary in <prefix>/bin they are in <prefix>/share/tabulon. In a build tree, an
// unpacked package or on Windows, where no such folder exists beside bin/, they lie
// in the program's own folder. `programFolder` ends with the system's separator, as
// does the result.
QString SharedFilesFolder(const QString& programFolder);

// The folder of the running program's file, with a trailing separator (needs the
// application object).
QString RunningProgramFolder();

// The help page the help button and F1 open, among the shared files found from
// `programFolder`.
QString HelpPage(const QString& programFolder);
