#include "protocol/SmtpClient.h"

#include "protocol/CurlGlobal.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"

#include <curl/curl.h>

#include <QElapsedTimer>
#include <QRegularExpression>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// One connection's view of the message: what has been handed to libcurl so far.
struct Source
{
    const QByteArray* data;
    qsizetype offset = 0;
    bool handedOver() const { return !data->isEmpty() && offset == data->size(); }
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* source = static_cast<Source*>(user);
    const qsizetype room = qsizetype(size * count);
    const qsizetype left = source->data->size() - source->offset;
    const qsizetype n = qMin(room, left);
    if (n > 0) {
        std::memcpy(buffer, source->data->constData() + source->offset, size_t(n));
        source->offset += n;
    }
    return size_t(n);
}

// What the server's answers told: logging in as of the last EHLO answer, STARTTLS
// as of any, and whether EHLO itself was refused (a server that knows only HELO).
struct Capabilities
{
    bool auth = false;
    bool login = false;
    bool starttls = false;
    bool ehloRefused = false;
    bool lastWasEhlo = false;
};

// Reads the server's answers as libcurl passes them by: "250-AUTH PLAIN LOGIN".
int listenToServer(CURL*, curl_infotype type, char* text, size_t size, void* user)
{
    auto* heard = static_cast<Capabilities*>(user);
    if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN)
        return 0;
    const QByteArray line = QByteArray(text, qsizetype(qMin<size_t>(size, 512))).trimmed().toUpper();
    if (type == CURLINFO_HEADER_OUT) {
        heard->lastWasEhlo = line.startsWith("EHLO");
        if (heard->lastWasEhlo) {
            heard->auth = false;
            heard->login = false;
        }
        return 0;
    }
    if (line.size() < 3)
        return 0;
    if (heard->lastWasEhlo && (line.at(0) == '4' || line.at(0) == '5'))
        heard->ehloRefused = true;
    if (line.size() > 4 && line.startsWith("250") && (line.at(3) == '-' || line.at(3) == ' ')) {
        const QList<QByteArray> words = line.mid(4).simplified().split(' ');
        if (words.first() == "AUTH") {
            heard->auth = true;
            heard->login = heard->login || words.contains("LOGIN");
        } else if (words.first() == "STARTTLS") {
            heard->starttls = true;
        }
    }
    return 0;
}

struct Watch
{
    const TransferControl* control;
    qint64 total;
    bool cancelled = false;
};

int watchTransfer(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded)
{
    auto* watch = static_cast<Watch*>(user);
    if (watch->control->progress && !watch->control->progress(qint64(uploaded), watch->total))
        watch->cancelled = true;
    return watch->cancelled ? 1 : 0;
}

void shutDown(curl_socket_t socket)
{
#ifdef Q_OS_WIN
    ::shutdown(socket, SD_BOTH);
#else
    ::shutdown(socket, SHUT_RDWR);
#endif
}

// The socket of one connection, shut from the calling thread while libcurl may be
// closing it on another: the lock keeps a closed (and perhaps reused) number from
// being shut.
struct Goodbye
{
    std::mutex lock;
    bool closed = false;

    void shut(curl_socket_t socket)
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!closed && socket != CURL_SOCKET_BAD)
            shutDown(socket);
    }
};

int closeSocket(void* user, curl_socket_t socket)
{
    auto* goodbye = static_cast<Goodbye*>(user);
    const std::lock_guard<std::mutex> guard(goodbye->lock);
    goodbye->closed = true;
#ifdef Q_OS_WIN
    return ::closesocket(socket);
#else
    return ::close(socket);
#endif
}

// The mail has been accepted: libcurl's clean-up says QUIT and waits for the answer
// as long as the server likes. It runs on a thread of its own while this one waits
// at most `leftMs` and keeps asking `control` whether to go on; past either, the
// connection is shut, which ends the wait at once. The mail is sent either way.
void sayGoodbye(CURL* curl, curl_socket_t socket, Goodbye& goodbye, qint64 leftMs,
                const TransferControl& control, qint64 total)
{
    std::atomic<bool> done = false;
    std::thread closing([curl, &done] {
        curl_easy_cleanup(curl);
        done = true;
    });
    QElapsedTimer waited;
    waited.start();
    bool shut = false;
    while (!done) {
        if (!shut && (waited.elapsed() >= leftMs || (control.progress && !control.progress(total, total)))) {
            goodbye.shut(socket);
            shut = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    closing.join();
}

// Errors that leave open whether the server kept a mail it had been handed whole:
// it may have stored it and not said so yet.
bool leavesDeliveryOpen(CURLcode code)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

bool isPlainHost(const QString& host)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9.-]+$"));
    return pattern.match(host).hasMatch();
}

