#include "document/KeyFilters.h"

namespace {

bool isAsciiDigit(QChar key)
{
    return key >= QLatin1Char('0') && key <= QLatin1Char('9');
}

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;

} // namespace

QChar DecimalKeyFilter(QChar key)
{
    if (key == QLatin1Char('.'))
        return QLatin1Char(',');
    if (key.unicode() == kBackspace || key.unicode() == kEnter || key == QLatin1Char(',') ||
        isAsciiDigit(key))
        return key;
    return QChar(0);
}

QChar PlainNumberKeyFilter(QChar key)
{
    if (key.unicode() == kBackspace || key == QLatin1Char('.') || isAsciiDigit(key))
        return key;
    return QChar(0);
}
