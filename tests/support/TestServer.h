#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A Python server on 127.0.0.1 and a free port, run for one test. It is stopped when
// this object goes (also when a test fails half-way) and ends by itself when the
// test program dies (its standard input closes) or after its lifetime.
class TestServer
{
public:
    TestServer() = default;
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts tests/support/<script> with `arguments` and waits for its "PORT n" line.
    bool start(const QString& script, const QStringList& arguments, QString* error = nullptr);
    void stop();

    int port() const { return m_port; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    struct SmtpOptions
    {
        QString folder;      // received messages go here as <n>.eml and <n>.json, every
                             // login given as a line of auth.log
        QString certificate; // with key: STARTTLS offered
        QString key;
        QString refusePrefix; // recipients starting with it are refused
        bool dropAfterGreeting = false;
        bool silent = false; // takes connections, never answers
        bool noAuth = false; // lists no AUTH (without a certificate)
        bool plainOnly = false; // lists AUTH PLAIN, not LOGIN
        bool refuseStarttls = false; // with a certificate: lists STARTTLS, answers it 454
        bool dropInData = false; // takes the whole message, then hangs up instead of accepting it
        bool heloOnly = false;   // refuses EHLO, knows only HELO (so offers no STARTTLS and no AUTH)
        bool silentAfterData = false; // stores the whole message, then never answers
        bool silentQuit = false;      // accepts the message, then never answers QUIT
    };
    static constexpr const char* kSmtpUser = "nauczyciel@szkola.test";
    static constexpr const char* kSmtpPassword = "tajne";
    bool startSmtp(const SmtpOptions& options, QString* error = nullptr);

    struct HttpOptions
    {
        QString folder;     // served as the root
        QString log;        // one JSON line per request, when set
        int status = 0;     // every request answered with this status, when set
        QString redirect;   // every request redirected here, when set
        bool stall = false; // never answers
        // "name=mode": a bad answer for one file (see http_server.py)
        QStringList behave = {};
    };
    bool startHttp(const HttpOptions& options, QString* error = nullptr);

    // Writes a self-signed certificate for 127.0.0.1 and its key into `folder`
    // (cert.pem, key.pem) with openssl; the certificate also serves as the CA file.
    static bool makeCertificate(const QString& folder, QString* error = nullptr);

private:
    QProcess m_process;
    int m_port = 0;
};
