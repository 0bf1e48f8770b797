// Picture of the failing-grade justification editor: the subject and class captions,
// the captions of the two lists and the three drawn buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

#include "UzasadnienieLayout.h"

using namespace SkinStyle;
using namespace UzasadnienieLayout;

namespace {

QImage background()
{
    QImage image = canvas(QSize(kWidth, kHeight));
    {
        QPainter p(&image);
        paintWindow(p, QSize(kWidth, kHeight), kTitleHeight,
                    QStringLiteral("Uzasadnienie oceny niedostatecznej"), WorkAreaLayout::kCaptionLeft);
        const QFont label = font(13, true);
        paintCaption(p, QRectF(30, kSubjectList.top(), 180, 24), QStringLiteral("Przedmiot nauczania:"),
                     label, kText, Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(30, kClassList.top(), 180, 24), QStringLiteral("Klasa:"), label, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
        p.fillRect(QRectF(1, kSeparatorTop, kWidth - 2, 1), kLine);
        const QFont caption = font(12, true);
        paintCaption(p, QRectF(kPupilList.left(), kListCaptionTop, kPupilList.width(), 22),
                     QStringLiteral("Uczniowie klasy"), caption, kText, Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(kJustifiedList.left(), kListCaptionTop, kJustifiedList.width(), 22),
                     QStringLiteral("Uczniowie z uzasadnieniem"), caption, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, kSubjectDrop, QStringLiteral("▼"));
    drawButton(p, plain, kClassDrop, QStringLiteral("▼"));
    drawButton(p, plain, kJustifyButton, QStringLiteral("Uzasadnij >>"));
    drawButton(p, plain, kRemoveButton, QStringLiteral("<< Usuń"));
    drawButton(p, plain, kEditButton, QStringLiteral("Edytuj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlouzasadnienie"), background);
    return true;
}();

} // namespace
