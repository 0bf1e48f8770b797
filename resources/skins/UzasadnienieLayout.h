#pragma once

#include <QRect>

// Where the failing-grade justification editor's controls lie; its picture is painted
// to the same measures.
namespace UzasadnienieLayout {

inline constexpr int kWidth = 809;
inline constexpr int kHeight = 500;

inline constexpr QRect kSubjectList{220, 24, 300, 24};
inline constexpr QRect kSubjectDrop{520, 24, 24, 24};
inline constexpr QRect kClassList{220, 60, 300, 24};
inline constexpr QRect kClassDrop{520, 60, 24, 24};

inline constexpr QRect kPupilList{30, 130, 300, 340};
inline constexpr QRect kJustifiedList{478, 130, 300, 340};
inline constexpr QRect kJustifyButton{348, 230, 112, 26};
inline constexpr QRect kRemoveButton{348, 274, 112, 26};
inline constexpr QRect kEditButton{348, 318, 112, 26};

} // namespace UzasadnienieLayout
