// Pictures of the conduct classification editor: the window, the tab strip in its
// three states (one 24-pixel row per chosen tab) and the three tab panels with their
// drawn captions and buttons.
#include "SkinRegistry.h"
#include "SkinStyle.h"

#include "ZachowanieLayout.h"

#include <QStringList>

using namespace SkinStyle;
using namespace ZachowanieLayout;

namespace {

const QStringList kTabCaptions{QStringLiteral("Ogólne"), QStringLiteral("Wzorowi"),
                               QStringLiteral("Obniżone")};

QImage window()
{
    QImage image = canvas(QSize(kWidth, kHeight));
    QPainter p(&image);
    paintWindow(p, QSize(kWidth, kHeight), kTitleHeight,
                QStringLiteral("Werdykon uczniów pod względem zachowania"), WorkAreaLayout::kCaptionLeft);
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
        paintCaption(p, QRectF(40, kRemarks.top() - 30, 700, 24),
                     QStringLiteral("Uwagi o pracy z klasą (nieobowiązkowe):"), label, kText,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, kDropHotSpot, QStringLiteral("▼"));
    return image;
}

QImage listTab(const QString& rightCaption, bool withEdit)
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
    if (withEdit)
        drawButton(p, plain, kEditButton, QStringLiteral("Edytuj"));
    return image;
}

QImage gradeDialog()
{
    const QSize size(kDialogWidth, kDialogHeight);
    QImage image = canvas(size);
    {
        QPainter p(&image);
        fillVerticalGradient(p, QRectF(0, 0, size.width(), size.height()), kBody, kFooter);
        paintPanel(p, QRectF(0, 0, size.width(), size.height()), Qt::transparent, kBorder, 0);
        paintCaption(p, QRectF(20, kDialogGrade.top(), 120, 24), QStringLiteral("Ocena:"), font(12, true),
                     kText, Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QImage plain = image;
    QPainter p(&image);
    drawButton(p, plain, kDialogGradeDrop, QStringLiteral("▼"));
    drawButton(p, plain, kDialogConfirm, QStringLiteral("Wprowadź"));
    drawButton(p, plain, kDialogCancel, QStringLiteral("Anuluj"));
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlozachowanie"), window);
    SkinRegistry::add(QStringLiteral("zakladkizachowanie"), strip);
    SkinRegistry::add(QStringLiteral("tlozachowanieogolne"), generalTab);
    SkinRegistry::add(QStringLiteral("tlozachowaniewzorowi"),
                      [] { return listTab(QStringLiteral("Zachowanie wzorowe"), false); });
    SkinRegistry::add(QStringLiteral("tlozachowanieobnizone"),
                      [] { return listTab(QStringLiteral("Oceny obniżone z uzasadnieniem"), true); });
    SkinRegistry::add(QStringLiteral("tloedytujzachowanie"), gradeDialog);
    return true;
}();

} // namespace
