#include "core/MachineSignature.h"

namespace {

constexpr int kAny = -1;

struct OsRow
{
    const char* name;
    int major;
    int minor;
    int platform;
};

// Tried in this order; the first row that matches wins.
constexpr OsRow kOsRows[] = {
    {"osWin95", 4, 0, 1},   {"osWin98", 4, 10, 1},       {"osWinME", 4, 90, 1},   {"osWinNT", 4, 0, 2},
    {"osWinXP", 5, 1, 2},   {"osWin2K", 5, 0, 2},        {"osWinVista", 6, 0, 2}, {"osWin7", 6, 1, 2},
    {"osWin8", 6, 2, kAny}, {"osWin10", 10, kAny, kAny},
};

bool matches(int wanted, int actual)
{
    return wanted == kAny || wanted == actual;
}

} // namespace

QString OperatingSystemName(const Platform::OsVersion& version)
{
    for (const OsRow& row : kOsRows) {
        if (matches(row.major, version.major) && matches(row.minor, version.minor) &&
            matches(row.platform, version.platform))
            return QString::fromLatin1(row.name);
    }
    return QStringLiteral("osNieznany");
}

QString BuildMachineSignature(const std::optional<QString>& computerName,
                              const std::optional<QString>& userName, const Platform::OsVersion& version)
{
    return computerName.value_or(QString()) + QLatin1Char(' ') +
           userName.value_or(QStringLiteral("Unknown")) + QLatin1Char(' ') + OperatingSystemName(version);
}

QString BuildMachineSignature()
{
    return BuildMachineSignature(Platform::computerName(), Platform::userName(), Platform::systemVersion());
}
