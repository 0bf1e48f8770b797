#include "windows/parts/PlatformGui.h"

#include "core/HelpSections.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Platform {

namespace {

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// On a free desktop the opener starts and ends happily even when no program takes web
// pages; the desktop's own table of default programs tells beforehand.
bool hasWebPageHandler()
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return false;
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitCode() == 0 && !process.readAllStandardOutput().left(4096).trimmed().isEmpty();
}
#endif

} // namespace

bool openWithDefaultHandler(const QString& pathAt)
{
    QString path;
    QString anchor;
    HelpSections::Split(pathAt, &path, &anchor);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    if (path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) && !hasWebPageHandler())
        return false;
#endif
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return QDesktopServices::openUrl(url);
}

} // namespace Platform
