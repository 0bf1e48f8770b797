#pragma once

#include "WorkAreaLayout.h"

#include <QRect>

// Where the conduct classification editor's and its grade dialog's controls lie;
// their pictures are painted to the same measures.
namespace ZachowanieLayout {

inline constexpr int kWidth = WorkAreaLayout::kSize.width();
inline constexpr int kHeight = WorkAreaLayout::kSize.height();
inline constexpr int kTitleHeight = WorkAreaLayout::kTitleHeight;

inline constexpr QRect kStrip{24, kTitleHeight + 14, 420, 24}; // the tab strip panel
inline constexpr int kTabCount = 3;
inline constexpr int kTabWidth = 140;
inline constexpr int kTabHeight = 24;
inline constexpr QRect kPanel{0, kTitleHeight + 44, kWidth, kHeight - kTitleHeight - 44}; // every tab's panel

// General tab, in panel coordinates.
inline constexpr QRect kClassList{200, 40, 220, 24};
inline constexpr QRect kDropHotSpot{420, 40, 24, 24};
inline constexpr QRect kClassified{200, 90, 80, 24};
inline constexpr QRect kRemarks{40, 170, 729, 220};

// List tabs, in panel coordinates.
inline constexpr QRect kLeftList{30, 44, 300, 340};
inline constexpr QRect kRightList{478, 44, 300, 340};
inline constexpr QRect kAddButton{348, 170, 112, 26};
inline constexpr QRect kRemoveButton{348, 214, 112, 26};
inline constexpr QRect kEditButton{348, 258, 112, 26};

// The grade dialog.
inline constexpr int kDialogWidth = 591;
inline constexpr int kDialogHeight = 247;
inline constexpr QRect kDialogPupils{20, 12, 551, 22};
inline constexpr QRect kDialogGrade{150, 42, 200, 24};
inline constexpr QRect kDialogGradeDrop{350, 42, 24, 24};
inline constexpr QRect kDialogText{20, 76, 551, 120};
inline constexpr QRect kDialogConfirm{190, 208, 88, 26};
inline constexpr QRect kDialogCancel{312, 208, 88, 26};

} // namespace ZachowanieLayout
