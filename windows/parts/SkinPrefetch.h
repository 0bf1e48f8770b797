#pragma once

#include <QImage>
#include <QStringList>

#include <memory>
#include <optional>

class QThread;

// Decodes window pictures on a worker thread ahead of their first showing. The
// program names the main window's first pictures while it is still building its
// windows, so that the window's first showing finds them decoded. The worker runs on
// time the program leaves idle and begins at the end of the list; a picture it has not
// begun when the window needs it is decoded by the window itself, so that the window
// never waits longer than for the picture the worker is at. While one lives,
// SkinPicture takes its pictures from it (once each, at the density it was made for)
// and decodes any other itself. One lives at a time; it belongs to the GUI thread.
class SkinPrefetch
{
public:
    // Starts decoding `names` for screens of `devicePixelRatio` (SkinPicture.h).
    SkinPrefetch(const QStringList& names, qreal devicePixelRatio);
    // Waits for the worker; pictures not taken are dropped.
    ~SkinPrefetch();
    SkinPrefetch(const SkinPrefetch&) = delete;
    SkinPrefetch& operator=(const SkinPrefetch&) = delete;

    // The names nobody has taken yet, in the order given.
    QStringList untaken() const;

    // The picture `name` at the density, once the worker has it; nothing when no
    // prefetch holds that name at that density, or it was taken already.
    static std::optional<QImage> take(const QString& name, qreal devicePixelRatio);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<QThread> m_worker;
};
