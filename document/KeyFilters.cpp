#include "document/KeyFilters.h"

#include <Qt>

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

bool IsTypedCharacter(int key, const QString& text)
{
    if (text.isEmpty())
        return false;
    switch (key) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const char16_t first = text.at(0).unicode();
    return first != 0x7f && (first >= 0x20 || first == kBackspace || first == kEnter);
}

QChar PlainNumberKeyFilter(QChar key)
{
    if (key.unicode() == kBackspace || key == QLatin1Char('.') || isAsciiDigit(key))
        return key;
    return QChar(0);
}
