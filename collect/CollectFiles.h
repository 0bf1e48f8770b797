#pragma once

#include <QString>

// Folders the collecting side keeps under the user's data folder.
namespace CollectFiles {

// Makes every missing level of `folder` below `base` one at a time, refusing a link
// or file on the way. False with the reason in Polish.
bool MakeFolders(const QString& base, const QString& folder, QString* error);

} // namespace CollectFiles
