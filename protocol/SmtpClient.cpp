#include "protocol/SmtpClient.h"

#include "protocol/CurlGlobal.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"

#include <curl/curl.h>

#include <QRegularExpression>

#include <cstring>

namespace {

struct Source
{
    const QByteArray* data;
    qsizetype offset = 0;
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

// What the server's EHLO answers listed: logging in as of the last answer, STARTTLS
// as of any.
struct Capabilities
{
    bool auth = false;
    bool login = false;
    bool starttls = false;
};

// Reads the server's EHLO answer as libcurl passes it by: "250-AUTH PLAIN LOGIN".
int listenToServer(CURL*, curl_infotype type, char* text, size_t size, void* user)
{
    auto* heard = static_cast<Capabilities*>(user);
    const QByteArray line = QByteArray(text, qsizetype(size)).trimmed().toUpper();
    if (type == CURLINFO_HEADER_OUT && line.startsWith("EHLO")) {
        heard->auth = false;
        heard->login = false;
    } else if (type == CURLINFO_HEADER_IN && line.size() > 4 && line.startsWith("250") &&
               (line.at(3) == '-' || line.at(3) == ' ')) {
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

    const auto attempt = [&](bool login, curl_usessl encryption, Capabilities* heard, char* errorBuffer) {
        CURL* curl = curl_easy_init();
        if (!curl)
            return CURLE_FAILED_INIT;
        Source source{&data};
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(encryption));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
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
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_stallTimeout));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_stallTimeout));
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, listenToServer);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, heard);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        const CURLcode code = curl_easy_perform(curl);
        curl_easy_cleanup(curl); // sends QUIT on a live connection
        return code;
    };

    char errorBuffer[CURL_ERROR_SIZE] = {};
    Capabilities heard;
    bool login = !user.isEmpty();
    // Encryption is demanded first. Only a server that offers no STARTTLS at all is
    // then tried again over plain TCP; one that offers it and then refuses it gets
    // nothing, as the login would otherwise cross the network in clear.
    curl_usessl encryption = CURLUSESSL_ALL;
    CURLcode code = attempt(login, encryption, &heard, errorBuffer);
    if (code == CURLE_USE_SSL_FAILED && !implicitTls && !heard.starttls) {
        errorBuffer[0] = 0;
        encryption = CURLUSESSL_TRY;
        code = attempt(login, encryption, &heard, errorBuffer);
    }
    // A server that lists AUTH, but not LOGIN, is not logged into: the mail goes
    // without a login, as to a server that lists no AUTH at all. libcurl stops before
    // sending anything in that case, so another connection is clean.
    if (code == CURLE_LOGIN_DENIED && heard.auth && !heard.login) {
        errorBuffer[0] = 0;
        login = false;
        code = attempt(login, encryption, &heard, errorBuffer);
    }
    curl_slist_free_all(rcpt);
    if (code != CURLE_OK)
        return fail(reasonFor(code, errorBuffer));
    return true;
}
