#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The main window's work area, where the editors and the preview lie: all in one place,
// of one size, with a title band of one height, ending above the main window's bottom
// separator line.
namespace WorkAreaLayout {

inline constexpr QPoint kOffset{46, 86};
inline constexpr QSize kSize{808, 490};
inline constexpr int kTitleHeight = 40;
inline constexpr int kCaptionLeft = 24;

// The preview's two buttons, wide enough for their captions.
inline constexpr QRect kCopyButton{20, 60, 88, 26};
inline constexpr QRect kPrintButton{20, 94, 88, 26};

} // namespace WorkAreaLayout
