#include "resources/SkinPicture.h"

#include <QFile>
#include <QtGlobal>

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

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/skins/") + name + QStringLiteral(".jpg");
}

} // namespace

bool SkinPictureExists(const QString& name)
{
    initSkinResources();
    return QFile::exists(resourcePath(name));
}

QPixmap SkinPicture(const QString& name)
{
    initSkinResources();
    QPixmap picture;
    if (!picture.load(resourcePath(name), "JPG"))
        qCritical("Tabulon: the window picture \"%s\" is missing from this build", qPrintable(name));
    return picture;
}