QString reasonFor(CURLcode code, const char* detail)
{
    QString text;
    switch (code) {
    case CURLE_LOGIN_DENIED:
        text = QStringLiteral("Serwer poczty odrzucił logowanie.");
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
        text = QStringLiteral("Nie znaleziono serwera poczty.");
        break;
    case CURLE_COULDNT_CONNECT:
        text = QStringLiteral("Nie można połączyć się z serwerem poczty.");
        break;
    case CURLE_OPERATION_TIMEDOUT:
        text = QStringLiteral("Serwer poczty nie odpowiada.");
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        text = QStringLiteral("Certyfikat serwera poczty nie został potwierdzony.");
        break;
    case CURLE_USE_SSL_FAILED:
        text = QStringLiteral("Serwer poczty nie pozwolił na szyfrowane połączenie.");
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        text = QStringLiteral("Wysyłanie przerwane.");
        break;
    case CURLE_SSL_CONNECT_ERROR:
        text = QStringLiteral("Nie można nawiązać bezpiecznego połączenia z serwerem poczty.");
        break;
    default:
        text = QStringLiteral("Błąd wysyłania poczty.");
        break;
    }
    const QString more =
        detail && *detail ? QString::fromLocal8Bit(detail) : QString::fromLatin1(curl_easy_strerror(code));
    return text + QStringLiteral(" (") + more.trimmed() + QStringLiteral(")");
}

} // namespace

SmtpClient::SmtpClient(const SmtpAccount& account) : m_account(account)
{
    EnsureCurlReady();
}

bool SmtpClient::send(const MailMessage& message, QString* error)
{
    m_outcome = MailOutcome::Failed;
    if (message.attachmentTooLarge()) {
        m_outcome = MailOutcome::AttachmentTooLarge;
        if (error)
            *error = QStringLiteral("Załącznik jest większy niż %1 MB.")
                         .arg(MailMessage::kMaxAttachmentBytes >> 20);
        return false;
    }
    const QByteArray data = message.compose(error);
    if (data.isEmpty())
        return false;
    QStringList recipients;
    HeaderEncoding::splitAddressList(message.Recipients, &recipients);
    return sendRaw(message.SenderAddress, recipients, data, error);
}

