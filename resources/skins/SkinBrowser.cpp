// Picture of the preview window: the work area's size, a title band, the copy and print buttons
// on the left and a frame round the page view.
#include "SkinRegistry.h"
#include "SkinStyle.h"
#include "WorkAreaLayout.h"

#include <QStringList>

using namespace SkinStyle;

namespace {

const QSize kWindow = WorkAreaLayout::kSize;

QImage background()
{
    QImage image = canvas(kWindow);
    {
        QPainter p(&image);
        paintWindow(p, kWindow, WorkAreaLayout::kTitleHeight, QStringLiteral("Podgląd sprawozdania"),
                    WorkAreaLayout::kCaptionLeft);
        paintPanel(p, QRectF(12, 52, 104, 76), kFooter, kLine, 6);
        paintPanel(p, QRectF(124, 56, 672, 422), Qt::white, kBorder, 3);
        const QStringList lines{QStringLiteral("Skopiuj"), QStringLiteral("lub wydrukuj"),
                                QStringLiteral("sprawozdanie")};
        for (int i = 0; i < lines.size(); ++i)
            paintCaption(p, QRectF(12, 140 + 16 * i, 104, 16), lines.at(i), font(11), kText);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, WorkAreaLayout::kCopyButton, QStringLiteral("Kopiuj"));
    drawButton(p, plain, WorkAreaLayout::kPrintButton, QStringLiteral("Drukuj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlobrowser"), background);
    return true;
}();

} // namespace
