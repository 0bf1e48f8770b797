// Picture of the average dialog: 389 by 159, the prompt and the two drawn buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

using namespace SkinStyle;

namespace {

const QSize kWindow(389, 159);

QImage background()
{
    QImage image = canvas(kWindow);
    {
        QPainter p(&image);
        fillVerticalGradient(p, QRectF(0, 0, kWindow.width(), kWindow.height()), kBody, kFooter);
        paintPanel(p, QRectF(0, 0, kWindow.width(), kWindow.height()), Qt::transparent, kBorder, 0);
        paintCaption(p, QRectF(20, 40, 349, 20),
                     QStringLiteral("Wpisz średnią ocen ucznia (od 4,75 do 6,0):"), font(12, true), kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    const QRect ok(QPoint(96, 118), QSize(88, 26));
    const QRect cancel(QPoint(205, 118), QSize(88, 26));
    drawButton(p, plain, ok, QStringLiteral("Wprowadź"));
    drawButton(p, plain, cancel, QStringLiteral("Anuluj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tloeditsrednie"), background);
    return true;
}();

} // namespace
