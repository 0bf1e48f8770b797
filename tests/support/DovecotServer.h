#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Dovecot IMAP server for one test: its own configuration, run folder and Maildir
// storage in a temporary folder, listening on 127.0.0.1 on a free port, one account
// from a passwd file, run as the current user (as root: as "nobody", which Dovecot
// demands). With TLS it uses a certificate made for the test, which is also the CA
// file to trust. Stopped when the object goes.
class DovecotServer
{
public:
    DovecotServer() = default;
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // False with the reason when Dovecot is missing or does not start.
    bool start(bool tls, QString* error);
    // start() with TLS, and the program told to trust the test's certificate
    // (TABULON_CA_FILE).
    bool startTrusted(QString* error);
    void stop();

    // With TLS: TLS from the first byte; without: plain IMAP.
    int port() const { return m_port; }
    // Plain IMAP, offering STARTTLS when the server has TLS.
    int startTlsPort() const { return m_startTlsPort; }
    QString caFile() const;
    QString logText() const;

    // Stores a mail in INBOX (doveadm save), as a mail that arrived would be.
    bool append(const QByteArray& mail, QString* error);
    // "uid: 1 flags: \Seen ..." for every mail of INBOX, as doveadm tells it.
    QString flags(QString* error);
    bool addFlag(int uid, const QString& flag, QString* error);

    static constexpr const char* kUser = "sekretariat";
    static constexpr const char* kPassword = "tajne szkolne";

private:
    bool doveadm(const QStringList& args, const QByteArray& input, QByteArray* out, QString* error);

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    int m_startTlsPort = 0;
};
