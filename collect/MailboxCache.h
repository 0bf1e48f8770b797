#pragma once

#include <QByteArray>
#include <QString>

struct ImapAccount;

// The local copy of a school mailbox: a Maildir folder (cur/, new/, tmp/) holding
// every mail fetched from the server, named by UIDVALIDITY and UID, and a state file
// with the server's UIDVALIDITY and the last UID looked at. The collection reads it
// as any Maildir folder. A mail is written into tmp/ and renamed into cur/, whole or
// not at all; no link inside the folder is followed.
class MailboxCache
{
public:
    explicit MailboxCache(const QString& folder) : m_folder(folder) {}

    // <the user's data folder>/Orvix/Tabulon/Zbiorka/IMAP/<account key>
    static QString FolderFor(const ImapAccount& account);

    const QString& folder() const { return m_folder; }

    // Creates the folders when missing and reads the state. False with the reason.
    bool open(QString* error);

    qint64 uidValidity() const { return m_uidValidity; }
    qint64 lastUid() const { return m_lastUid; }

    // The server numbers its mails anew: the copies of the old numbering go.
    bool reset(qint64 uidValidity, QString* error);
    bool contains(qint64 uid) const;
    bool store(qint64 uid, const QByteArray& mail, QString* error);
    // Every UID up to `uid` has been looked at.
    bool setLastUid(qint64 uid, QString* error);

    // The file a mail of this cache lies in; its UID when `path` is one, else -1.
    QString mailPath(qint64 uid) const;
    static qint64 UidOfPath(const QString& path);

    static constexpr char kStateFile[] = "tabulon-imap.stan";

private:
    bool writeState(QString* error);

    QString m_folder;
    qint64 m_uidValidity = 0;
    qint64 m_lastUid = 0;
};
