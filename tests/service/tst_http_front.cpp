// Covers the call service's HTTP front over a scripted desk: every refusal
// (bad JSON, unknown line, unknown screen, big body, missing or wrong token,
// loopback-only listening) queues nothing; a new call is 202 and a known id is
// answered 200 without queuing again; cancelling; the event stream, including
// clients that leave mid-stream; screen actions answered when the desk is done.
#include "FakeDesk.h"
#include "service/HttpFront.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QtTest>

using namespace Qt::StringLiterals;
using service::CallState;

namespace {
struct Reply {
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

struct Client {
    QNetworkAccessManager net;
    Client() { net.setProxy(QNetworkProxy::NoProxy); }

    QNetworkReply *start(const QByteArray &verb, const QString &url, const QByteArray &body = {},
                         const QByteArray &authorization = {}) {
        QNetworkRequest request{QUrl(url)};
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
        if (!authorization.isEmpty()) request.setRawHeader("Authorization", authorization);
        return net.sendCustomRequest(request, verb, body);
    }
    static Reply finish(QNetworkReply *reply) {
        if (!reply->isFinished()) QSignalSpy(reply, &QNetworkReply::finished).wait(10000);
        Reply answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                     reply->readAll()};
        reply->deleteLater();
        return answer;
    }
    Reply send(const QByteArray &verb, const QString &url, const QByteArray &body = {},
               const QByteArray &authorization = {}) {
        return finish(start(verb, url, body, authorization));
    }
};

// A raw client of the event stream, to read it as it comes and to leave abruptly.
struct StreamClient {
    QTcpSocket socket;
    QByteArray received;
    explicit StreamClient(const QUrl &url) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(url.host(), static_cast<quint16>(url.port()));
        socket.write(
            "GET /v1/events HTTP/1.1\r\nHost: localhost\r\nAccept: text/event-stream\r\n\r\n");
    }
};

QByteArray callBody(const QString &text, const QString &extra = {}) {
    return (u"{\"line\": \"upper\", \"text\": \""_s + text + u'"' + extra + u'}').toUtf8();
}
} // namespace

class HttpFrontTest : public QObject {
    Q_OBJECT
    QTemporaryFile m_tokenFile;

