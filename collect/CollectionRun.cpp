#include "collect/CollectionRun.h"

#include "collect/InputCollector.h"
#include "collect/MailboxCache.h"

#include <QDir>
#include <QFileInfo>

CollectionRun::CollectionRun(const CollectionSources& sources, const QString& password)
    : m_sources(sources), m_password(password)
{
}

void CollectionRun::setImapTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds)
{
    m_exchangeSeconds = exchangeSeconds;
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

CollectionOutcome CollectionRun::run()
{
    CollectionOutcome out;
    out.Generated = QDateTime::currentDateTime();
    auto stopped = [&] { return cancelled && cancelled(); };
    auto tell = [&](const QString& stage, int done, int total) {
        if (progress)
            progress(stage, done, total);
    };

    if (!m_sources.DataFolder.isEmpty()) {
        auto school = std::make_shared<SchoolData>();
        bool loaded = true;
        for (const auto& [file, load] :
             {std::pair(kTeachersFile, &LoadTeachers), std::pair(kClassesFile, &LoadClasses)}) {
            DataFileStatus status;
            const QString path = QDir(m_sources.DataFolder).filePath(file);
            if (!load(path, *school, &status)) {
                out.Problems.append(QStringLiteral("Dane szkoły: %1: %2").arg(QDir::toNativeSeparators(path), status.reason));
                loaded = false;
                break;
            }
        }
        if (loaded)
            out.School = school;
    }

    InputCollector collector(*out.Reports);
    collector.cancelled = stopped;
    collector.progress = [&](int documents, int mails) {
        tell(QStringLiteral("Czytanie sprawozdań: %1, listów: %2").arg(documents).arg(mails), 0, 0);
    };
    for (const QString& path : std::as_const(m_sources.Paths)) {
        if (stopped())
            break;
        tell(QStringLiteral("Czytanie: %1").arg(QDir::toNativeSeparators(path)), 0, 0);
        QString error;
        if (!collector.addPath(path, &error))
            out.Problems.append(error);
    }

    if (m_sources.UseImap && !stopped()) {
        ImapAccount account = m_sources.Imap;
        account.Password = m_password;
        out.ImapUsed = true;
        out.ImapName = account.displayName();
        out.ImapCache = MailboxCache::FolderFor(account);
        MailboxSync sync(account, out.ImapCache);
        sync.setTimeLimits(m_exchangeSeconds, m_connectSeconds, m_stallSeconds);
        sync.setCancelCheck(stopped);
        sync.progress = [&](int done, int total) {
            tell(QStringLiteral("Skrzynka %1: nowe listy %2 z %3").arg(out.ImapName).arg(done).arg(total), done, total);
        };
        tell(QStringLiteral("Łączenie ze skrzynką %1").arg(out.ImapName), 0, 0);
        if (!sync.run(&out.Imap) && out.Imap.failure != ImapFailure::Cancelled)
            out.Problems.append(QStringLiteral("Skrzynka %1: %2").arg(out.ImapName, out.Imap.error));
        out.Notes += out.Imap.problems;
        // What the copy holds is read even when the server could not be reached:
        // the mails fetched before are still the school's.
        QString error;
        if (QFileInfo(out.ImapCache + QStringLiteral("/cur")).isDir() && !stopped()) {
            tell(QStringLiteral("Czytanie listów ze skrzynki %1").arg(out.ImapName), 0, 0);
            collector.addPath(out.ImapCache, &error);
        }
    }
    out.Cancelled = stopped();
    out.MailsRead = collector.mailsRead();
    out.MailsWithoutReport = collector.mailsWithoutReport();
    out.Notes = collector.notes() + out.Notes;
    if (out.School)
        out.Missing = out.Reports->missing(*out.School);
    return out;
}

QString CollectionOutcome::originOf(const QString& source) const
{
    if (ImapUsed && source.startsWith(ImapCache + u'/')) {
        const qsizetype colon = source.indexOf(QStringLiteral(": "), ImapCache.size());
        const QString file = colon < 0 ? source : source.left(colon);
        const QString attachment = colon < 0 ? QString() : source.mid(colon + 2);
        const qint64 uid = MailboxCache::UidOfPath(file);
        QString text = QStringLiteral("skrzynka %1, list UID %2").arg(ImapName).arg(uid);
        if (!attachment.isEmpty())
            text += QStringLiteral(", załącznik „%1”").arg(attachment);
        return text + QStringLiteral(" (kopia: %1)").arg(QDir::toNativeSeparators(file));
    }
    return QDir::toNativeSeparators(source);
}

SummaryInput CollectionOutcome::summaryInput() const
{
    SummaryInput s;
    s.Reports = Reports.get();
    s.Generated = Generated;
    s.MailsRead = MailsRead;
    s.MailsWithoutReport = MailsWithoutReport;
    s.Notes = Problems + Notes;
    if (School) {
        for (const _Klasa& c : School->Classes)
            s.DataClasses.append(c.Name);
        s.Missing = Missing;
    }
    return s;
}
