#include "document/AverageValue.h"

namespace {

// Anything beyond this is far outside every accepted range; holding the value here
// keeps long runs of digits from overflowing.
constexpr int kCeiling = 100000000;

bool isSeparator(QChar c)
{
    return c == u',' || c == u'.';
}

} // namespace

std::optional<int> ParseAverage(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype separator = -1;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (isSeparator(c)) {
            if (separator >= 0)
                return std::nullopt;
            separator = i;
        } else if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    const QString whole = separator >= 0 ? trimmed.left(separator) : trimmed;
    const QString fraction = separator >= 0 ? trimmed.mid(separator + 1) : QString();
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    long long hundredths = 0;
    for (const QChar c : whole) {
        hundredths = hundredths * 10 + (c.unicode() - u'0');
        if (hundredths > kCeiling)
            return kCeiling;
    }
    hundredths *= 100;
    if (fraction.size() > 0)
        hundredths += 10 * (fraction.at(0).unicode() - u'0');
    if (fraction.size() > 1)
        hundredths += fraction.at(1).unicode() - u'0';

    // The digits after the hundredths decide the rounding, exactly: more than half
    // rounds up, less than half down, exactly half to the even neighbour.
    const QString rest = fraction.mid(2);
    if (!rest.isEmpty()) {
        const int first = rest.at(0).unicode() - u'0';
        bool beyondFirst = false;
        for (qsizetype i = 1; i < rest.size(); ++i)
            beyondFirst = beyondFirst || rest.at(i) != u'0';
        const bool up = first > 5 || (first == 5 && (beyondFirst || hundredths % 2 != 0));
        if (up)
            ++hundredths;
    }
    return hundredths > kCeiling ? kCeiling : static_cast<int>(hundredths);
}

QString FormatAverage(int hundredths)
{
    return QStringLiteral("%1,%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}
