#pragma once

#include "collect/CollectionSources.h"
#include "collect/MailboxSync.h"
#include "collect/ReportCollection.h"
#include "collect/SummaryHtml.h"
#include "core/SchoolData.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Everything one collecting run found.
struct CollectionOutcome
{
    std::shared_ptr<ReportCollection> Reports = std::make_shared<ReportCollection>();
    std::shared_ptr<SchoolData> School; // null without the school's data
    ReportCollection::Missing Missing;
    int MailsRead = 0;
    int MailsWithoutReport = 0;
    QStringList Notes;    // inputs given up on, mails that could not be fetched
    QStringList Problems; // sources that could not be read at all, in Polish
    bool ImapUsed = false;
    QString ImapName;   // the mailbox, for people
    QString ImapCache;  // its local copy
    MailboxSyncResult Imap;
    bool Cancelled = false;
    QDateTime Generated;

    // Where a report came from, for people: a file, a mail file, or a mail of the
    // school's mailbox with its UID.
    QString originOf(const QString& source) const;
    SummaryInput summaryInput() const;
};

// One collecting run on the calling thread: the school's data, the folders and
// files, and the school's mailbox (brought up to date first, then read from its
// local copy). It can be cancelled between files and during every network exchange.
class CollectionRun
{
public:
    CollectionRun(const CollectionSources& sources, const QString& password);

    std::function<bool()> cancelled;
    // A stage in Polish, and how far it is (total 0: unknown).
    std::function<void(const QString& stage, int done, int total)> progress;
    void setImapTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds);

    CollectionOutcome run();

private:
    CollectionSources m_sources;
    QString m_password;
    int m_exchangeSeconds = 120;
    int m_connectSeconds = 20;
    int m_stallSeconds = 30;
};
