// Picture of the delivery window: 585 by 357, a title band and three blue bands, one
// per delivery way, each with its icon on the left. The captions are the window's own
// white labels laid over the bands, their words beginning right of the icons.
#include "DecyzjaLayout.h"
#include "SkinRegistry.h"
#include "SkinStyle.h"

#include <QPainterPath>

using namespace SkinStyle;

namespace {

using DecyzjaLayout::kTitleHeight;
using DecyzjaLayout::kWindow;

QRectF iconArea(int way)
{
    const QRectF band = DecyzjaLayout::band(way);
    return QRectF(band.left() + DecyzjaLayout::kIconLeft, band.center().y() - 18, 46, 36);
}

void paintBand(QPainter& p, int way)
{
    const QRectF band = DecyzjaLayout::band(way);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    fillVerticalGradient(p, band, kTitleTop, kTitleBottom, 8);
    p.setPen(QPen(kBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(band.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.restore();
}

QPen iconPen()
{
    return QPen(kTitleText, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A diskette: square body with a cut corner, the shutter and the label.
void paintDisk(QPainter& p, const QRectF& area)
{
    const QRectF body(area.center().x() - 15, area.top() + 3, 30, 30);
    QPainterPath outline;
    outline.moveTo(body.topLeft());
    outline.lineTo(body.right() - 6, body.top());
    outline.lineTo(body.right(), body.top() + 6);
    outline.lineTo(body.bottomRight());
    outline.lineTo(body.bottomLeft());
    outline.closeSubpath();
    p.drawPath(outline);
    p.drawRect(QRectF(body.left() + 7, body.top(), 14, 9));
    p.drawRect(QRectF(body.left() + 5, body.top() + 17, 20, 13));
}

// Three computers joined by the school's network.
void paintNetwork(QPainter& p, const QRectF& area)
{
    const qreal cx = area.center().x();
    const QRectF top(cx - 7, area.top() + 2, 14, 10);
    const QRectF left(cx - 22, area.bottom() - 12, 14, 10);
    const QRectF right(cx + 8, area.bottom() - 12, 14, 10);
    for (const QRectF& box : {top, left, right})
        p.drawRect(box);
    const qreal joint = area.center().y() + 2;
    p.drawLine(QPointF(cx, top.bottom()), QPointF(cx, joint));
    p.drawLine(QPointF(left.center().x(), joint), QPointF(right.center().x(), joint));
    p.drawLine(QPointF(left.center().x(), joint), QPointF(left.center().x(), left.top()));
    p.drawLine(QPointF(right.center().x(), joint), QPointF(right.center().x(), right.top()));
}

// An envelope.
void paintEnvelope(QPainter& p, const QRectF& area)
{
    const QRectF body(area.center().x() - 18, area.top() + 6, 36, 24);
    p.drawRect(body);
    p.drawLine(body.topLeft(), QPointF(body.center().x(), body.center().y() + 2));
    p.drawLine(QPointF(body.center().x(), body.center().y() + 2), body.topRight());
}

QImage background()
{
    QImage image = canvas(kWindow);
    QPainter p(&image);
    paintWindow(p, kWindow, kTitleHeight, QStringLiteral("Dostarczenie sprawozdania"), 24);
    paintCaption(p, QRectF(24, kTitleHeight + 8, kWindow.width() - 48, 20),
                 QStringLiteral("Wybierz, jak chcesz dostarczyć sprawozdanie do szkoły:"), font(12), kText,
                 Qt::AlignLeft | Qt::AlignVCenter);
    for (int way = 0; way < 3; ++way)
        paintBand(p, way);

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(iconPen());
    p.setBrush(Qt::NoBrush);
    paintDisk(p, iconArea(0));
    paintNetwork(p, iconArea(1));
    paintEnvelope(p, iconArea(2));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlodecyzja"), background);
    return true;
}();

} // namespace
