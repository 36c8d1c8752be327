// SPDX-License-Identifier: GPL-2.0-or-later
#include "Translations.h"
#include "UpdateCheck.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace quillet;

namespace {

// An HTTP/1.1 server on 127.0.0.1: answers each request with the next canned response
// and closes; with none left it stays silent. Records the head of every request.
class THttpServer : public QObject {
public:
    QList<QByteArray> Responses;
    QList<QByteArray> Requests;

    THttpServer() {
        QVERIFY(FServer.listen(QHostAddress::LocalHost));
        connect(&FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = FServer.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        });
    }
    QUrl Url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort()));
    }

private:
    void Read(QTcpSocket* socket) {
        QByteArray& head = FPending[socket];
        head += socket->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        Requests.append(head.left(head.indexOf("\r\n\r\n")));
        FPending.remove(socket);
        if (Responses.isEmpty())
            return;
        socket->write(Responses.takeFirst());
        socket->disconnectFromHost();
    }

    QTcpServer FServer;
    QHash<QTcpSocket*, QByteArray> FPending;
};

QByteArray Response(const QByteArray& status, const QByteArray& headers) {
    return "HTTP/1.1 " + status + "\r\n" + headers +
           "Content-Type: text/html\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello";
}

QByteArray Answer(const QByteArray& version, const QByteArray& build) {
    return Response("200 OK", "X-Version: " + version + "\r\nX-Build: " + build +
                                  "\r\nX-Download-URL: https://quillet.example.org/get\r\n");
}

TUpdateResult RunCheck(const QUrl& url, int timeout = 30000) {
    TUpdateCheck check;
    check.SetTimeout(timeout);
    QSignalSpy finished(&check, &TUpdateCheck::finished);
    if (!check.Start(url, QStringLiteral("1.1.0"), QStringLiteral("246")))
        return {};
    // A second start while the first runs waits for nothing and changes nothing.
    if (check.Start(url, QStringLiteral("9"), QStringLiteral("9")))
        return {};
    if (!finished.wait(20000))
        return {};
    return finished.at(0).at(0).value<TUpdateResult>();
}

