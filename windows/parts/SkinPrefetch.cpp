#include "windows/parts/SkinPrefetch.h"

#include "windows/parts/SkinPicture.h"

#include <QThread>

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

struct SkinPrefetch::Shared
{
    enum class State
    {
        Waiting,  // nobody has begun it
        Decoding, // the worker is at it
        Decoded,  // the worker has it ready
        Taken,    // handed out, or claimed by the GUI thread before the worker began it
    };

    struct Picture
    {
        QString name;
        QImage image;
        State state = State::Waiting;
    };

    qreal devicePixelRatio = 1.0;
    std::mutex mutex;
    std::condition_variable decoded;
    std::vector<Picture> pictures; // the list itself is fixed before the worker starts

    // The worker begins at the end of the list and the window's first showing at its
    // start; each decodes what the other has not begun, so that they meet in the
    // middle instead of the window waiting for the worker's queue.
    void work()
    {
        for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture) {
            {
                const std::lock_guard lock(mutex);
                if (picture->state != State::Waiting)
                    continue;
                picture->state = State::Decoding;
            }
            QImage image = SkinImage(picture->name, devicePixelRatio);
            {
                const std::lock_guard lock(mutex);
                picture->image = std::move(image);
                picture->state = State::Decoded;
            }
            decoded.notify_all();
        }
    }
};

namespace {

// The one prefetch alive; only the GUI thread reads or sets it.
SkinPrefetch* active = nullptr;

} // namespace

SkinPrefetch::SkinPrefetch(const QStringList& names, qreal devicePixelRatio)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->devicePixelRatio = devicePixelRatio;
    for (const QString& name : names)
        m_shared->pictures.push_back({name, QImage(), Shared::State::Waiting});
    // The worker takes only time the program leaves over: the window being built
    // and the display server come first, and what the worker has not begun the
    // window decodes itself.
    m_worker.reset(QThread::create([shared = m_shared] { shared->work(); }));
    m_worker->start(QThread::IdlePriority);
    Q_ASSERT(!active);
    active = this;
}

SkinPrefetch::~SkinPrefetch()
{
    if (active == this)
        active = nullptr;
    m_worker->wait();
}

QStringList SkinPrefetch::untaken() const
{
    const std::lock_guard lock(m_shared->mutex);
    QStringList names;
    for (const Shared::Picture& picture : m_shared->pictures) {
        if (picture.state != Shared::State::Taken)
            names.append(picture.name);
    }
    return names;
}

std::optional<QImage> SkinPrefetch::take(const QString& name, qreal devicePixelRatio)
{
    if (!active)
        return std::nullopt;
    Shared& shared = *active->m_shared;
    if (SkinPictureIsHighDensity(shared.devicePixelRatio) != SkinPictureIsHighDensity(devicePixelRatio))
        return std::nullopt;
    std::unique_lock lock(shared.mutex);
    for (Shared::Picture& picture : shared.pictures) {
        if (picture.name != name || picture.state == Shared::State::Taken)
            continue;
        // A picture the worker has not begun is decoded here, beside the worker,
        // rather than waited for.
        if (picture.state == Shared::State::Waiting) {
            picture.state = Shared::State::Taken;
            lock.unlock();
            return SkinImage(name, shared.devicePixelRatio);
        }
        shared.decoded.wait(lock, [&picture] { return picture.state == Shared::State::Decoded; });
        picture.state = Shared::State::Taken;
        return std::exchange(picture.image, QImage());
    }
    return std::nullopt;
}
