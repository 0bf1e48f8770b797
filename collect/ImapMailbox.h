#pragma once

#include "collect/ImapAccount.h"
#include "collect/ImapResponse.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// Why an exchange with the mail server ended without its answer.
enum class ImapFailure
{
    None,
    Cancelled,
    TimedOut,
    NoEncryption,         // the server offers no TLS: nothing was sent, the password least of all
    UntrustedCertificate, // the certificate does not verify against the system's or the school's CA
    LoginDenied,
    Unreachable,
    TooLarge,
    Refused,  // the server answered NO or BAD (no such folder, ...)
    Malformed // an answer that cannot be read, or one that ended half-way
};

// A read-only session with one mailbox folder, through libcurl's IMAP: encrypted
// (TLS from the start or STARTTLS, nothing else), logged in, the folder opened with
// EXAMINE, so the server changes nothing in it; messages are read with BODY.PEEK,
// so none is marked read. Every exchange is bounded in bytes and time and can be
// cancelled. One session lives on one thread.
class ImapMailbox
{
public:
    explicit ImapMailbox(const ImapAccount& account);
    ~ImapMailbox();
    ImapMailbox(const ImapMailbox&) = delete;
    ImapMailbox& operator=(const ImapMailbox&) = delete;

    // Seconds one exchange may take in all, to connect, and without a byte.
    void setTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds);
    // Asked now and then; true stops the exchange as cancelled.
    void setCancelCheck(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

    // Connects, logs in and examines the folder.
    bool open(QString* error);
    qint64 uidValidity() const { return m_uidValidity; }
    qint64 messageCount() const { return m_exists; }

    // The UIDs from `first` on, ascending.
    bool uidsFrom(qint64 first, QList<qint64>* uids, QString* error);
    // UID, size and body structure of the given messages.
    bool structures(const QList<qint64>& uids, QList<ImapFetch>* fetches, QString* error);
    // One whole message, at most `maxBytes` long.
    bool message(qint64 uid, qint64 maxBytes, QByteArray* bytes, QString* error);

    ImapFailure failure() const { return m_failure; }

    static constexpr qint64 kMaxAnswerBytes = 32LL * 1024 * 1024; // everything but a message
    static constexpr int kMaxUids = 500000;

private:
    bool run(const QByteArray& command, qint64 maxBytes, ImapResponse* response, QString* error);
    void close();
    bool fail(ImapFailure failure, const QString& reason, QString* error);

    ImapAccount m_account;
    void* m_curl = nullptr;
    bool m_examined = false;
    qint64 m_uidValidity = -1;
    qint64 m_exists = 0;
    int m_exchangeSeconds = 120;
    int m_connectSeconds = 20;
    int m_stallSeconds = 30;
    std::function<bool()> m_cancelled;
    ImapFailure m_failure = ImapFailure::None;
};
