#pragma once

#include <QRect>

// Where the main window's controls sit, in pixels from its top-left corner. The
// pictures are painted to these places and the window puts its controls on them.
namespace GlownyLayout {

inline constexpr QSize kWindow{900, 650};
inline constexpr int kTitleHeight = 32;

inline constexpr QRect kListwa{12, 8, 637, 22};
// Title-bar buttons, left to right.
inline constexpr QRect kPodpowiedz{700, 5, 24, 22};
inline constexpr QRect kHelp{730, 5, 24, 22};
inline constexpr QRect kUpdate{760, 5, 24, 22};
inline constexpr QRect kAbout{790, 5, 24, 22};
inline constexpr QRect kMinimize{836, 5, 24, 22};
inline constexpr QRect kClose{866, 5, 24, 22};

// The hint panel slides down out of the title band into this frame.
inline constexpr QRect kHintFrame{318, 33, 368, 57};
inline constexpr QRect kHintText{12, 4, 318, 49};
inline constexpr QRect kHintNext{338, 17, 22, 22};

inline constexpr QRect kWelcome{150, 120, 600, 380};
inline constexpr QRect kNewDocument{20, 170, 560, 36};      // inside the welcome panel
inline constexpr QRect kExistingDocument{20, 236, 560, 36}; // inside the welcome panel
inline constexpr QRect kWaitingDrafts{24, 286, 552, 84};     // inside the welcome panel

inline constexpr QRect kTeachers{235, 80, 430, 490};
inline constexpr int kTeacherRows = 25;
inline constexpr int kTeacherRowHeight = 16;
inline constexpr int kTeacherListHeight = kTeacherRows * kTeacherRowHeight;
inline constexpr QRect kTeacherList{24, 56, 356, kTeacherListHeight}; // in the panel
inline constexpr QRect kTeacherBar{384, 56, 20, kTeacherListHeight};  // in the panel

inline constexpr QRect kTopics{150, 130, 600, 360};
inline constexpr int kTopicRowHeight = 26;
inline constexpr QRect kTopicList{30, 60, 540, 9 * kTopicRowHeight + 4}; // in the panel

inline constexpr int kNumberWidth = 39;
inline constexpr QRect kNumbers{30, 600, 5 * kNumberWidth, 30};
// The ring round the current step's number, the first number's place.
inline constexpr QRect kCurrentNumber{30, 597, 39, 37};
inline constexpr QRect kBack{758, 592, 56, 44};
inline constexpr QRect kForward{824, 592, 56, 44};

inline constexpr QSize kAboutWindow{399, 287};

} // namespace GlownyLayout
