// Pictures of the message dialog: 350 by 150 background, three icons and the four
// buttons in their normal and highlighted states.
#include "SkinRegistry.h"
#include "SkinStyle.h"

using namespace SkinStyle;

namespace {

const QSize kWindow(350, 150);
const QRect kIcon(12, 4, 42, 43);
const int kTitleHeight = 30;
const int kFooterTop = 108;

QImage background()
{
    QImage image = canvas(kWindow);
    QPainter p(&image);
    paintWindow(p, kWindow, kTitleHeight, QStringLiteral("Tabulon"), 62);
    paintCloseMark(p, QRectF(323, 8, 17, 17));
    paintFooter(p, kWindow, kFooterTop);
    return image;
}

QImage icon(const QColor& colour, const QString& glyph)
{
    QImage image = crop(background(), kIcon);
    QPainter p(&image);
    paintBadge(p, QRectF(0, 0, kIcon.width(), kIcon.height()), colour, glyph);
    return image;
}

QImage warningIcon()
{
    QImage image = crop(background(), kIcon);
    QPainter p(&image);
    paintWarningTriangle(p, QRectF(0, 0, kIcon.width(), kIcon.height()));
    return image;
}

QImage dialogButton(int left, int width, const QString& caption, ButtonState state)
{
    return button(crop(background(), QRect(left, 116, width, 26)), caption, state);
}

void addButton(const QString& name, int left, const QString& caption, int width = 88)
{
    SkinRegistry::add(name, [=] { return dialogButton(left, width, caption, ButtonState::Normal); });
    SkinRegistry::add(name + QStringLiteral("akt"),
                      [=] { return dialogButton(left, width, caption, ButtonState::Highlighted); });
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("oknowarning"), background);
    SkinRegistry::add(QStringLiteral("ikoinfo"), [] { return icon(kInfo, QStringLiteral("i")); });
    SkinRegistry::add(QStringLiteral("ikopytanie"), [] { return icon(kQuestion, QStringLiteral("?")); });
    SkinRegistry::add(QStringLiteral("ikouwaga"), warningIcon);
    addButton(QStringLiteral("buttak"), 63, QStringLiteral("Tak"));
    addButton(QStringLiteral("butnie"), 156, QStringLiteral("Nie"));
    addButton(QStringLiteral("butanuluj"), 248, QStringLiteral("Anuluj"));
    addButton(QStringLiteral("butzamknij"), 190, QStringLiteral("Zamknij"));
    // A wide button without a caption: questions whose answers say what they do get
    // their captions written on it by the dialog.
    addButton(QStringLiteral("butszeroki"), 40, QString(), 144);
    return true;
}();

} // namespace
