#pragma once

// The common painting of the free-text editors' backgrounds: the window with its title
// band, the captions of its fields and a white frame behind every field, so that the
// edits and memos laid over the picture sit in drawn boxes.
#include "FreeTextLayout.h"
#include "SkinStyle.h"

#include <QList>
#include <QString>

namespace FreeTextSkin {

struct Field
{
    QRect place;
    QString caption;
    bool memo = false;
};

inline QImage background(const QSize& size, const QString& title, const QList<Field>& fields,
                         const QList<QRect>& dropButtons = {})
{
    using namespace SkinStyle;
    QImage image = canvas(size);
    {
        QPainter p(&image);
        paintWindow(p, size, FreeTextLayout::kTitleHeight, title, 24);
        for (const Field& field : fields) {
            const QRect captionPlace = field.memo ? FreeTextLayout::memoCaption(field.place)
                                                  : FreeTextLayout::lineCaption(field.place);
            paintCaption(p, captionPlace, field.caption, font(13, true), kText,
                         Qt::AlignLeft | Qt::AlignVCenter);
            paintPanel(p, QRectF(field.place).adjusted(-2, -2, 2, 2), Qt::white, kLine, 3);
        }
    }
    const QImage plain = image;
    QPainter p(&image);
    for (const QRect& place : dropButtons)
        drawButton(p, plain, place, QStringLiteral("▼"));
    return image;
}

} // namespace FreeTextSkin
