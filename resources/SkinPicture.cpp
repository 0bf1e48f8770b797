#include "resources/SkinPicture.h"

#include <QFile>
#include <QtGlobal>

#include <atomic>

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

} // namespace

bool SkinPictureExists(const QString& name)
{
    initSkinResources();
    return QFile::exists(resourcePath(name));
}

QPixmap SkinPicture(const QString& name, qreal devicePixelRatio)
{
    initSkinResources();
    ++picturesLoaded;
    QPixmap picture;
    if (devicePixelRatio > 1.0 && picture.load(resourcePath(name, true), "JPG")) {
        picture.setDevicePixelRatio(2.0);
        return picture;
    }
    if (!picture.load(resourcePath(name), "JPG"))
        qCritical("Tabulon: the window picture \"%s\" is missing from this build", qPrintable(name));
    return picture;
}

int SkinPicturesLoaded()
{
    return picturesLoaded;
}
