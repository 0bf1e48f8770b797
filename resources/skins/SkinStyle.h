#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

// The shared look of every window picture: one palette, one font family and a few
// painters, so that windows drawn by different files still belong together.
namespace SkinStyle {

// Palette: soft blue and grey, dark text on light panels, white text on the blue bands.
inline const QColor kBody{0xF5, 0xF7, 0xFA};        // window body
inline const QColor kFooter{0xE8, 0xED, 0xF3};      // band behind the buttons
inline const QColor kLine{0xC9, 0xD4, 0xE1};        // separators
inline const QColor kBorder{0x6F, 0x89, 0xAB};      // outer window border
inline const QColor kTitleTop{0x4A, 0x78, 0xAD};    // title band, top
inline const QColor kTitleBottom{0x33, 0x5C, 0x8C}; // title band, bottom
inline const QColor kTitleText{0xFF, 0xFF, 0xFF};
inline const QColor kText{0x44, 0x44, 0x44}; // body text
inline const QColor kAccent{0x3E, 0x6A, 0x9E};
inline const QColor kInfo{0x3B, 0x7D, 0xC4};
inline const QColor kQuestion{0x2E, 0x8B, 0x8B};
inline const QColor kWarning{0xE3, 0xA0, 0x2B};

enum class ButtonState
{
    Normal,
    Highlighted
};

// The font of every painted caption (DejaVu Sans: it has all Polish letters).
QFont font(int pixelSize, bool bold = false);

// The density the pictures are painted at: 1 for ordinary screens, 2 for the "@2x"
// pictures of high-density ones. canvas() carries it as the picture's device pixel
// ratio, so every painter keeps drawing in the window's own pixels and the
// QPainter scales its strokes and glyphs; sizes of a picture are therefore read
// with deviceIndependentSize(), never size().
void setScale(int scale);
int scale();

// A blank picture of the given size (in window pixels) filled with one colour.
QImage canvas(QSize size, const QColor& fill = kBody);

// A copy of part of a picture, for controls that lie over a window background; `part`
// is in window pixels.
QImage crop(const QImage& picture, const QRect& part);

void fillVerticalGradient(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom,
                          qreal radius = 0);
void paintPanel(QPainter& p, const QRectF& area, const QColor& fill, const QColor& border, qreal radius = 6);
void paintCaption(QPainter& p, const QRectF& area, const QString& text, const QFont& captionFont,
                  const QColor& colour, Qt::Alignment align = Qt::AlignCenter);

// A window: light body, blue title band `titleHeight` high with its caption starting
// at `captionLeft`, and a thin border all round.
void paintWindow(QPainter& p, const QSize& size, int titleHeight, const QString& caption, int captionLeft);

// The close mark of a title band: a white cross on a slightly lighter square.
void paintCloseMark(QPainter& p, const QRectF& area);

// A separate footer band from `top` to the bottom of the window, for the buttons.
void paintFooter(QPainter& p, const QSize& size, int top);

// A picture button painted over `behind` (usually a crop of the window background
// where the button sits). Highlighted buttons are filled with the accent blue.
QImage button(const QImage& behind, const QString& caption, ButtonState state);
// The normal button at `place` of a picture whose plain state is `plain`.
void drawButton(QPainter& p, const QImage& plain, const QRect& place, const QString& caption);

// A tab strip in every state, one `tabHeight` row per chosen tab: the chosen tab in
// the title colours, the others as raised white tabs.
QImage tabStrip(int width, int tabWidth, int tabHeight, const QStringList& captions);

// Round badge with a white glyph ("i", "?") and the warning triangle with "!".
void paintBadge(QPainter& p, const QRectF& area, const QColor& colour, const QString& glyph);
void paintWarningTriangle(QPainter& p, const QRectF& area);

} // namespace SkinStyle
