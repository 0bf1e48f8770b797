#include "protocol/HttpClient.h"

#include "protocol/CurlGlobal.h"

#include <curl/curl.h>

#include <algorithm>

namespace {

struct Sink
{
    QByteArray* body;
    qint64 limit;
    bool overflow = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    if (sink->body->size() + qint64(bytes) > sink->limit) {
        sink->overflow = true;
        return 0; // makes libcurl stop with a write error
    }
    sink->body->append(data, qsizetype(bytes));
    return bytes;
}

// libcurl's progress callback: passes the bytes received on and stops the
// transfer (non-zero) once the control says so.
int reportProgress(void* user, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t)
{
    auto* control = static_cast<const TransferControl*>(user);
    return control->progress(qint64(downloaded), qint64(downloadTotal)) ? 0 : 1;
}

} // namespace

HttpClient::HttpClient()
{
    EnsureCurlReady();
}

HttpClient::~HttpClient()
{
    disconnect();
}

void HttpClient::disconnect()
{
    if (m_handle) {
        curl_easy_cleanup(static_cast<CURL*>(m_handle));
        m_handle = nullptr;
    }
}

bool HttpClient::get(const QString& url, QByteArray* body, QString* error)
{
    QByteArray scratch;
    QByteArray& out = body ? *body : scratch;
    out.clear();
    m_lastFailure = Failure::None;
    auto fail = [&](Failure failure, const QString& reason) {
        m_lastFailure = failure;
        out.clear();
        if (error)
            *error = reason;
        return false;
    };

    if (!m_handle) {
        m_handle = curl_easy_init();
        if (m_handle) {
            // Cookies are kept in memory for the life of this client; set once, because
            // every setting of it adds to the handle's cookie list.
            curl_easy_setopt(static_cast<CURL*>(m_handle), CURLOPT_COOKIEFILE, "");
        }
    }
    CURL* curl = static_cast<CURL*>(m_handle);
    if (!curl)
        return fail(Failure::Connection, QStringLiteral("Nie można przygotować połączenia HTTP."));

    const QByteArray urlBytes = url.toUtf8();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Sink sink{&out, m_maxBodySize};
    curl_slist* headers = curl_slist_append(nullptr, "Accept: text/html, */*");

    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // never a proxy from the environment
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_stallTimeout));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_stallTimeout));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_maxBodySize));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(std::max(m_control.timeLimitSeconds, 0)));
    if (m_control.progress) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &m_control);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    } else {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    }
    const QByteArray caFile = CaFileOverride().toLocal8Bit();
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);

    if (code == CURLE_ABORTED_BY_CALLBACK)
        return fail(Failure::Cancelled, QStringLiteral("Pobieranie %1 przerwano.").arg(url));
    if (sink.overflow || code == CURLE_FILESIZE_EXCEEDED)
        return fail(
            Failure::TooLarge,
            QStringLiteral("Odpowiedź serwera przekracza %1 MiB.").arg(m_maxBodySize / (1024 * 1024)));
    if (code != CURLE_OK) {
        const QString detail = errorBuffer[0] ? QString::fromLocal8Bit(errorBuffer)
                                              : QString::fromLatin1(curl_easy_strerror(code));
        return fail(Failure::Connection, QStringLiteral("Błąd połączenia z %1: %2").arg(url, detail));
    }
    if (status < 200 || status > 299)
        return fail(Failure::Status,
                    QStringLiteral("Serwer odpowiedział kodem HTTP %1 dla %2.").arg(status).arg(url));
    return true;
}