const QString kFailed = QStringLiteral("Überprüfung auf neue Version fehlgeschlagen");

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void compareVersions_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected"); // 2: no result
        const auto row = [](const char* a, const char* b, int expected) {
            QTest::addRow("%s vs %s", a, b) << QString(a) << QString(b) << expected;
        };
        row("1.2.0", "1.1.0", 1);
        row("1.1.0", "1.1.0", 0);
        row("1.0.9", "1.1.0", -1);
        row("1.10.0", "1.9.0", -1); // parts are texts
        row("1.2", "1.1.0", 1);     // decided before the shorter one ends
        row("1.1", "1.1.0", 2);
        row("1.1.0.1", "1.1.0", 2);
    }
    void compareVersions() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        int result = 5;
        const TStatus status = CompareVersions(a, b, result);
        if (expected == 2) {
            QCOMPARE(status.message(),
                     "Die Versionen " + a + " und " + b + " haben unterschiedlich viele Teile.");
        } else {
            QVERIFY(status.ok());
            QCOMPARE(result, expected);
        }
    }

    void serviceUrl() {
        QCOMPARE(UpdateServiceUrl({}).toString(), "https://quillet.example.org");
        QCOMPARE(UpdateServiceUrl(" http://127.0.0.1:8080/x?y ").toString(),
                 "http://127.0.0.1:8080");
        QCOMPARE(UpdateServiceUrl("ftp://example.org").toString(), "https://quillet.example.org");
        QCOMPARE(UpdateServiceUrl("quillet").toString(), "https://quillet.example.org");
    }

    void answers_data() {
        QTest::addColumn<QByteArrayList>("responses");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        const auto kind = [](TUpdateAnswer answer) { return int(answer); };
        QTest::newRow("same version, greater build")
            << QByteArrayList{Answer("1.1.0", "247")} << kind(TUpdateAnswer::NewVersion)
            << "Neue Version 1.1.0 (Build 247) von Quillet-Dictionary verfügbar.\n\n"
               "Wollen Sie die Download-Seite jetzt aufrufen?";
        QTest::newRow("same version and build")
            << QByteArrayList{Answer("1.1.0", "246")} << kind(TUpdateAnswer::Current)
            << "Sie besitzen die aktuellste Version 1.1.0 von Quillet-Dictionary.";
        QTest::newRow("higher version, build sorts lower")
            << QByteArrayList{Answer("1.2.0", "1000")} << kind(TUpdateAnswer::Current)
            << "Sie besitzen die aktuellste Version 1.1.0 von Quillet-Dictionary.";
        QTest::newRow("no download address")
            << QByteArrayList{Response("200 OK", "X-Version: 1.2.0\r\nX-Build: 300\r\n")}
            << kind(TUpdateAnswer::Failed) << kFailed;
        QTest::newRow("status other than 200")
            << QByteArrayList{Response("203 Non-Authoritative Information",
                                       "X-Version: 1.2.0\r\nX-Build: 300\r\n"
                                       "X-Download-URL: https://quillet.example.org/get\r\n")}
            << kind(TUpdateAnswer::Failed) << kFailed;
        QTest::newRow("404") << QByteArrayList{Response("404 Not Found", {})}
                             << kind(TUpdateAnswer::Error) << kFailed + "\n\nHTTP 404 Not Found";
        QTest::newRow("different part counts")
            << QByteArrayList{Answer("1.1", "300")} << kind(TUpdateAnswer::Error)
            << kFailed + "\n\nDie Versionen 1.1 und 1.1.0 haben unterschiedlich viele Teile.";
        QTest::newRow("malformed version")
            << QByteArrayList{Answer("1..2", "300")} << kind(TUpdateAnswer::Error)
            << kFailed + "\n\nUngültiger Wert »1..2« im Kopffeld X-Version";
        QTest::newRow("download address that is no web page")
            << QByteArrayList{Response("200 OK", "X-Version: 1.2.0\r\nX-Build: 300\r\n"
                                                 "X-Download-URL: file:///bin/sh\r\n")}
            << kind(TUpdateAnswer::Error)
            << kFailed + "\n\nUngültiger Wert »file:///bin/sh« im Kopffeld X-Download-URL";
    }
    void answers() {
        QFETCH(QByteArrayList, responses);
        QFETCH(int, kind);
        QFETCH(QString, message);
        THttpServer server;
        server.Responses = responses;
        const TUpdateResult result = RunCheck(server.Url());
        QCOMPARE(result.Message, message);
        QCOMPARE(int(result.Kind), kind);
        if (result.Kind == TUpdateAnswer::NewVersion)
            QCOMPARE(result.DownloadUrl.toString(), "https://quillet.example.org/get");
        else
            QVERIFY(result.DownloadUrl.isEmpty());

        QCOMPARE(server.Requests.size(), 1);
        const QList<QByteArray> lines = server.Requests[0].split('\n');
        QCOMPARE(lines[0].trimmed(),
                 "GET /dictionary/update.php?language=de&version=1.1.0&build=246 HTTP/1.1");
        QVERIFY(lines.contains("User-Agent: Quillet Dictionary\r"));
        QVERIFY(lines.contains("Accept: text/html, */*\r"));
    }

    // The service may move the check elsewhere and keep a session cookie across the move;
    // header names are matched in any case.
    void redirectWithCookie() {
        THttpServer server;
        server.Responses = {Response("302 Found", "Location: /v2/check\r\n"
                                                  "Set-Cookie: session=abc; Path=/\r\n"),
                            Response("200 OK", "x-version: 1.1.1\r\nX-BUILD: 250\r\n"
                                               "x-download-url: https://quillet.example.org/\r\n")};
        const TUpdateResult result = RunCheck(server.Url());
        QCOMPARE(int(result.Kind), int(TUpdateAnswer::NewVersion));
        QCOMPARE(result.Version + '/' + result.Build, "1.1.1/250");
        QCOMPARE(server.Requests.size(), 2);
        QVERIFY(server.Requests[1].startsWith("GET /v2/check HTTP/1.1"));
        QVERIFY(server.Requests[1].contains("\r\nCookie: session=abc"));
        QVERIFY(server.Requests[1].contains("\r\nUser-Agent: Quillet Dictionary"));
    }

    void englishInterface() {
        THttpServer server;
        server.Responses = {Answer("1.2.0", "300")};
        SetUILanguage(kUILanguageEnglish);
        const TUpdateResult result = RunCheck(server.Url());
        SetUILanguage(kUILanguageGerman);
        QVERIFY(server.Requests.value(0).startsWith("GET /dictionary/update.php?language=en&"));
        QCOMPARE(result.Message, "New version found! Version 1.2.0 (build 300) of "
                                 "Quillet-Dictionary has been released.\n\n"
                                 "Do you want go to the download site now?");
    }

    void noAnswer() {
        THttpServer silent; // accepts and never answers
        TUpdateResult result = RunCheck(silent.Url(), 300);
        QCOMPARE(int(result.Kind), int(TUpdateAnswer::Error));
        QCOMPARE(result.Message, kFailed + "\n\nZeitüberschreitung der Verbindung");

        QUrl closed;
        {
            THttpServer gone;
            closed = gone.Url();
        }
        result = RunCheck(closed);
        QCOMPARE(int(result.Kind), int(TUpdateAnswer::Error));
        QVERIFY(result.Message.startsWith(kFailed + "\n\n"));
        QVERIFY(result.Message.size() > kFailed.size() + 2);
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"
