#include "SkinStyle.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace SkinStyle {

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

namespace {
int paintScale = 1;
} // namespace

void setScale(int scale)
{
    paintScale = qMax(1, scale);
}

int scale()
{
    return paintScale;
}

QImage canvas(QSize size, const QColor& fill)
{
    QImage image(size * paintScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(paintScale);
    image.fill(fill);
    return image;
}

QImage crop(const QImage& picture, const QRect& part)
{
    const qreal ratio = picture.devicePixelRatio();
    const QRect pixels(QPoint(qRound(part.x() * ratio), qRound(part.y() * ratio)),
                       QSize(qRound(part.width() * ratio), qRound(part.height() * ratio)));
    QImage piece = picture.copy(pixels);
    piece.setDevicePixelRatio(ratio);
    return piece;
}

void fillVerticalGradient(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom,
                          qreal radius)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    if (radius > 0)
        p.drawRoundedRect(area, radius, radius);
    else
        p.drawRect(area);
    p.restore();
}

void paintPanel(QPainter& p, const QRectF& area, const QColor& fill, const QColor& border, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

void paintCaption(QPainter& p, const QRectF& area, const QString& text, const QFont& captionFont,
                  const QColor& colour, Qt::Alignment align)
{
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(captionFont);
    p.setPen(colour);
    p.drawText(area, int(align) | Qt::TextSingleLine, text);
    p.restore();
}

void paintWindow(QPainter& p, const QSize& size, int titleHeight, const QString& caption, int captionLeft)
{
    const QRectF whole(QPointF(0, 0), QSizeF(size));
    p.fillRect(whole, kBody);
    fillVerticalGradient(p, QRectF(0, 0, size.width(), titleHeight), kTitleTop, kTitleBottom);
    // A light line under the band keeps it apart from the body on dim screens.
    p.fillRect(QRectF(0, titleHeight, size.width(), 1), kLine);
    paintCaption(p, QRectF(captionLeft, 0, size.width() - captionLeft, titleHeight), caption, font(13, true),
                 kTitleText, Qt::AlignLeft | Qt::AlignVCenter);
    p.save();
    p.setPen(QPen(kBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(whole.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

void paintCloseMark(QPainter& p, const QRectF& area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(area, 3, 3);
    p.setPen(QPen(kTitleText, 1.8, Qt::SolidLine, Qt::RoundCap));
    const QRectF cross = area.adjusted(5, 5, -5, -5);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
    p.restore();
}

void paintFooter(QPainter& p, const QSize& size, int top)
{
    p.fillRect(QRectF(1, top, size.width() - 2, size.height() - top - 1), kFooter);
    p.fillRect(QRectF(1, top, size.width() - 2, 1), kLine);
}

QImage button(const QImage& behind, const QString& caption, ButtonState state)
{
    QImage image = behind.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    const QRectF area(QPointF(0, 0), image.deviceIndependentSize());
    if (state == ButtonState::Highlighted) {
        fillVerticalGradient(p, area.adjusted(0, 0, 0, 0), QColor(0x5D, 0x8F, 0xCB), kTitleBottom, 5);
        paintPanel(p, area, Qt::transparent, QColor(0x2B, 0x4F, 0x7A), 5);
        paintCaption(p, area, caption, font(12, true), kTitleText);
    } else {
        fillVerticalGradient(p, area, QColor(0xFF, 0xFF, 0xFF), QColor(0xE2, 0xE8, 0xF0), 5);
        paintPanel(p, area, Qt::transparent, QColor(0x9A, 0xAE, 0xC7), 5);
        paintCaption(p, area, caption, font(12, true), QColor(0x2F, 0x4A, 0x6B));
    }
    return image;
}

void paintBadge(QPainter& p, const QRectF& area, const QColor& colour, const QString& glyph)
{
    const qreal side = qMin(area.width(), area.height()) - 4;
    const QRectF circle(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), 2));
    QRadialGradient shade(circle.center() - QPointF(side / 5, side / 5), side * 0.75);
    shade.setColorAt(0, colour.lighter(130));
    shade.setColorAt(1, colour);
    p.setBrush(shade);
    p.drawEllipse(circle);
    p.restore();
    paintCaption(p, circle, glyph, font(int(side * 0.62), true), kTitleText);
}

void paintWarningTriangle(QPainter& p, const QRectF& area)
{
    const qreal side = qMin(area.width(), area.height()) - 4;
    const QPointF centre = area.center();
    QPainterPath triangle;
    triangle.moveTo(centre.x(), centre.y() - side / 2);
    triangle.lineTo(centre.x() + side / 2, centre.y() + side / 2 - 3);
    triangle.lineTo(centre.x() - side / 2, centre.y() + side / 2 - 3);
    triangle.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kWarning);
    p.drawPath(triangle);
    p.restore();
    const QRectF mark(centre.x() - side / 4, centre.y() - side / 6, side / 2, side / 2);
    paintCaption(p, mark, QStringLiteral("!"), font(int(side * 0.5), true), QColor(0x3A, 0x2A, 0x0A));
}

void drawButton(QPainter& p, const QImage& plain, const QRect& place, const QString& caption)
{
    p.drawImage(place.topLeft(), button(crop(plain, place), caption, ButtonState::Normal));
}

QImage tabStrip(int width, int tabWidth, int tabHeight, const QStringList& captions)
{
    const int count = int(captions.size());
    QImage image = canvas(QSize(width, count * tabHeight), kBody);
    QPainter p(&image);
    for (int chosen = 0; chosen < count; ++chosen) {
        for (int tab = 0; tab < count; ++tab) {
            const QRectF area(tab * tabWidth + 1, chosen * tabHeight + 1, tabWidth - 2, tabHeight - 1);
            if (tab == chosen) {
                fillVerticalGradient(p, area, kTitleTop, kTitleBottom, 4);
                paintCaption(p, area, captions.at(tab), font(12, true), kTitleText);
            } else {
                fillVerticalGradient(p, area, QColor(0xFF, 0xFF, 0xFF), kFooter, 4);
                paintPanel(p, area, Qt::transparent, kLine, 4);
                paintCaption(p, area, captions.at(tab), font(12), kText);
            }
        }
    }
    return image;
}

} // namespace SkinStyle
