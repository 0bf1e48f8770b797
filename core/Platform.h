#pragma once

#include <QString>

#include <optional>

// What the program asks of the operating system. The functions here need no
// widgets; opening a file with the desktop's handler is in PlatformGui.h.
namespace Platform {

// The Windows version triple: platform 1 is the Windows 9x family, 2 the NT family.
// Other systems report {0, 0, 0}, which names no Windows version.
struct OsVersion
{
    int major = 0;
    int minor = 0;
    int platform = 0;
};

// The separator of the system's paths ("/" here, "\" on Windows).
QString separator();

// The user's application-data folder, without a trailing separator: $XDG_DATA_HOME
// when set to an absolute path, else ~/.local/share (on Windows the roaming
// application-data folder). It is not created.
QString appDataFolder();

// The folder of the program file, with a trailing separator. TABULON_APP_FOLDER,
// when set, names another folder (tests and the demo keep their "tabulon.ini" and
// help there).
QString appFolder();

// Empty when the system cannot tell.
std::optional<QString> computerName();
std::optional<QString> userName();

OsVersion systemVersion();

} // namespace Platform
