#pragma once

#include "collect/CollectionRun.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

// Runs one collection on a thread of its own, so the window stays responsive; tells
// its progress and its outcome on the window's thread.
class CollectWorker : public QObject
{
    Q_OBJECT

public:
    explicit CollectWorker(QObject* parent = nullptr) : QObject(parent) {}
    ~CollectWorker() override;

    // False when a collection is still running.
    bool start(const CollectionSources& sources, const QString& password);
    void cancel() { m_cancel = true; }
    bool running() const { return m_thread != nullptr; }

    // Shorter limits for tests.
    void setImapTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds);

Q_SIGNALS:
    void progressed(const QString& stage, int done, int total);
    void finished(std::shared_ptr<CollectionOutcome> outcome);

private:
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    int m_limits[3] = {120, 20, 30};
};
