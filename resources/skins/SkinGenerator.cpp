// Build-time tool: paints every registered window picture and writes it as a JPEG,
// together with the resource collection file that compiles them into the program.
// Each picture is painted twice: "<name>.jpg" in window pixels and "<name>@2x.jpg"
// at twice the density for high-density screens.
//
//     tabulon_skingen <output folder>
#include "SkinRegistry.h"
#include "SkinStyle.h"
#include "files/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSet>

#include <cstdio>

namespace {

bool loadFonts()
{
    const QDir fonts(QStringLiteral(TABULON_SKIN_FONT_DIR));
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
        if (QFontDatabase::addApplicationFont(fonts.filePath(QString::fromLatin1(file))) < 0) {
            std::fprintf(stderr,
                         "tabulon_skingen: cannot load the font %s from %s (install fonts-dejavu-core)\n",
                         file, qPrintable(fonts.path()));
            return false;
        }
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    const FileResult written = SafeFile::Write(path, bytes);
    if (!written)
        std::fprintf(stderr, "tabulon_skingen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(written.detail));
    return written.ok();
}

bool writeJpeg(const QImage& image, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    if (!writer.write(image)) {
        std::fprintf(stderr, "tabulon_skingen: cannot encode %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return writeFile(path, bytes);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon_skingen <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path()) || !loadFonts())
        return 1;

    QString qrc = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skins\">\n");
    QSet<QString> seen;
    for (const SkinRegistry::Entry& entry : SkinRegistry::entries()) {
        if (seen.contains(entry.name)) {
            std::fprintf(stderr, "tabulon_skingen: the picture \"%s\" is defined twice\n",
                         qPrintable(entry.name));
            return 1;
        }
        seen.insert(entry.name);
        QSize plainSize;
        for (const int scale : {1, 2}) {
            SkinStyle::setScale(scale);
            const QImage image = entry.paint();
            if (image.isNull()) {
                std::fprintf(stderr, "tabulon_skingen: the picture \"%s\" is empty\n",
                             qPrintable(entry.name));
                return 1;
            }
            // A painter that made its own picture instead of starting from canvas()
            // or crop() would come out at the wrong size here.
            if (scale == 1) {
                plainSize = image.size();
            } else if (image.size() != plainSize * scale) {
                std::fprintf(
                    stderr,
                    "tabulon_skingen: the picture \"%s\" is %dx%d at density %d, not %d times %dx%d\n",
                    qPrintable(entry.name), image.width(), image.height(), scale, scale, plainSize.width(),
                    plainSize.height());
                return 1;
            }
            const QString file = entry.name + (scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale)) +
                                 QStringLiteral(".jpg");
            if (!writeJpeg(image, out.filePath(file)))
                return 1;
            qrc += QStringLiteral("  <file>") + file + QStringLiteral("</file>\n");
        }
    }
    SkinStyle::setScale(1);
    qrc += QStringLiteral("</qresource>\n</RCC>\n");

    return writeFile(out.filePath(QStringLiteral("skins.qrc")), qrc.toUtf8()) ? 0 : 1;
}
