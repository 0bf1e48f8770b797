#pragma once

#include "files/TransferControl.h"

#include <QByteArray>
#include <QString>

// HTTP GET for the data update. One client keeps its connection between requests
// until disconnect(), so that several files of one update share it.
//
// A request delivers only on a 2xx answer; redirects are not followed. A connect
// time-out and a low-speed limit keep a dead server from hanging the program, the
// control's time limit bounds each request as a whole (a server that drips bytes
// just fast enough to pass the low-speed limit included), and a body larger than
// maxBodySize() is refused instead of filling memory.
class HttpClient
{
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Fetches `url` into `body` (emptied first). On failure returns false and puts a
    // readable reason into `error` (when given).
    bool get(const QString& url, QByteArray* body, QString* error = nullptr);

    // Why the last get() failed; None after a success.
    enum class Failure
    {
        None,
        Connection, // no answer, a broken answer, or the time limit ran out
        Status,     // an answer other than 2xx, a redirect included
        TooLarge,   // the body went over maxBodySize()
        Cancelled,  // the control's progress asked to stop
    };
    Failure lastFailure() const { return m_lastFailure; }

    // Bounds and progress of every later request.
    void setControl(TransferControl control) { m_control = std::move(control); }

    // Closes the connection, if any. The next get() opens a new one.
    void disconnect();

    qint64 maxBodySize() const { return m_maxBodySize; }
    void setMaxBodySize(qint64 bytes) { m_maxBodySize = bytes; }
    // Seconds without a byte after which a transfer is given up; also the connect
    // time-out.
    void setStallTimeout(int seconds) { m_stallTimeout = seconds; }

    static constexpr qint64 kDefaultMaxBodySize = 64LL * 1024 * 1024;
    static constexpr int kDefaultStallTimeout = 30;

private:
    void* m_handle = nullptr; // CURL*
    qint64 m_maxBodySize = kDefaultMaxBodySize;
    int m_stallTimeout = kDefaultStallTimeout;
    TransferControl m_control;
    Failure m_lastFailure = Failure::None;
};
