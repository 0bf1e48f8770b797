#pragma once

#include "core/Platform.h"

#include <QString>

#include <optional>

// The name of a Windows version as the report documents record it ("osWin7" and so
// on), "osNieznany" for any system the table does not know.
QString OperatingSystemName(const Platform::OsVersion& version);

// Computer name, user name and system name joined by single blanks. A computer name
// the system could not tell is left empty; a user name it could not tell is
// "Unknown".
QString BuildMachineSignature(const std::optional<QString>& computerName,
                              const std::optional<QString>& userName, const Platform::OsVersion& version);

// The signature of the machine the program runs on.
QString BuildMachineSignature();
