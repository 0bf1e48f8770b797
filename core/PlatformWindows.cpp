#include "core/Platform.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

#include <shlobj.h>

namespace Platform {

namespace {

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 3 && (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'))))
        folder.chop(1);
    return folder;
}

QString withTrailingSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QLatin1Char('\\')) ? native : native + QLatin1Char('\\');
}

} // namespace

QString separator()
{
    return QStringLiteral("\\");
}

QString appDataFolder()
{
    // The roaming folder, asked for without creating it.
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return QString();
    return withoutTrailingSeparator(QString::fromWCharArray(path));
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
    wchar_t name[256] = {};
    DWORD size = 256;
    if (!GetComputerNameW(name, &size))
        return std::nullopt;
    return QString::fromWCharArray(name, int(size));
}

std::optional<QString> userName()
{
    wchar_t name[256] = {};
    DWORD size = 255;
    // The length returned counts the terminating zero.
    if (!GetUserNameW(name, &size) || size == 0)
        return std::nullopt;
    return QString::fromWCharArray(name, int(size) - 1);
}

OsVersion systemVersion()
{
    // RtlGetVersion tells the true version; GetVersionEx reports 6.2 to programs
    // without a compatibility manifest.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0)
        return {};
    return {int(info.dwMajorVersion), int(info.dwMinorVersion), int(info.dwPlatformId)};
}

} // namespace Platform
