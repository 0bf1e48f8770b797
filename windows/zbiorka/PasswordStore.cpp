#include "windows/zbiorka/PasswordStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace PasswordStore {

namespace {

const QString kService = QStringLiteral("pl.orvix.Tabulon.Zbiorka");
constexpr int kWaitMs = 8000;

// Runs a keychain job to its end, or gives up after kWaitMs.
bool finish(QKeychain::Job& job)
{
    QEventLoop loop;
    bool done = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    job.start();
    if (!done)
        loop.exec();
    return done && job.error() == QKeychain::NoError;
}

} // namespace

bool Read(const QString& key, QString* password)
{
    QKeychain::ReadPasswordJob job(kService);
    job.setAutoDelete(false);
    job.setInsecureFallback(false); // never a plain settings file
    job.setKey(key);
    if (!finish(job))
        return false;
    *password = job.textData();
    return !password->isEmpty();
}

bool Write(const QString& key, const QString& password, QString* error)
{
    QKeychain::WritePasswordJob job(kService);
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(key);
    job.setTextData(password);
    if (finish(job))
        return true;
    *error = job.errorString().isEmpty() ? QStringLiteral("portfel haseł nie odpowiada") : job.errorString();
    return false;
}

void Remove(const QString& key)
{
    QKeychain::DeletePasswordJob job(kService);
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(key);
    finish(job);
}

} // namespace PasswordStore
