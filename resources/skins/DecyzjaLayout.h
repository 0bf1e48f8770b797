#pragma once

#include <QRect>

// Where the delivery window's three ways lie: one blue band each, of one size, evenly
// spaced, the icon on the band's left and the caption's words beginning at one line.
namespace DecyzjaLayout {

inline constexpr QSize kWindow{585, 357};
inline constexpr int kTitleHeight = 40;

inline constexpr int kBandLeft = 24;
inline constexpr int kBandWidth = 537;
inline constexpr int kBandHeight = 58;
inline constexpr int kFirstBandTop = 80;
inline constexpr int kBandSpacing = 84;
// Where the icons lie on their bands, and where the words of every caption begin, right
// of the icons and right of the captions' leading blanks drawn from the band's left.
inline constexpr int kIconLeft = 44;
inline constexpr int kTextLeft = 146;

// The band of way `way` (0 save, 1 network, 2 mail).
constexpr QRect band(int way)
{
    return QRect(kBandLeft, kFirstBandTop + way * kBandSpacing, kBandWidth, kBandHeight);
}

} // namespace DecyzjaLayout