    service::FrontOptions withToken() {
        service::FrontOptions options{u"127.0.0.1:0"_s, m_tokenFile.fileName()};
        return options;
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_tokenFile.open());
        m_tokenFile.write("s3cret-token\n");
        m_tokenFile.flush();
    }

    void refusalsQueueNothing_data() {
        QTest::addColumn<bool>("token");
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QByteArray post = "POST", get = "GET";
        const QString calls = u"/v1/screens/1/calls"_s;
        QTest::newRow("bad JSON") << false << post << calls << QByteArray("{\"line\": ")
                                  << QByteArray() << 400 << u"JSON"_s;
        QTest::newRow("unknown line")
            << false << post << calls << QByteArray(R"({"line": "middle", "text": "A012"})")
            << QByteArray() << 400 << u"line"_s;
        QTest::newRow("text not a string")
            << false << post << calls << QByteArray(R"({"line": "upper", "text": 12})")
            << QByteArray() << 400 << u"text"_s;
        QTest::newRow("colour out of range")
            << false << post << calls << callBody(u"A012"_s, u", \"colour\": 300"_s) << QByteArray()
            << 400 << u"colour"_s;
        QTest::newRow("the window's own check")
            << false << post << calls << callBody({}) << QByteArray() << 400 << u"请输入汉字"_s;
        QTest::newRow("unknown screen")
            << false << post << u"/v1/screens/9/calls"_s << callBody(u"A012"_s) << QByteArray()
            << 404 << u"没有第 9 号屏"_s;
        QTest::newRow("body over 64 kB")
            << false << post << calls << callBody(QString(70 * 1024, u'A')) << QByteArray() << 413
            << u"64 KB"_s;
        QTest::newRow("unknown screen's status")
            << false << get << u"/v1/screens/9"_s << QByteArray() << QByteArray() << 404
            << u"没有第 9 号屏"_s;
        QTest::newRow("unknown screen's picture")
            << false << get << u"/v1/screens/9/picture.png"_s << QByteArray() << QByteArray() << 404
            << u"没有第 9 号屏"_s;
        QTest::newRow("unknown call") << false << get << u"/v1/calls/nope"_s << QByteArray()
                                      << QByteArray() << 404 << u"nope"_s;
        QTest::newRow("no token") << true << post << calls << callBody(u"A012"_s) << QByteArray()
                                  << 401 << u"令牌"_s;
        QTest::newRow("wrong token") << true << post << calls << callBody(u"A012"_s)
                                     << QByteArray("Bearer s3cret-tokeN") << 401 << u"令牌"_s;
        QTest::newRow("token of another length") << true << post << calls << callBody(u"A012"_s)
                                                 << QByteArray("Bearer s3cret") << 401 << u"令牌"_s;
        QTest::newRow("token in the query of a POST")
            << true << post << calls + u"?token=s3cret-token"_s << callBody(u"A012"_s)
            << QByteArray() << 401 << u"令牌"_s;
        QTest::newRow("screens without token")
            << true << get << u"/v1/screens"_s << QByteArray() << QByteArray() << 401 << u"令牌"_s;
    }
    void refusalsQueueNothing() {
        QFETCH(bool, token);
        QFETCH(QByteArray, verb);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, authorization);
        QFETCH(int, status);
        QFETCH(QString, error);
        FakeDesk desk;
        service::HttpFront front(desk,
                                 token ? withToken() : service::FrontOptions{u"127.0.0.1:0"_s, {}});
        QString why;
        QVERIFY2(front.listen(&why), qPrintable(why));
        Client client;
        const Reply reply = client.send(verb, front.url() + path, body, authorization);
        QCOMPARE(reply.status, status);
        QVERIFY2(reply.json().value(u"error"_s).toString().contains(error), reply.body.constData());
        QVERIFY(desk.queued.isEmpty());
    }

    void aRequestFarOverTheLimitIsCutOffBeforeItEnds() {
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QVERIFY(front.listen(nullptr));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost,
                             static_cast<quint16>(QUrl(front.url()).port()));
        socket.write("POST /v1/screens/1/calls HTTP/1.1\r\nHost: localhost\r\n"
                     "Content-Length: 100000000\r\n\r\n");
        socket.write(QByteArray(2 * 1024 * 1024, 'A'));
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, 20000);
        QVERIFY(desk.queued.isEmpty());
        Client client;
        QCOMPARE(client.send("GET", front.url() + u"/v1/health"_s).status, 200);
    }

    void pageAndHealthNeedNoTokenTheRestTakesIt() {
        FakeDesk desk;
        service::HttpFront front(desk, withToken());
        QString why;
        QVERIFY2(front.listen(&why), qPrintable(why));
        Client client;
        const Reply page = client.send("GET", front.url() + u"/"_s);
        QCOMPARE(page.status, 200);
        QVERIFY(QString::fromUtf8(page.body).contains(u"new EventSource"_s));
        const Reply health = client.send("GET", front.url() + u"/v1/health"_s);
        QCOMPARE(health.status, 200);
        QCOMPARE(health.json(), QJsonDocument::fromJson(R"({"lines": [{"port": 3, "state": "ok",
                                                         "lastError": ""}]})")
                                    .object());
        const Reply screens =
            client.send("GET", front.url() + u"/v1/screens"_s, {}, "Bearer s3cret-token");
        QCOMPARE(screens.status, 200);
        QCOMPARE(screens.json()[u"screens"_s][0][u"name"_s].toString(), u"一号窗口"_s);
        // The status page's pictures and events cannot send headers.
        const Reply picture =
            client.send("GET", front.url() + u"/v1/screens/1/picture.png?token=s3cret-token"_s);
        QCOMPARE(picture.status, 200);
        QCOMPARE(picture.body, desk.png);
    }

    void listeningBeyondLoopbackNeedsAToken() {
        FakeDesk desk;
        QString why;
        service::HttpFront open(desk, {u"0.0.0.0:0"_s, {}});
        QVERIFY(!open.listen(&why));
        QVERIFY2(why.contains(u"--token-file"_s), qPrintable(why));
        service::HttpFront guarded(desk, {u"0.0.0.0:0"_s, m_tokenFile.fileName()});
        QVERIFY2(guarded.listen(&why), qPrintable(why));
        service::HttpFront missingToken(desk, {u"0.0.0.0:0"_s, u"/nonexistent/token"_s});
        QVERIFY(!missingToken.listen(&why));
        QVERIFY2(why.contains(u"令牌文件"_s), qPrintable(why));
    }

    void aNewCallIs202AndAKnownIdIs200WithoutQueuingAgain() {
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QVERIFY(front.listen(nullptr));
        Client client;
        const QByteArray body =
            R"({"line": "lower", "text": "请A012号到3号窗口", "minDisplayMs": 2000,
                                    "id": "q-1", "colour": 150, "lossy": true})";
        const QString url = front.url() + u"/v1/screens/1/calls"_s;
        const Reply first = client.send("POST", url, body);
        QCOMPARE(first.status, 202);
        QCOMPARE(first.json()[u"id"_s].toString(), u"q-1"_s);
        QCOMPARE(first.json()[u"state"_s].toString(), u"queued"_s);
        QCOMPARE(desk.queued.size(), 1);
        const service::Call &queued = desk.queued.first();
        QCOMPARE(queued.line, service::Line::Lower);
        QCOMPARE(queued.text, u"请A012号到3号窗口"_s);
        QCOMPARE(queued.minDisplayMs, 2000);
        QCOMPARE(queued.colour, 150);
        QVERIFY(queued.lossy);

        const Reply again = client.send("POST", url, body);
        QCOMPARE(again.status, 200);
        QCOMPARE(again.json()[u"id"_s].toString(), u"q-1"_s);
        QCOMPARE(desk.queued.size(), 1);
    }

    void cancellingAnswers200WhileQueuedAnd409After() {
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QVERIFY(front.listen(nullptr));
        desk.emitCall(u"k-1"_s, u"A001"_s);
        Client client;
        const Reply cancelled = client.send("DELETE", front.url() + u"/v1/calls/k-1"_s);
        QCOMPARE(cancelled.status, 200);
        QCOMPARE(cancelled.json()[u"state"_s].toString(), u"cancelled"_s);
        QCOMPARE(client.send("DELETE", front.url() + u"/v1/calls/k-1"_s).status, 409);
    }

    void eventStreamSurvivesClientsThatLeaveMidStream() {
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QVERIFY(front.listen(nullptr));
        StreamClient leaving(QUrl(front.url())), staying(QUrl(front.url()));
        QTRY_COMPARE(front.eventClients(), 2);
        desk.emitCall(u"e-1"_s, u"A001"_s);
        QTRY_VERIFY(leaving.received.contains("event: call\ndata: {"));
        QVERIFY(leaving.received.contains(R"("id":"e-1")"));
        QVERIFY(leaving.received.startsWith("HTTP/1.1 200"));
        QVERIFY(leaving.received.contains("text/event-stream"));

        leaving.socket.abort();
        // Before and after the server notices the client is gone.
        desk.emitCall(u"e-2"_s, u"A002"_s);
        emit desk.pictureChanged(1);
        QTRY_COMPARE(front.eventClients(), 1);
        desk.emitCall(u"e-3"_s, u"A003"_s, CallState::Shown);
        QTRY_VERIFY(staying.received.contains(R"("id":"e-3")"));
        QVERIFY(staying.received.contains("event: picture\ndata: {\"screen\":1}"));
        Client client;
        QCOMPARE(client.send("GET", front.url() + u"/v1/health"_s).status, 200);
    }

    void screenActionsAreAnsweredWhenTheDeskIsDone() {
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QVERIFY(front.listen(nullptr));
        Client client;
        QNetworkReply *brightness =
            client.start("POST", front.url() + u"/v1/screens/1/brightness"_s, R"({"value": 5})");
        QNetworkReply *power =
            client.start("POST", front.url() + u"/v1/screens/1/power"_s, R"({"on": false})");
        QTRY_COMPARE(desk.actions.size(), 2);
        QCOMPARE(desk.actions[0].action.kind, service::ScreenAction::Kind::Brightness);
        QCOMPARE(desk.actions[0].action.value, 5);
        QCOMPARE(desk.actions[1].action.kind, service::ScreenAction::Kind::Power);
        QVERIFY(!desk.actions[1].action.on);
        QVERIFY(!brightness->isFinished() && !power->isFinished());

        desk.actions[1].done({service::ActionResult::Status::NotAcknowledged, u"通讯失败"_s});
        const Reply failed = Client::finish(power);
        QCOMPARE(failed.status, 502);
        QCOMPARE(failed.json()[u"error"_s].toString(), u"通讯失败"_s);
        desk.actions[0].done({});
        QCOMPARE(Client::finish(brightness).status, 200);

        // A caller that left before its action was done gets nothing, harmlessly.
        QTcpSocket leaving;
        leaving.connectToHost(QHostAddress::LocalHost,
                              static_cast<quint16>(QUrl(front.url()).port()));
        leaving.write("POST /v1/screens/1/clock HTTP/1.1\r\nHost: localhost\r\n"
                      "Content-Length: 0\r\n\r\n");
        QTRY_COMPARE(desk.actions.size(), 3);
        leaving.abort();
        // Two round trips: the server has seen the close and dropped that socket.
        QCOMPARE(client.send("GET", front.url() + u"/v1/health"_s).status, 200);
        QCOMPARE(client.send("GET", front.url() + u"/v1/health"_s).status, 200);
        desk.actions[2].done({});
        QCOMPARE(client.send("GET", front.url() + u"/v1/health"_s).status, 200);
    }
};

QTEST_MAIN(HttpFrontTest)
#include "tst_http_front.moc"
