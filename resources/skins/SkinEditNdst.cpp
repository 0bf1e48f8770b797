// Picture of the failing-subjects dialog: 386 by 239, the prompt and the two drawn buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

using namespace SkinStyle;

namespace {

const QSize kWindow(386, 239);

QImage background()
{
    QImage image = canvas(kWindow);
    {
        QPainter p(&image);
        fillVerticalGradient(p, QRectF(0, 0, kWindow.width(), kWindow.height()), kBody, kFooter);
        paintPanel(p, QRectF(0, 0, kWindow.width(), kWindow.height()), Qt::transparent, kBorder, 0);
        paintCaption(p, QRectF(20, 22, 346, 20), QStringLiteral("Zaznacz przedmioty z oceną niedostateczną:"),
                     font(12, true), kText, Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    const QRect ok(QPoint(94, 200), QSize(88, 26));
    const QRect cancel(QPoint(204, 200), QSize(88, 26));
    drawButton(p, plain, ok, QStringLiteral("Wprowadź"));
    drawButton(p, plain, cancel, QStringLiteral("Anuluj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tloeditndst"), background);
    return true;
}();

} // namespace
