#pragma once

#include <QString>

namespace Platform {

// Opens the file with the desktop's default program for its type ("open" on
// Windows). False when the desktop refused or, for a web page, has no program for
// it; no check that the file exists.
bool openWithDefaultHandler(const QString& path);

} // namespace Platform
