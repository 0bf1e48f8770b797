#pragma once

#include "WorkAreaLayout.h"

#include <QRect>

// Where the class classification editor's controls lie; its pictures are painted to
// the same measures.
namespace WerdykonLayout {

inline constexpr int kWidth = WorkAreaLayout::kSize.width();
inline constexpr int kHeight = WorkAreaLayout::kSize.height();
inline constexpr int kTitleHeight = WorkAreaLayout::kTitleHeight;

inline constexpr QRect kStrip{24, kTitleHeight + 14, 560, 24}; // the tab strip panel
inline constexpr int kTabWidth = 140;
inline constexpr int kTabHeight = 24;
inline constexpr QRect kPanel{0, kTitleHeight + 44, kWidth, kHeight - kTitleHeight - 44}; // every tab's panel

// General tab, in panel coordinates.
inline constexpr QRect kClassList{200, 40, 220, 24};
inline constexpr QRect kDropHotSpot{420, 40, 24, 24};
inline constexpr QRect kClassified{200, 90, 80, 24};
inline constexpr QRect kPromoted{200, 130, 80, 24};

// List tabs, in panel coordinates.
inline constexpr QRect kLeftList{30, 44, 300, 340};
inline constexpr QRect kRightList{478, 44, 300, 340};
inline constexpr QRect kAddButton{348, 170, 112, 26};
inline constexpr QRect kRemoveButton{348, 214, 112, 26};

} // namespace WerdykonLayout
