#pragma once

#include <QString>

#include <optional>

// A pupil's average as the teacher types it: a decimal number with a comma, kept in
// hundredths. These rules never depend on the user's locale.

inline constexpr int kLowestAverage = 475;  // 4,75
inline constexpr int kHighestAverage = 600; // 6,0

// Reads `text` as a decimal number whose separator is the comma (a point is taken as
// a comma too, for text pasted past the key filter) and rounds it to hundredths, a
// tie going to the even neighbour. Nothing for text that is no number: empty, a lone
// separator, two separators, any other character. Values too large to matter are
// held at a ceiling far above the accepted range.
std::optional<int> ParseAverage(const QString& text);

// An average in hundredths as the program shows it, with the decimal comma: 475 is
// "4,75", 500 is "5,00".
QString FormatAverage(int hundredths);

// Whether an average in hundredths may stand on the distinction list.
inline bool AverageInRange(int hundredths)
{
    return hundredths >= kLowestAverage && hundredths <= kHighestAverage;
}
