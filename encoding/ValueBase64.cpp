#include "encoding/ValueBase64.h"

#include <array>

namespace ValueBase64 {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char16_t lowest = u'+';
constexpr char16_t highest = u'z';
constexpr qint8 notInAlphabet = -1;

// 6-bit values of the characters "+" to "z"; -1 for the ones outside the alphabet.
constexpr std::array<qint8, highest - lowest + 1> makeValues()
{
    std::array<qint8, highest - lowest + 1> values{};
    for (auto& v : values)
        v = notInAlphabet;
    for (int i = 0; i < 64; ++i)
        values[static_cast<size_t>(alphabet[i] - lowest)] = static_cast<qint8>(i);
    return values;
}
constexpr auto values = makeValues();

} // namespace

std::optional<QByteArray> decode(QStringView text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size() / 4 * 3);
    for (qsizetype g = 0; g < text.size(); g += 4) {
        int q[4];
        for (int i = 0; i < 4; ++i) {
            const char16_t c = text[g + i].unicode();
            if (c < lowest || c > highest)
                return std::nullopt;
            q[i] = values[c - lowest];
        }
        const bool thirdIsFill = text[g + 2] == u'=';
        const bool fourthIsFill = text[g + 3] == u'=';
        if (q[0] == notInAlphabet || q[1] == notInAlphabet)
            return std::nullopt;
        out.append(static_cast<char>((q[0] << 2) | (q[1] >> 4)));
        if (thirdIsFill)
            continue; // one byte, whatever the fourth character is
        if (q[2] == notInAlphabet)
            return std::nullopt;
        out.append(static_cast<char>(((q[1] << 4) | (q[2] >> 2)) & 0xFF));
        if (fourthIsFill)
            continue;
        if (q[3] == notInAlphabet)
            return std::nullopt;
        out.append(static_cast<char>(((q[2] << 6) | q[3]) & 0xFF));
    }
    return out;
}

QString encode(QByteArrayView bytes)
{
    QString out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype left = bytes.size() - i;
        const quint32 b0 = static_cast<uchar>(bytes[i]);
        const quint32 b1 = left > 1 ? static_cast<uchar>(bytes[i + 1]) : 0;
        const quint32 b2 = left > 2 ? static_cast<uchar>(bytes[i + 2]) : 0;
        const quint32 group = (b0 << 16) | (b1 << 8) | b2;
        out.append(QLatin1Char(alphabet[group >> 18]));
        out.append(QLatin1Char(alphabet[(group >> 12) & 63]));
        out.append(left > 1 ? QLatin1Char(alphabet[(group >> 6) & 63]) : QLatin1Char('='));
        out.append(left > 2 ? QLatin1Char(alphabet[group & 63]) : QLatin1Char('='));
    }
    return out;
}

} // namespace ValueBase64
