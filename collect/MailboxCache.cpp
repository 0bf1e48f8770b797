#include "collect/MailboxCache.h"

#include "collect/CollectFiles.h"
#include "collect/ImapAccount.h"
#include "core/AppFolders.h"
#include "files/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>


QString MailboxCache::FolderFor(const ImapAccount& account)
{
    return ResolveAppData() + QStringLiteral("/Orvix/Tabulon/Zbiorka/IMAP/") + account.cacheKey();
}

bool MailboxCache::open(QString* error)
{
    // Each level is made and checked on its own, so a link planted on the way is
    // found rather than followed.
    for (const char* sub : {"cur", "new", "tmp"}) {
        if (!CollectFiles::MakeFolders(ResolveAppData(), QDir(m_folder).filePath(QLatin1String(sub)), error))
            return false;
    }
    m_uidValidity = 0;
    m_lastUid = 0;
    // A state that cannot be read makes the cache start over: the server holds the
    // mails.
    QByteArray state;
    if (!SafeFile::Read(QDir(m_folder).filePath(QLatin1String(kStateFile)), 256, &state))
        return true;
    static const QRegularExpression pattern(QStringLiteral("^TABULON-IMAP 1\nuidvalidity (\\d{1,10})\nlast (\\d{1,10})\n$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(state));
    if (m.hasMatch()) {
        m_uidValidity = m.captured(1).toLongLong();
        m_lastUid = m.captured(2).toLongLong();
    }
    return true;
}

bool MailboxCache::reset(qint64 uidValidity, QString* error)
{
    for (const char* sub : {"cur", "new", "tmp"}) {
        QDir dir(QDir(m_folder).filePath(QLatin1String(sub)));
        for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
            QFile::remove(dir.filePath(name));
    }
    m_uidValidity = uidValidity;
    m_lastUid = 0;
    return writeState(error);
}

QString MailboxCache::mailPath(qint64 uid) const
{
    return QDir(m_folder).filePath(QStringLiteral("cur/%1.%2.imap:2,").arg(m_uidValidity).arg(uid));
}

qint64 MailboxCache::UidOfPath(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("/cur/\\d+\\.(\\d+)\\.imap:2,$"));
    const QRegularExpressionMatch m = pattern.match(path);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

bool MailboxCache::contains(qint64 uid) const
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(mailPath(uid)).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MailboxCache::store(qint64 uid, const QByteArray& mail, QString* error)
{
    const FileResult written = SafeFile::Write(mailPath(uid), mail, SafeFile::Access::Private);
    if (!written)
        *error = QStringLiteral("nie można zapisać kopii listu: %1").arg(FileFailureText(written));
    return written.ok();
}

bool MailboxCache::setLastUid(qint64 uid, QString* error)
{
    m_lastUid = uid;
    return writeState(error);
}

bool MailboxCache::writeState(QString* error)
{
    const QByteArray state = "TABULON-IMAP 1\nuidvalidity " + QByteArray::number(m_uidValidity) + "\nlast " +
                             QByteArray::number(m_lastUid) + "\n";
    const FileResult written = SafeFile::Write(QDir(m_folder).filePath(QLatin1String(kStateFile)), state);
    if (!written)
        *error = QStringLiteral("nie można zapisać stanu kopii skrzynki: %1").arg(FileFailureText(written));
    return written.ok();
}
