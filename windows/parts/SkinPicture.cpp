#include "windows/parts/SkinPicture.h"

#include "windows/parts/SkinPrefetch.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>
#include <QtGlobal>

#include <atomic>
#include <optional>
#include <utility>

// The pictures live in a static library, so their registration must be asked for
// once; Q_INIT_RESOURCE may not be used inside a namespace.
static void initSkinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skins);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

std::atomic<int> picturesLoaded{0};

QString resourcePath(const QString& name, bool highDensity = false)
{
    return QStringLiteral(":/skins/") + name + (highDensity ? QStringLiteral("@2x") : QString()) +
           QStringLiteral(".jpg");
}

QImage decode(const QString& path)
{
    QImageReader reader(path, "JPG");
    return reader.read();
}

} // namespace

bool SkinPictureExists(const QString& name)
{
    initSkinResources();
    return QFile::exists(resourcePath(name));
}

bool SkinPictureIsHighDensity(qreal devicePixelRatio)
{
    return devicePixelRatio > 1.0;
}

QImage SkinImage(const QString& name, qreal devicePixelRatio)
{
    initSkinResources();
    if (SkinPictureIsHighDensity(devicePixelRatio)) {
        QImage picture = decode(resourcePath(name, true));
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(2.0);
            return picture;
        }
    }
    QImage picture = decode(resourcePath(name));
    if (picture.isNull())
        qCritical("Tabulon: the window picture \"%s\" is missing from this build", qPrintable(name));
    return picture;
}

QPixmap SkinPicture(const QString& name, qreal devicePixelRatio)
{
    ++picturesLoaded;
    // Buttons change pictures as the pointer passes; each is decoded once while the
    // toolkit's cache keeps it.
    const QString key = QStringLiteral("tabulon-skin:") +
                        resourcePath(name, SkinPictureIsHighDensity(devicePixelRatio));
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    std::optional<QImage> picture = SkinPrefetch::take(name, devicePixelRatio);
    if (!picture)
        picture = SkinImage(name, devicePixelRatio);
    pixmap = QPixmap::fromImage(std::move(*picture));
    if (!pixmap.isNull())
        QPixmapCache::insert(key, pixmap);
    return pixmap;
}

int SkinPicturesLoaded()
{
    return picturesLoaded;
}
