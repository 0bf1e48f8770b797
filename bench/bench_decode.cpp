// Decoding speed of stored values: the key derived once per process (as the program
// does) against the key derived afresh for every value (all four key lengths and the
// cipher's key schedule on every call).
#include "encoding/TextCodec.h"
#include "encoding/ValueCipher.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int valueCount = 100000;
constexpr int perCallCount = 10000; // the slow way is timed on fewer values

QStringList makeValues()
{
    // Plain texts of 8 to 39 characters give values of 24 to 56 Base64 characters.
    const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyząćęłńóśźż ABCDEFGHIJKLMNOPRSTUWZĄĆĘŁŃÓŚŹŻ0123456789");
    QRandomGenerator rng(20261208);
    QStringList values;
    values.reserve(valueCount);
    for (int i = 0; i < valueCount; ++i) {
        QString text;
        const int length = 8 + static_cast<int>(rng.bounded(32));
        for (int n = 0; n < length; ++n)
            text += letters[rng.bounded(letters.size())];
        values.append(EncodeValue(text));
    }
    return values;
}

} // namespace

int main()
{
    const QStringList values = makeValues();
    qsizetype totalChars = 0;
    for (const QString& v : values)
        totalChars += v.size();

    qsizetype check = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString& v : values)
        check += DecodeValue(v).size();
    const double reusedSeconds = timer.nsecsElapsed() / 1e9;

    // As stored values were first decoded: every call derives the keys and keys the cipher.
    qsizetype mismatches = 0;
    timer.restart();
    for (int i = 0; i < perCallCount; ++i) {
        const QString text = TextCodec::fromCp1250(ValueCipher::fromPassPhrase().decodeValue(values[i]));
        mismatches += text.size() == 0 ? 1 : 0;
    }
    const double perCallSeconds = timer.nsecsElapsed() / 1e9;
    for (int i = 0; i < perCallCount; ++i)
        mismatches +=
            DecodeValue(values[i]) == TextCodec::fromCp1250(ValueCipher::shared().decodeValue(values[i])) ? 0
                                                                                                          : 1;

    const double reusedRate = valueCount / reusedSeconds;
    const double perCallRate = perCallCount / perCallSeconds;
    std::printf("values: %d, %.1f Base64 characters on average, %lld plain characters decoded\n", valueCount,
                double(totalChars) / valueCount, static_cast<long long>(check));
    std::printf("key derived once:       %12.0f values/s (%.1f ns per value)\n", reusedRate,
                1e9 * reusedSeconds / valueCount);
    std::printf("key derived every call: %12.0f values/s (%.1f us per value, %d values)\n", perCallRate,
                1e6 * perCallSeconds / perCallCount, perCallCount);
    std::printf("ratio: %.0f times faster with the key reused\n", reusedRate / perCallRate);
    if (mismatches != 0) {
        std::printf("MISMATCH: %lld values decoded differently\n", static_cast<long long>(mismatches));
        return 1;
    }
    return 0;
}
