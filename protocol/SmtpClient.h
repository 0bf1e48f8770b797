#pragma once

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
};

// Sends one mail per call: greeting, EHLO (HELO when refused), STARTTLS whenever
// the server offers it, AUTH LOGIN when the server lists it, MAIL FROM, one RCPT TO
// per recipient, DATA, QUIT. Port 465 speaks TLS from the start. TLS peers are
// verified against the system's store (or TABULON_CA_FILE). The password travels in
// clear only to a server that offers no STARTTLS.
class SmtpClient
{
public:
    explicit SmtpClient(const SmtpAccount& account);

    // Composes `message` and sends it to its recipients. False with a readable
    // reason on any failure: bad address, unreadable attachment, no connection,
    // refused login or recipient, a connection dropped before the server accepted
    // the mail.
    bool send(const MailMessage& message, QString* error = nullptr);

    // Sends an already composed message.
    bool sendRaw(const QString& sender, const QStringList& recipients, const QByteArray& data,
                 QString* error = nullptr);

    void setConnectTimeout(int seconds) { m_connectTimeout = seconds; }
    void setStallTimeout(int seconds) { m_stallTimeout = seconds; }

    static constexpr int kImplicitTlsPort = 465;

private:
    SmtpAccount m_account;
    int m_connectTimeout = 30;
    int m_stallTimeout = 60;
};
