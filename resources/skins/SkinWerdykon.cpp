// Pictures of the class classification editor: the window, the tab strip in its four
// states (one 24-pixel row per chosen tab) and the four tab panels with their drawn
// captions and buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

#include "WerdykonLayout.h"

#include <QStringList>

using namespace SkinStyle;
using namespace WerdykonLayout;

namespace {

const QStringList kTabCaptions{QStringLiteral("Ogólne"), QStringLiteral("Frekwencja"),
                               QStringLiteral("Średnie"), QStringLiteral("Oceny ndst.")};

QImage window()
{
    QImage image = canvas(QSize(kWidth, kHeight));
    QPainter p(&image);
    paintWindow(p, QSize(kWidth, kHeight), kTitleHeight, QStringLiteral("Werdykon uczniów danej klasy"),
                WorkAreaLayout::kCaptionLeft);
    p.fillRect(QRectF(1, kStrip.bottom() + 1, kWidth - 2, 2), kTitleBottom);
    return image;
}

QImage strip()
{
    return tabStrip(kStrip.width(), kTabWidth, kTabHeight, kTabCaptions);
}

QImage panelBody()
{
    QImage image = canvas(kPanel.size());
    QPainter p(&image);
    paintPanel(p, QRectF(0, 0, kPanel.width(), kPanel.height()), Qt::transparent, kBorder, 0);
    return image;
}

QImage generalTab()
{
    QImage image = panelBody();
    {
        QPainter p(&image);
        const QFont label = font(13, true);
        paintCaption(p, QRectF(40, kClassList.top(), 150, 24), QStringLiteral("Klasa:"), label, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(40, kClassified.top(), 150, 24), QStringLiteral("Klasyfikowanych:"), label,
                     kText, Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(40, kPromoted.top(), 150, 24), QStringLiteral("Promowanych:"), label, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(40, 190, 700, 24),
                     QStringLiteral("Wybierz klasę, sprawdź liczby uczniów i przejdź do kolejnych zakładek."),
                     font(12), kText, Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, kDropHotSpot, QStringLiteral("▼"));
    return image;
}

QImage listTab(const QString& rightCaption)
{
    QImage image = panelBody();
    {
        QPainter p(&image);
        const QFont caption = font(12, true);
        paintCaption(p, QRectF(kLeftList.left(), 18, kLeftList.width(), 22),
                     QStringLiteral("Uczniowie klasy"), caption, kText, Qt::AlignLeft | Qt::AlignVCenter);
        paintCaption(p, QRectF(kRightList.left(), 18, kRightList.width(), 22), rightCaption, caption, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, kAddButton, QStringLiteral("Dodaj >>"));
    drawButton(p, plain, kRemoveButton, QStringLiteral("<< Usuń"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlowerdykon"), window);
    SkinRegistry::add(QStringLiteral("zakladkiwerdykon"), strip);
    SkinRegistry::add(QStringLiteral("tlowerdykonogolne"), generalTab);
    SkinRegistry::add(QStringLiteral("tlowerdykonfrekwencja"),
                      [] { return listTab(QStringLiteral("Frekwencja stuprocentowa")); });
    SkinRegistry::add(QStringLiteral("tlowerdykonsrednie"),
                      [] { return listTab(QStringLiteral("Wyróżnieni (średnia ocen)")); });
    SkinRegistry::add(QStringLiteral("tlowerdykonndst"),
                      [] { return listTab(QStringLiteral("Z ocenami niedostatecznymi")); });
    return true;
}();

} // namespace
