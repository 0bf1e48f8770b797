#include "windows/zbiorka/CollectWorker.h"

CollectWorker::~CollectWorker()
{
    // The window goes while a collection runs: it is cancelled and waited for; its
    // outcome, posted to this object, goes with it.
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void CollectWorker::setImapTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds)
{
    m_limits[0] = exchangeSeconds;
    m_limits[1] = connectSeconds;
    m_limits[2] = stallSeconds;
}

bool CollectWorker::start(const CollectionSources& sources, const QString& password)
{
    if (m_thread)
        return false;
    m_cancel = false;
    const int exchange = m_limits[0], connect = m_limits[1], stall = m_limits[2];
    m_thread = QThread::create([this, sources, password, exchange, connect, stall] {
        CollectionRun run(sources, password);
        run.setImapTimeLimits(exchange, connect, stall);
        run.cancelled = [this] { return m_cancel.load(); };
        run.progress = [this](const QString& stage, int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, stage, done, total] { Q_EMIT progressed(stage, done, total); }, Qt::QueuedConnection);
        };
        auto outcome = std::make_shared<CollectionOutcome>(run.run());
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                m_thread->wait();
                delete m_thread;
                m_thread = nullptr;
                Q_EMIT finished(outcome);
            },
            Qt::QueuedConnection);
    });
    m_thread->start();
    return true;
}
