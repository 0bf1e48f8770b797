#include "core/Platform.h"

#include <QCoreApplication>
#include <QDir>

#include <pwd.h>
#include <unistd.h>

namespace Platform {

namespace {

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

QString separator()
{
    return QStringLiteral("/");
}

QString appDataFolder()
{
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return withoutTrailingSeparator(QDir::cleanPath(xdg));
    return withoutTrailingSeparator(QDir::homePath()) + QStringLiteral("/.local/share");
}

QString appFolder()
{
    const QString overridden = qEnvironmentVariable("TABULON_APP_FOLDER");
    if (!overridden.isEmpty())
        return withTrailingSeparator(QDir::cleanPath(QDir(overridden).absolutePath()));
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

std::optional<QString> computerName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(name);
}

std::optional<QString> userName()
{
    const passwd* entry = getpwuid(geteuid());
    if (!entry || !entry->pw_name || !*entry->pw_name)
        return std::nullopt;
    return QString::fromLocal8Bit(entry->pw_name);
}

OsVersion systemVersion()
{
    return {};
}

} // namespace Platform
