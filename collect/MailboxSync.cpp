#include "collect/MailboxSync.h"

#include "collect/ImapBodyStructure.h"
#include "collect/MailReader.h"
#include "collect/MailboxCache.h"

MailboxSync::MailboxSync(const ImapAccount& account, const QString& cacheFolder)
    : m_account(account), m_cacheFolder(cacheFolder)
{
}

void MailboxSync::setTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds)
{
    m_exchangeSeconds = exchangeSeconds;
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

bool MailboxSync::run(MailboxSyncResult* result)
{
    *result = {};
    auto stop = [&](ImapFailure failure, const QString& why) {
        result->failure = failure;
        result->error = why;
        return false;
    };
    MailboxCache cache(m_cacheFolder);
    QString error;
    if (!cache.open(&error))
        return stop(ImapFailure::None, error);

    ImapMailbox mailbox(m_account);
    mailbox.setTimeLimits(m_exchangeSeconds, m_connectSeconds, m_stallSeconds);
    mailbox.setCancelCheck(m_cancelled);
    if (!mailbox.open(&error))
        return stop(mailbox.failure(), error);
    if (mailbox.uidValidity() != cache.uidValidity() && !cache.reset(mailbox.uidValidity(), &error))
        return stop(ImapFailure::None, error);

    QList<qint64> uids;
    if (mailbox.messageCount() > 0 && !mailbox.uidsFrom(cache.lastUid() + 1, &uids, &error))
        return stop(mailbox.failure(), error);
    const int total = int(uids.size());
    int done = 0;
    if (progress)
        progress(0, total);
    qint64 firstFailed = -1;
    for (qsizetype start = 0; start < uids.size(); start += kBatch) {
        const QList<qint64> batch = uids.mid(start, kBatch);
        QList<ImapFetch> structures;
        if (!mailbox.structures(batch, &structures, &error))
            return stop(mailbox.failure(), error);
        for (const qint64 uid : batch) {
            const auto found = std::find_if(structures.cbegin(), structures.cend(),
                                            [uid](const ImapFetch& f) { return f.uid == uid; });
            ++done;
            if (found == structures.cend())
                continue; // removed from the folder meanwhile
            ++result->looked;
            if (!CarriesXmlAttachment(found->structure)) {
                ++result->withoutReport;
                continue;
            }
            if (cache.contains(uid))
                continue;
            if (found->size > MailReader::kMaxMailBytes) {
                result->problems.append(QStringLiteral("list UID %1 w skrzynce %2 jest za duży (ponad %3 MB); "
                                                       "nie pobrano go")
                                            .arg(uid)
                                            .arg(m_account.displayName())
                                            .arg(MailReader::kMaxMailBytes >> 20));
                continue;
            }
            QByteArray mail;
            if (!mailbox.message(uid, MailReader::kMaxMailBytes, &mail, &error)) {
                switch (mailbox.failure()) {
                case ImapFailure::Malformed:
                case ImapFailure::Refused:
                case ImapFailure::TooLarge:
                    result->problems.append(QStringLiteral("listu UID %1 w skrzynce %2 nie udało się pobrać: %3")
                                                .arg(uid)
                                                .arg(m_account.displayName(), error));
                    if (firstFailed < 0)
                        firstFailed = uid;
                    continue;
                default:
                    return stop(mailbox.failure(), error);
                }
            }
            if (!cache.store(uid, mail, &error))
                return stop(ImapFailure::None, error);
            ++result->fetched;
            if (progress)
                progress(done, total);
        }
        const qint64 last = firstFailed > 0 ? firstFailed - 1 : batch.last();
        if (last > cache.lastUid() && !cache.setLastUid(last, &error))
            return stop(ImapFailure::None, error);
        if (progress)
            progress(done, total);
    }
    return true;
}
