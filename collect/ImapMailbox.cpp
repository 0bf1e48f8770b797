#include "collect/ImapMailbox.h"

#include "protocol/CurlGlobal.h"

#include <curl/curl.h>

#include <sys/socket.h>

namespace {

// What one exchange heard. libcurl hands every line the server sends to the header
// callback, the lines of a literal included, so the whole answer is read from there;
// what libcurl itself makes of a custom command's answer (the body) is not used.
struct Exchange
{
    QByteArray stream;
    qint64 maxBytes = 0;
    bool tooLarge = false;
    bool cancelled = false;
    const std::function<bool()>* cancel = nullptr;

    bool cancelNow()
    {
        if (!cancelled && cancel && *cancel && (*cancel)())
            cancelled = true;
        return cancelled;
    }
};

size_t onLine(char* data, size_t size, size_t count, void* user)
{
    auto* e = static_cast<Exchange*>(user);
    const size_t length = size * count;
    if (qint64(e->stream.size()) + qint64(length) > e->maxBytes) {
        e->tooLarge = true;
        return 0;
    }
    if (e->cancelNow())
        return 0;
    e->stream.append(data, qsizetype(length));
    return length;
}

size_t ignoreBody(char*, size_t size, size_t count, void*)
{
    return size * count;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Exchange*>(user)->cancelNow() ? 1 : 0;
}

// An IMAP quoted string; libcurl URL-decodes a custom command, so "%" is sent as
// "%25".
QByteArray quoted(const QString& text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '%')
            out += "%25";
        else
            out += c;
    }
    return out + '"';
}

QByteArray uidList(const QList<qint64>& uids)
{
    QByteArray out;
    for (const qint64 uid : uids) {
        if (!out.isEmpty())
            out += ',';
        out += QByteArray::number(uid);
    }
    return out;
}

} // namespace

ImapMailbox::ImapMailbox(const ImapAccount& account) : m_account(account)
{
    EnsureCurlReady();
}

ImapMailbox::~ImapMailbox()
{
    close();
}

void ImapMailbox::setTimeLimits(int exchangeSeconds, int connectSeconds, int stallSeconds)
{
    m_exchangeSeconds = exchangeSeconds;
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

void ImapMailbox::close()
{
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL*>(m_curl)); // logs out of a live connection
    m_curl = nullptr;
    m_examined = false;
}

bool ImapMailbox::fail(ImapFailure failure, const QString& reason, QString* error)
{
    m_failure = failure;
    if (error)
        *error = reason;
    return false;
}

bool ImapMailbox::open(QString* error)
{
    close();
    m_failure = ImapFailure::None;
    QString invalid;
    if (!m_account.isValid(&invalid))
        return fail(ImapFailure::Refused, invalid, error);
    const qint64 known = m_uidValidity;
    ImapResponse answer;
    if (!run("EXAMINE " + quoted(m_account.Folder), kMaxAnswerBytes, &answer, error))
        return false;
    if (!answer.readOnly)
        return fail(ImapFailure::Malformed,
                    QStringLiteral("serwer nie potwierdził otwarcia folderu tylko do odczytu"), error);
    if (answer.uidValidity <= 0)
        return fail(ImapFailure::Malformed, QStringLiteral("serwer nie podał UIDVALIDITY folderu"), error);
    if (known > 0 && answer.uidValidity != known)
        return fail(ImapFailure::Malformed,
                    QStringLiteral("numeracja listów w folderze zmieniła się w trakcie pobierania"), error);
    m_uidValidity = answer.uidValidity;
    m_exists = qMax<qint64>(0, answer.exists);
    m_examined = true;
    return true;
}

