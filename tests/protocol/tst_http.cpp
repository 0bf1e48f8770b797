#include "protocol/HttpClient.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::writeFile;

QString url(const TestServer& server, const QString& name)
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(server.port()).arg(name);
}

} // namespace

class TestHttp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void successDeliversTheBytesWithTheProgramsHeaders()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray bytes;
        for (int i = 0; i < 70000; ++i)
            bytes.append(char(i * 7));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("uczniowie.kls")), bytes));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("verinfo.inf")), "abc\r\n"));
        const QString log = dir.filePath(QStringLiteral("requests.log"));
        TestServer server;
        QString error;
        QVERIFY2(server.startHttp({dir.path(), log, 0, {}}, &error), qPrintable(error));

        HttpClient client;
        QByteArray body("stale");
        QVERIFY2(client.get(url(server, QStringLiteral("uczniowie.kls")), &body, &error), qPrintable(error));
        QCOMPARE(body, bytes);
        QVERIFY2(client.get(url(server, QStringLiteral("verinfo.inf")), &body, &error), qPrintable(error));
        QCOMPARE(body, QByteArray("abc\r\n"));
        client.disconnect();

        QFile requests(log);
        QVERIFY(requests.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = requests.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        const QJsonObject first = QJsonDocument::fromJson(lines.first()).object();
        QCOMPARE(first.value(QStringLiteral("path")).toString(), QStringLiteral("/uczniowie.kls"));
        QCOMPARE(first.value(QStringLiteral("version")).toString(), QStringLiteral("HTTP/1.1"));
        const QJsonObject headers = first.value(QStringLiteral("headers")).toObject();
        QCOMPARE(headers.value(QStringLiteral("User-Agent")).toString(),
                 QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
        QCOMPARE(headers.value(QStringLiteral("Accept")).toString(), QStringLiteral("text/html, */*"));
    }

    void everyOtherAnswerIsAnError()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("plik.txt")), QByteArray(5000, 'x')));
        TestServer files;
        TestServer missing;
        TestServer redirect;
        QString error;
        QVERIFY2(files.startHttp({dir.path(), {}, 0, {}}, &error), qPrintable(error));
        QVERIFY2(missing.startHttp({dir.path(), {}, 404, {}}, &error), qPrintable(error));
        QVERIFY2(redirect.startHttp({dir.path(), {}, 0, url(files, QStringLiteral("plik.txt"))}, &error),
                 qPrintable(error));

        HttpClient client;
        QByteArray body;
        QVERIFY(!client.get(url(missing, QStringLiteral("plik.txt")), &body, &error));
        QVERIFY(error.contains(QStringLiteral("404")));
        QVERIFY(body.isEmpty());

        // A redirect is not followed, even to a file that exists.
        QVERIFY(!client.get(url(redirect, QStringLiteral("plik.txt")), &body, &error));
        QVERIFY(error.contains(QStringLiteral("302")));
        QVERIFY(body.isEmpty());

        QVERIFY(!client.get(url(files, QStringLiteral("brak.txt")), &body, &error));
        QVERIFY(error.contains(QStringLiteral("404")));

        client.setMaxBodySize(1000);
        QVERIFY(!client.get(url(files, QStringLiteral("plik.txt")), &body, &error));
        QVERIFY(body.isEmpty());
        client.setMaxBodySize(HttpClient::kDefaultMaxBodySize);
        QVERIFY2(client.get(url(files, QStringLiteral("plik.txt")), &body, &error), qPrintable(error));
        QCOMPARE(body.size(), 5000);

        const QString closed = url(files, QStringLiteral("plik.txt"));
        files.stop();
        error.clear();
        QVERIFY(!client.get(closed, &body, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!client.get(QStringLiteral("ftp://127.0.0.1/plik.txt"), &body, &error));
    }

    void aServerThatNeverAnswersIsGivenUp()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TestServer server;
        QString error;
        TestServer::HttpOptions options{dir.path(), {}, 0, {}};
        options.stall = true;
        QVERIFY2(server.startHttp(options, &error), qPrintable(error));
        HttpClient client;
        client.setStallTimeout(2);
        QElapsedTimer timer;
        timer.start();
        QByteArray body;
        QVERIFY(!client.get(url(server, QStringLiteral("plik.txt")), &body, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestHttp)
#include "tst_http.moc"
