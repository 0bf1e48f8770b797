#include "shell/PlatformGui.h"

#include <QDesktopServices>
#include <QUrl>

namespace Platform {

bool openWithDefaultHandler(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace Platform