bool SmtpClient::sendRaw(const QString& sender, const QStringList& recipients, const QByteArray& data,
                         QString* error)
{
    m_outcome = MailOutcome::Failed;
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!isPlainHost(m_account.Host))
        return fail(QStringLiteral("Nieprawidłowa nazwa serwera poczty: „%1”.")
                        .arg(HeaderEncoding::withoutLineBreaks(m_account.Host)));
    if (m_account.Port < 1 || m_account.Port > 65535)
        return fail(QStringLiteral("Nieprawidłowy port serwera poczty: %1.").arg(m_account.Port));
    if (!HeaderEncoding::isPlainAddress(sender))
        return fail(QStringLiteral("Nieprawidłowy adres nadawcy: „%1”.")
                        .arg(HeaderEncoding::withoutLineBreaks(sender)));
    if (recipients.isEmpty())
        return fail(QStringLiteral("Brak adresu odbiorcy."));
    for (const QString& r : recipients) {
        if (!HeaderEncoding::isPlainAddress(r))
            return fail(QStringLiteral("Nieprawidłowy adres pocztowy: „%1”.")
                            .arg(HeaderEncoding::withoutLineBreaks(r)));
    }

    const bool implicitTls = m_account.Port == kImplicitTlsPort;
    const QByteArray url =
        QStringLiteral("%1://%2:%3")
            .arg(implicitTls ? QStringLiteral("smtps") : QStringLiteral("smtp"), m_account.Host)
            .arg(m_account.Port)
            .toLatin1();
    const QByteArray from = "<" + sender.toLatin1() + ">";
    curl_slist* rcpt = nullptr;
    for (const QString& r : recipients)
        rcpt = curl_slist_append(rcpt, ("<" + r.toLatin1() + ">").constData());
    const QByteArray user = m_account.User.toUtf8();
    const QByteArray password = m_account.Password.toUtf8();
    const QByteArray caFile = CaFileOverride().toLocal8Bit();
    const curl_version_info_data* curlInfo = curl_version_info(CURLVERSION_NOW);

    QElapsedTimer clock;
    clock.start();
    const qint64 limitMs = qint64(m_control.timeLimitSeconds) * 1000;
    Watch watch{&m_control, data.size()};
    bool handedOver = false;

    const auto attempt = [&](bool login, curl_usessl encryption, Capabilities* heard, char* errorBuffer) {
        const qint64 leftMs = limitMs - clock.elapsed();
        if (limitMs > 0 && leftMs <= 0)
            return CURLE_OPERATION_TIMEDOUT;
        CURL* curl = curl_easy_init();
        if (!curl)
            return CURLE_FAILED_INIT;
        *heard = Capabilities{};
        errorBuffer[0] = 0;
        Source source{&data};
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(encryption));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile.isEmpty()) {
            // The school's own authority, trusted beside the system's store.
            curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
            if (curlInfo && curlInfo->capath)
                curl_easy_setopt(curl, CURLOPT_CAPATH, curlInfo->capath);
        }
        if (login) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
            // Only AUTH LOGIN; a server that lists no AUTH at all gets the mail
            // unauthenticated.
            curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
        }
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
        curl_easy_setopt(curl, CURLOPT_READDATA, &source);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(data.size()));
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_connectTimeout));
        if (limitMs > 0)
            curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(leftMs));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_stallTimeout));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_stallTimeout));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, watchTransfer);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, listenToServer);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, heard);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        Goodbye goodbye;
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, &goodbye);
        const CURLcode code = curl_easy_perform(curl);
        handedOver = source.handedOver();
        {
            // Sockets closed so far were earlier tries; what is left open is the
            // connection's own.
            const std::lock_guard<std::mutex> guard(goodbye.lock);
            goodbye.closed = false;
        }
        // Cleaning up sends QUIT and waits for its answer, beyond the whole-send
        // limit. After a failure the connection is of no use: it is shut at once, so
        // that QUIT fails at once. After a success the server may say goodbye within
        // what is left of the limit, unless the user cancels first.
        curl_socket_t socket = CURL_SOCKET_BAD;
        if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK)
            socket = CURL_SOCKET_BAD;
        if (code != CURLE_OK || socket == CURL_SOCKET_BAD) {
            goodbye.shut(socket);
            curl_easy_cleanup(curl);
            return code;
        }
        const qint64 goodbyeMs = limitMs > 0 ? limitMs - clock.elapsed() : qint64(m_stallTimeout) * 1000;
        sayGoodbye(curl, socket, goodbye, goodbyeMs, m_control, data.size());
        return code;
    };

    char errorBuffer[CURL_ERROR_SIZE] = {};
    Capabilities heard;
    const bool hasLogin = !user.isEmpty();
    bool login = hasLogin;
    // Encryption is demanded first, so that libcurl starts TLS whenever the server
    // offers it and never sends the password before. What the server said decides
    // whether, and how, a second connection is made without it.
    curl_usessl encryption = CURLUSESSL_ALL;
    CURLcode code = attempt(login, encryption, &heard, errorBuffer);
    bool refusedInClear = false;
    if (code == CURLE_REMOTE_ACCESS_DENIED && heard.ehloRefused) {
        // A server that knows only HELO offers neither STARTTLS nor AUTH: the mail
        // goes without a login, the password stays home.
        encryption = CURLUSESSL_NONE;
        login = false;
        code = attempt(login, encryption, &heard, errorBuffer);
    } else if (!implicitTls && code == CURLE_USE_SSL_FAILED && !heard.starttls) {
        // No STARTTLS offered. Without AUTH LOGIN the mail goes without a login; with
        // it the password may cross in clear only where the school allows it.
        if (hasLogin && heard.login && !m_account.AllowPlainLogin) {
            refusedInClear = true;
        } else {
            encryption = CURLUSESSL_NONE;
            login = hasLogin && heard.login;
            code = attempt(login, encryption, &heard, errorBuffer);
        }
    }
    // A server that lists AUTH, but not LOGIN, is not logged into: the mail goes
    // without a login, as to a server that lists no AUTH at all. libcurl stops before
    // sending anything in that case, so another connection is clean.
    if (!refusedInClear && code == CURLE_LOGIN_DENIED && heard.auth && !heard.login) {
        login = false;
        code = attempt(login, encryption, &heard, errorBuffer);
    }
    curl_slist_free_all(rcpt);

    if (refusedInClear) {
        m_outcome = MailOutcome::NoEncryption;
        return fail(QStringLiteral("Serwer poczty nie oferuje szyfrowania; hasło nie zostało wysłane."));
    }
    if (code == CURLE_OK) {
        m_outcome = MailOutcome::Sent;
        return true;
    }
    if (handedOver && leavesDeliveryOpen(code))
        m_outcome = MailOutcome::MayHaveArrived;
    else if (code == CURLE_ABORTED_BY_CALLBACK && watch.cancelled)
        m_outcome = MailOutcome::Cancelled;
    else if (code == CURLE_USE_SSL_FAILED)
        m_outcome = MailOutcome::NoEncryption;
    else if (code == CURLE_PEER_FAILED_VERIFICATION)
        m_outcome = MailOutcome::UntrustedCertificate;
    else
        m_outcome = MailOutcome::Failed;
    return fail(reasonFor(code, errorBuffer));
}
