// Build-time tool: paints the program's icon for the desktop's menus, as a scalable
// SVG and as PNG pictures of the usual sizes, from one description of its shapes, so
// that the two forms cannot drift apart.
//
//     tabulon_icongen <output folder> <name> [zbiorka]
//
// "zbiorka" paints the collecting window's icon: a second sheet behind and a yellow
// arrow into a tray instead of the tick.
// writes <folder>/scalable/<name>.svg and <folder>/<N>x<N>/<name>.png.
#include "files/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <vector>

namespace {

// The icon is drawn on a 256 by 256 grid: a blue tile, a white sheet with a folded
// corner and three lines of text, and a yellow tick, in the colours of the windows.
constexpr int kGrid = 256;
const QColor kTileTop(0x4A, 0x78, 0xAD);
const QColor kTileBottom(0x33, 0x5C, 0x8C);
const QColor kSheet(0xFF, 0xFF, 0xFF);
const QColor kFold(0xC9, 0xD4, 0xE1);
const QColor kLines(0x9A, 0xAE, 0xC7);
const QColor kTick(0xF2, 0xC2, 0x30);

const QRectF kTile(16, 16, 224, 224);
constexpr qreal kTileRadius = 40;
const QPolygonF kSheetOutline{
    {QPointF(72, 40), QPointF(160, 40), QPointF(192, 72), QPointF(192, 216), QPointF(72, 216)}};
const QPolygonF kFoldOutline{{QPointF(160, 40), QPointF(160, 72), QPointF(192, 72)}};
const std::vector<QRectF> kTextLines{QRectF(92, 92, 80, 10), QRectF(92, 116, 80, 10),
                                     QRectF(92, 140, 56, 10)};
const QPolygonF kTickLine{{QPointF(100, 178), QPointF(124, 200), QPointF(172, 152)}};
constexpr qreal kTickWidth = 16;
// The collecting icon: a sheet behind, and an arrow into a tray.
const QPolygonF kBackSheetOutline{
    {QPointF(52, 56), QPointF(140, 56), QPointF(172, 88), QPointF(172, 232), QPointF(52, 232)}};
const std::vector<QPolygonF> kCollectLines{
    {{QPointF(92, 180), QPointF(92, 206), QPointF(172, 206), QPointF(172, 180)}},
    {{QPointF(132, 158), QPointF(132, 190)}},
    {{QPointF(116, 174), QPointF(132, 190), QPointF(148, 174)}}};

bool g_collecting = false;

std::vector<QPolygonF> markLines()
{
    return g_collecting ? kCollectLines : std::vector<QPolygonF>{kTickLine};
}

QString svgColour(const QColor& colour)
{
    return colour.name(QColor::HexRgb);
}

QString svgPoints(const QPolygonF& polygon)
{
    QStringList points;
    for (const QPointF& point : polygon)
        points << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    return points.join(QLatin1Char(' '));
}

QString svg()
{
    QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
            "  <defs>\n"
            "    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
            "      <stop offset=\"0\" stop-color=\"%2\"/>\n"
            "      <stop offset=\"1\" stop-color=\"%3\"/>\n"
            "    </linearGradient>\n"
            "  </defs>\n")
            .arg(kGrid)
            .arg(svgColour(kTileTop), svgColour(kTileBottom));
    text += QStringLiteral(
                "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"url(#tile)\"/>\n")
                .arg(kTile.x())
                .arg(kTile.y())
                .arg(kTile.width())
                .arg(kTile.height())
                .arg(kTileRadius);
    if (g_collecting)
        text += QStringLiteral("  <polygon points=\"%1\" fill=\"%2\"/>\n")
                    .arg(svgPoints(kBackSheetOutline), svgColour(kFold));
    text += QStringLiteral("  <polygon points=\"%1\" fill=\"%2\"/>\n")
                .arg(svgPoints(kSheetOutline), svgColour(kSheet));
    text += QStringLiteral("  <polygon points=\"%1\" fill=\"%2\"/>\n")
                .arg(svgPoints(kFoldOutline), svgColour(kFold));
    for (const QRectF& line : kTextLines)
        text +=
            QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
                .arg(line.x())
                .arg(line.y())
                .arg(line.width())
                .arg(line.height())
                .arg(line.height() / 2)
                .arg(svgColour(kLines));
    for (const QPolygonF& line : markLines())
        text += QStringLiteral("  <polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                               "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
                    .arg(svgPoints(line), svgColour(kTick))
                    .arg(kTickWidth);
    text += QStringLiteral("</svg>\n");
    return text;
}

QImage png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(size) / kGrid, qreal(size) / kGrid);
    QLinearGradient tile(kTile.topLeft(), kTile.bottomLeft());
    tile.setColorAt(0, kTileTop);
    tile.setColorAt(1, kTileBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(kTile, kTileRadius, kTileRadius);
    if (g_collecting) {
        p.setBrush(kFold);
        p.drawPolygon(kBackSheetOutline);
    }
    p.setBrush(kSheet);
    p.drawPolygon(kSheetOutline);
    p.setBrush(kFold);
    p.drawPolygon(kFoldOutline);
    p.setBrush(kLines);
    for (const QRectF& line : kTextLines)
        p.drawRoundedRect(line, line.height() / 2, line.height() / 2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kTick, kTickWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPolygonF& line : markLines())
        p.drawPolyline(line);
    return image;
}

bool save(const QString& path, const QByteArray& bytes)
{
    const FileResult written = SafeFile::Write(path, bytes);
    if (!written)
        std::fprintf(stderr, "tabulon_icongen: cannot write %s: %s\n", qPrintable(path), qPrintable(written.detail));
    return written.ok();
}

bool savePng(const QString& path, const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        std::fprintf(stderr, "tabulon_icongen: cannot encode %s\n", qPrintable(path));
        return false;
    }
    return save(path, bytes);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    g_collecting = argc == 4 && qstrcmp(argv[3], "zbiorka") == 0;
    if (argc != 3 && !g_collecting) {
        std::fprintf(stderr, "usage: tabulon_icongen <output folder> <name> [zbiorka]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!out.mkpath(QStringLiteral("scalable")) ||
        !save(out.filePath(QStringLiteral("scalable/") + name + QStringLiteral(".svg")), svg().toUtf8()))
        return 1;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(folder) ||
            !savePng(out.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png")), png(size)))
            return 1;
    }
    return 0;
}
