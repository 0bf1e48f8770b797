// Picture of the justification text dialog: 586 by 231, the prompt and the two drawn buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

using namespace SkinStyle;

namespace {

const QSize kWindow(586, 231);

QImage background()
{
    QImage image = canvas(kWindow);
    {
        QPainter p(&image);
        fillVerticalGradient(p, QRectF(0, 0, kWindow.width(), kWindow.height()), kBody, kFooter);
        paintPanel(p, QRectF(0, 0, kWindow.width(), kWindow.height()), Qt::transparent, kBorder, 0);
        paintCaption(p, QRectF(20, 14, 546, 20), QStringLiteral("Uzasadnienie dla:"), font(12, true), kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    const QRect ok(QPoint(194, 192), QSize(88, 26));
    const QRect cancel(QPoint(304, 192), QSize(88, 26));
    drawButton(p, plain, ok, QStringLiteral("Wprowadź"));
    drawButton(p, plain, cancel, QStringLiteral("Anuluj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tloedycjandst"), background);
    return true;
}();

} // namespace
