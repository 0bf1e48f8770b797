#pragma once

#include "collect/ImapAccount.h"
#include "collect/ImapMailbox.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What one synchronisation did.
struct MailboxSyncResult
{
    int looked = 0;         // new messages on the server whose structure was read
    int fetched = 0;        // mails with a report attachment copied into the cache
    int withoutReport = 0;  // mails without one, never fetched
    QStringList problems;   // single mails that could not be taken, in Polish
    ImapFailure failure = ImapFailure::None;
    QString error; // why the run stopped, in Polish; empty when it ran through
};

// Brings the local cache of a school mailbox up to date: examines the folder, asks
// for the UIDs past the last one looked at (all of them when the server's
// UIDVALIDITY changed, after the old copies are dropped), reads their body
// structure, and fetches whole only the mails that carry an XML attachment. What
// has been copied stays copied when the run stops half-way; the next run goes on
// from there. A mail that could not be fetched is tried again next time.
class MailboxSync
{
public:
    MailboxSync(const ImapAccount& account, const QString& cacheFolder);

    void setTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds);
    void setCancelCheck(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }
    // Told the new messages dealt with and their number.
    std::function<void(int done, int total)> progress;

    bool run(MailboxSyncResult* result);

    static constexpr int kBatch = 200;

private:
    ImapAccount m_account;
    QString m_cacheFolder;
    int m_exchangeSeconds = 120;
    int m_connectSeconds = 20;
    int m_stallSeconds = 30;
    std::function<bool()> m_cancelled;
};