bool ImapMailbox::uidsFrom(qint64 first, QList<qint64>* uids, QString* error)
{
    ImapResponse answer;
    if (!run("UID SEARCH UID " + QByteArray::number(qMax<qint64>(1, first)) + ":*", kMaxAnswerBytes, &answer,
             error))
        return false;
    QList<qint64> found;
    for (const qint64 uid : std::as_const(answer.searchUids)) {
        // "n:*" also names the last message when every UID is below n.
        if (uid >= first)
            found.append(uid);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    if (found.size() > kMaxUids)
        return fail(ImapFailure::TooLarge,
                    QStringLiteral("folder ma ponad %1 listów").arg(kMaxUids), error);
    *uids = found;
    return true;
}

bool ImapMailbox::structures(const QList<qint64>& uids, QList<ImapFetch>* fetches, QString* error)
{
    fetches->clear();
    if (uids.isEmpty())
        return true;
    ImapResponse answer;
    if (!run("UID FETCH " + uidList(uids) + " (UID RFC822.SIZE BODYSTRUCTURE)", kMaxAnswerBytes, &answer, error))
        return false;
    for (ImapFetch& f : answer.fetches) {
        if (f.uid > 0 && f.hasStructure && uids.contains(f.uid))
            fetches->append(std::move(f));
    }
    return true;
}

bool ImapMailbox::message(qint64 uid, qint64 maxBytes, QByteArray* bytes, QString* error)
{
    ImapResponse answer;
    // The lines around the message: a few hundred bytes, bounded generously.
    if (!run("UID FETCH " + QByteArray::number(uid) + " (UID BODY.PEEK[])", maxBytes + 64 * 1024, &answer,
             error))
        return false;
    for (ImapFetch& f : answer.fetches) {
        if (f.uid == uid && f.hasBody) {
            if (f.body.size() > maxBytes)
                return fail(ImapFailure::TooLarge, QStringLiteral("list jest za duży"), error);
            *bytes = std::move(f.body);
            return true;
        }
    }
    return fail(ImapFailure::Refused, QStringLiteral("serwer nie wydał listu UID %1").arg(uid), error);
}

bool ImapMailbox::run(const QByteArray& command, qint64 maxBytes, ImapResponse* response, QString* error)
{
    const bool opening = command.startsWith("EXAMINE ");
    if (!opening && !m_examined && !open(error))
        return false;
    m_failure = ImapFailure::None;
    if (!m_curl) {
        m_curl = curl_easy_init();
        if (!m_curl)
            return fail(ImapFailure::Unreachable,
                        QStringLiteral("nie można użyć biblioteki libcurl (%1)")
                            .arg(QString::fromLatin1(curl_easy_strerror(CURLE_FAILED_INIT))),
                        error);
    }
    CURL* curl = static_cast<CURL*>(m_curl);
    const QByteArray url = QStringLiteral("%1://%2:%3/")
                               .arg(m_account.ImplicitTls ? QStringLiteral("imaps") : QStringLiteral("imap"),
                                    m_account.Host)
                               .arg(m_account.Port)
                               .toLatin1();
    const QByteArray user = m_account.User.toUtf8();
    const QByteArray password = m_account.Password.toUtf8();
    const QByteArray caFile = CaFileOverride().toLocal8Bit();
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    Exchange exchange;
    exchange.maxBytes = maxBytes;
    exchange.cancel = &m_cancelled;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "imap,imaps");
    // TLS or nothing: with STARTTLS libcurl stops before the login when the server
    // does not offer it.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty()) {
        // The school's own authority, trusted beside the system's store.
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
        if (info && info->capath)
            curl_easy_setopt(curl, CURLOPT_CAPATH, info->capath);
    }
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command.constData());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Long lines of a mail must reach the header callback whole.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, long(CURL_MAX_READ_SIZE));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_connectSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(m_exchangeSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_stallSeconds));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_stallSeconds));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ignoreBody);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    const CURLcode code = curl_easy_perform(curl);
    long connects = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, static_cast<char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, static_cast<void*>(nullptr));

    auto broken = [&](ImapFailure failure, const QString& reason) {
        // The connection is of no further use; shut it so that logging out does not
        // wait for a server that stopped answering.
        curl_socket_t socket = CURL_SOCKET_BAD;
        if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK && socket != CURL_SOCKET_BAD)
            ::shutdown(socket, SHUT_RDWR);
        close();
        return fail(failure, reason, error);
    };
    const QString detail =
        QString::fromLocal8Bit(*errorBuffer ? errorBuffer : curl_easy_strerror(code)).trimmed();
    switch (code) {
    case CURLE_OK:
        break;
    case CURLE_USE_SSL_FAILED:
        return broken(ImapFailure::NoEncryption,
                      QStringLiteral("serwer poczty nie oferuje szyfrowania (ani TLS, ani STARTTLS), więc nie "
                                     "wysłano mu hasła; poproś administratora poczty o włączenie TLS"));
    case CURLE_PEER_FAILED_VERIFICATION:
        return broken(ImapFailure::UntrustedCertificate,
                      QStringLiteral("certyfikat serwera poczty nie został potwierdzony (%1); jeśli szkoła ma "
                                     "własny urząd certyfikacji, umieść jego certyfikat jako „%2” obok programu")
                          .arg(detail, QString::fromLatin1(kSchoolCaFileName)));
    case CURLE_SSL_CONNECT_ERROR:
        return broken(ImapFailure::NoEncryption,
                      m_account.ImplicitTls
                          ? QStringLiteral("nie udało się nawiązać szyfrowanego połączenia TLS z serwerem na porcie "
                                           "%1 (%2); jeśli serwer używa STARTTLS, wybierz STARTTLS (zwykle port 143)")
                                .arg(m_account.Port)
                                .arg(detail)
                          : QStringLiteral("nie udało się nawiązać szyfrowanego połączenia z serwerem (%1)")
                                .arg(detail));
    case CURLE_LOGIN_DENIED:
        return broken(ImapFailure::LoginDenied,
                      QStringLiteral("serwer poczty odrzucił logowanie: sprawdź nazwę konta i hasło"));
    case CURLE_COULDNT_RESOLVE_HOST:
        return broken(ImapFailure::Unreachable, QStringLiteral("nie znaleziono serwera „%1”").arg(m_account.Host));
    case CURLE_COULDNT_CONNECT:
        return broken(ImapFailure::Unreachable,
                      QStringLiteral("nie można połączyć się z serwerem %1, port %2")
                          .arg(m_account.Host)
                          .arg(m_account.Port));
    case CURLE_OPERATION_TIMEDOUT:
        return broken(ImapFailure::TimedOut, QStringLiteral("serwer poczty nie odpowiada w wyznaczonym czasie"));
    case CURLE_ABORTED_BY_CALLBACK:
        return broken(ImapFailure::Cancelled, QStringLiteral("pobieranie poczty przerwano"));
    case CURLE_QUOTE_ERROR:
        break; // NO or BAD: the answer itself says what was refused
    default:
        if (exchange.cancelled)
            return broken(ImapFailure::Cancelled, QStringLiteral("pobieranie poczty przerwano"));
        if (exchange.tooLarge)
            return broken(ImapFailure::TooLarge, QStringLiteral("odpowiedź serwera jest za duża"));
        return broken(ImapFailure::Malformed, QStringLiteral("błąd połączenia z serwerem poczty (%1)").arg(detail));
    }
    // Every command after the first needs the folder examined on this very
    // connection.
    if (!opening && connects != 0)
        return broken(ImapFailure::Malformed, QStringLiteral("połączenie z serwerem poczty zostało przerwane"));
    QString reason;
    if (!response->parse(exchange.stream, &reason)) {
        // A refusal leaves the connection in order; an answer that cannot be read
        // does not.
        if (code == CURLE_QUOTE_ERROR && reason.startsWith(QStringLiteral("serwer odmówił")))
            return fail(ImapFailure::Refused, reason, error);
        return broken(ImapFailure::Malformed, reason);
    }
    if (code == CURLE_QUOTE_ERROR)
        return fail(ImapFailure::Refused, QStringLiteral("serwer odmówił wykonania polecenia"), error);
    return true;
}
