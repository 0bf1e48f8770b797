#pragma once

#include "files/TransferControl.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct MailMessage;

// The SMTP account a mail is sent through.
struct SmtpAccount
{
    QString Host;
    int Port = 25;
    QString User; // empty: no login
    QString Password;
    // The school allows the password over a connection without encryption. Without
    // it a server that offers no STARTTLS is never given the password.
    bool AllowPlainLogin = false;
};

// How one send ended, for the message the teacher is shown.
enum class MailOutcome {
    Sent,
    Failed,               // refused, unreachable, or ended before the mail was handed over
    Cancelled,            // the user cancelled before the mail was handed over
    MayHaveArrived,       // the whole mail was handed over, then time ran out or the line dropped
    NoEncryption,         // the server offers no encryption and the password may not go in clear
    UntrustedCertificate, // the server's certificate does not verify
    AttachmentTooLarge,   // refused before connecting
};

// Sends one mail per call: greeting, EHLO (HELO when refused), STARTTLS whenever
// the server offers it, AUTH LOGIN when the server lists it, MAIL FROM, one RCPT TO
// per recipient, DATA, QUIT. Port 465 speaks TLS from the start. TLS peers are
// verified against the system's store and the school's own CA file (CaFileOverride).
// The password travels in clear only when the account allows it.
class SmtpClient
{
public:
    explicit SmtpClient(const SmtpAccount& account);

    // Composes `message` and sends it to its recipients. False with a readable
    // reason on any failure; outcome() tells which kind.
    bool send(const MailMessage& message, QString* error = nullptr);

    // Sends an already composed message.
    bool sendRaw(const QString& sender, const QStringList& recipients, const QByteArray& data,
                 QString* error = nullptr);

    MailOutcome outcome() const { return m_outcome; }

    // The whole send, every connection it takes included, ends within the control's
    // time limit; its progress is told the bytes of the message handed over.
    void setTransferControl(const TransferControl& control) { m_control = control; }
    void setConnectTimeout(int seconds) { m_connectTimeout = seconds; }
    void setStallTimeout(int seconds) { m_stallTimeout = seconds; }

    static constexpr int kImplicitTlsPort = 465;
    static constexpr int kDefaultTimeLimitSeconds = 120;

private:
    SmtpAccount m_account;
    TransferControl m_control{kDefaultTimeLimitSeconds, {}};
    int m_connectTimeout = 30;
    int m_stallTimeout = 60;
    MailOutcome m_outcome = MailOutcome::Failed;
};
