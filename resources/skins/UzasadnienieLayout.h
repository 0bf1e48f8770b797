#pragma once

#include "WorkAreaLayout.h"

#include <QRect>

// Where the failing-grade justification editor's controls lie; its picture is painted
// to the same measures.
namespace UzasadnienieLayout {

inline constexpr int kWidth = WorkAreaLayout::kSize.width();
inline constexpr int kHeight = WorkAreaLayout::kSize.height();
inline constexpr int kTitleHeight = WorkAreaLayout::kTitleHeight;

inline constexpr QRect kSubjectList{220, kTitleHeight + 16, 300, 24};
inline constexpr QRect kSubjectDrop{520, kTitleHeight + 16, 24, 24};
inline constexpr QRect kClassList{220, kTitleHeight + 50, 300, 24};
inline constexpr QRect kClassDrop{520, kTitleHeight + 50, 24, 24};
// The line between the choices and the lists, and the lists' captions.
inline constexpr int kSeparatorTop = kTitleHeight + 86;
inline constexpr int kListCaptionTop = kTitleHeight + 92;
inline constexpr QRect kPupilList{30, kTitleHeight + 118, 300, 318};
inline constexpr QRect kJustifiedList{478, kTitleHeight + 118, 300, 318};
inline constexpr QRect kJustifyButton{348, kTitleHeight + 200, 112, 26};
inline constexpr QRect kRemoveButton{348, kTitleHeight + 244, 112, 26};
inline constexpr QRect kEditButton{348, kTitleHeight + 288, 112, 26};

} // namespace UzasadnienieLayout
