#pragma once

#include <QString>

// The school's mailbox on an IMAP server. The connection is always encrypted: TLS
// from the first byte (imaps, port 993 by default) or STARTTLS (imap, port 143);
// there is no way to read a mailbox in clear.
struct ImapAccount
{
    QString Host;
    int Port = kImplicitTlsPort;
    bool ImplicitTls = true; // false: STARTTLS, demanded
    QString User;
    QString Password;
    QString Folder = QStringLiteral("INBOX");

    static constexpr int kImplicitTlsPort = 993;
    static constexpr int kStartTlsPort = 143;

    // "imaps://host[:port][/FOLDER]" or "imap://host[:port][/FOLDER]" (STARTTLS).
    // False, with the reason in Polish, for anything else.
    static bool FromUrl(const QString& url, ImapAccount* account, QString* error);

    // Checks the fields a user types; false with the reason in Polish.
    bool isValid(QString* error) const;

    // "sekretariat@poczta.szkola.pl:993/INBOX", for people.
    QString displayName() const;
    // The same mailbox for the same account, whatever the password: names its cache.
    QString cacheKey() const;
};
