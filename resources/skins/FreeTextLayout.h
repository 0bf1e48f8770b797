#pragma once

#include "WorkAreaLayout.h"

#include <QRect>
#include <QSize>

// Where the controls of the free-text editors lie (the two programme realization
// editors, additional activities, the head teacher's report, the report for the
// minutes and the charter activities); their pictures are painted to the same measures.
// Every window has a title band, one-line fields with their captions on the left and
// memos with their captions above them.
namespace FreeTextLayout {

inline constexpr int kTitleHeight = WorkAreaLayout::kTitleHeight;
inline constexpr int kCaptionLeft = WorkAreaLayout::kCaptionLeft;
inline constexpr int kCaptionWidth = 200;
inline constexpr int kCaptionHeight = 20;

inline constexpr QSize kRealizationSize = WorkAreaLayout::kSize;
inline constexpr QSize kFreeTextSize = WorkAreaLayout::kSize;
inline constexpr QSize kInneSize = WorkAreaLayout::kSize;

// One-line rows: a list with its drop-down hot spot, or an edit.
inline constexpr QRect kFirstList{230, 56, 300, 24};
inline constexpr QRect kDropHotSpot{530, 56, 24, 24};
inline constexpr QRect kSecondLine{230, 90, 324, 24};
inline constexpr QRect kFirstWideLine{230, 56, 554, 24};

// TFRealProgramu: subject, classes, then two memos.
inline constexpr QRect kProgramuGeneral{24, 150, 760, 140};
inline constexpr QRect kProgramuSuccesses{24, 322, 760, 156};

// TFRealWych: class, then two memos.
inline constexpr QRect kWychGeneral{24, 116, 760, 160};
inline constexpr QRect kWychSuccesses{24, 308, 760, 170};

// TFZajDodatkowe and TFInne: one line, then one memo.
inline constexpr QRect kMemoUnderLine{24, 116, 760, 362};
inline constexpr QRect kInneMemo{24, 116, 760, 360};

// TFDyrektor: two memos.
inline constexpr QRect kDyrektorTeaching{24, 76, 760, 190};
inline constexpr QRect kDyrektorSupervision{24, 298, 760, 180};

// TFKarta: one memo.
inline constexpr QRect kKartaMemo{24, 76, 760, 402};

// Caption of a one-line field, on its left; of a memo, just above it.
constexpr QRect lineCaption(const QRect& field)
{
    return QRect(kCaptionLeft, field.top(), kCaptionWidth, field.height());
}
constexpr QRect memoCaption(const QRect& memo)
{
    return QRect(memo.left(), memo.top() - kCaptionHeight - 4, memo.width(), kCaptionHeight);
}

} // namespace FreeTextLayout
