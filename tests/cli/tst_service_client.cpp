// ledctl call and default with --service against a scripted HTTP peer: the
// requests ledctl makes and how the service's answers become exit codes.
#include "cli/Cli.h"
#include "support/CliRun.h"
#include "support/TempProgramDir.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Request {
    QByteArray head; // request line and headers
    QByteArray body;
};

// Answers each request with the next canned "STATUS BODY", then closes.
class ScriptedPeer : public QObject {
  public:
    explicit ScriptedPeer(const QStringList &script) : m_script(script) {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QList<Request> requests;

  private:
    void read(QTcpSocket *socket) {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QByteArray head = buffer.left(end);
        qsizetype length = 0;
        for (const QByteArray &line : head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toInt();
        if (buffer.size() < end + 4 + length) return;
        requests.append({head, buffer.mid(end + 4, length)});
        const QString next = m_script.isEmpty() ? QStringLiteral("500 {}") : m_script.takeFirst();
        const QByteArray body = next.section(QLatin1Char(' '), 1).toUtf8();
        socket->write("HTTP/1.1 " + next.section(QLatin1Char(' '), 0, 0).toLatin1() +
                      " X\r\nContent-Type: application/json\r\nConnection: close\r\n"
                      "Content-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
        m_buffers.remove(socket);
    }

    QTcpServer m_server;
    QStringList m_script;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

} // namespace

class ServiceClientTest : public QObject {
    Q_OBJECT
    TempProgramDir m_dir;

  private slots:
    void answersBecomeExitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("post"); // the request line of the POST
        const QStringList call{u"--screen"_s, u"2"_s, u"call"_s, u"upper"_s,
                               u"请A001号到3号窗口"_s};
        const QStringList byDefault{u"--screen"_s, u"2"_s, u"default"_s, u"lower"_s, u"欢迎光临"_s};
        QTest::newRow("call shown after waiting")
            << call
            << QStringList{uR"(202 {"id":"c1","state":"queued"})"_s,
                           uR"(200 {"id":"c1","state":"sending"})"_s,
                           uR"(200 {"id":"c1","state":"shown"})"_s}
            << 0 << u"c1\nshown\n"_s << QString()
            << QByteArrayLiteral("POST /v1/screens/2/calls HTTP/1.1");
        QTest::newRow("call failed")
            << call
            << QStringList{uR"(202 {"id":"c1","state":"queued"})"_s,
                           uR"(200 {"id":"c1","state":"failed","error":"通讯失败"})"_s}
            << 1 << u"c1\n"_s << u"通讯失败"_s
            << QByteArrayLiteral("POST /v1/screens/2/calls HTTP/1.1");
        QTest::newRow("call expired") << call
                                      << QStringList{uR"(202 {"id":"c1","state":"queued"})"_s,
                                                     uR"(200 {"id":"c1","state":"expired"})"_s}
                                      << 1 << u"c1\n"_s << u"expired"_s
                                      << QByteArrayLiteral("POST /v1/screens/2/calls HTTP/1.1");
        QTest::newRow("call refused")
            << call << QStringList{uR"(400 {"error":"信息太长"})"_s} << 2 << QString()
            << u"信息太长"_s << QByteArrayLiteral("POST /v1/screens/2/calls HTTP/1.1");
        QTest::newRow("call no such screen")
            << call << QStringList{uR"(404 {"error":"没有这个屏幕"})"_s} << 2 << QString()
            << u"没有这个屏幕"_s << QByteArrayLiteral("POST /v1/screens/2/calls HTTP/1.1");
        QTest::newRow("call by name")
            << QStringList{u"--screen"_s, u"大厅"_s, u"call"_s, u"lower"_s, u"A"_s}
            << QStringList{uR"(200 [{"number":1,"name":"门口"},{"number":3,"name":"大厅"}])"_s,
                           uR"(202 {"id":"c9","state":"shown"})"_s}
            << 0 << u"c9\nshown\n"_s << QString()
            << QByteArrayLiteral("POST /v1/screens/3/calls HTTP/1.1");
        QTest::newRow("default done")
            << byDefault << QStringList{u"200 {}"_s} << 0 << u"sent\n"_s << QString()
            << QByteArrayLiteral("POST /v1/screens/2/defaults HTTP/1.1");
        QTest::newRow("default not acknowledged")
            << byDefault << QStringList{uR"(502 {"error":"通讯失败"})"_s} << 1 << QString()
            << u"通讯失败"_s << QByteArrayLiteral("POST /v1/screens/2/defaults HTTP/1.1");
        QTest::newRow("default refused")
            << byDefault << QStringList{uR"(400 {"error":"请输入汉字"})"_s} << 2 << QString()
            << u"请输入汉字"_s << QByteArrayLiteral("POST /v1/screens/2/defaults HTTP/1.1");
        QTest::newRow("no --screen") << QStringList{u"call"_s, u"upper"_s, u"A"_s} << QStringList{}
                                     << 2 << QString() << u"--screen"_s << QByteArray();
    }

    void answersBecomeExitCodes() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, script);
        ScriptedPeer peer(script);
        const CliRun r = runLedctl(QStringList{u"--service"_s, peer.url()} + args);
        QFETCH(QString, err);
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        QTEST(r.out, "out");
        QTEST(r.code, "code");
        QCOMPARE(peer.requests.size(), script.size());
        QFETCH(QByteArray, post);
        if (!post.isEmpty())
            QVERIFY(std::any_of(peer.requests.begin(), peer.requests.end(), [&](const Request &q) {
                return q.head.startsWith(post + "\r\n");
            }));
    }

    void requestsCarryPathBodyAndToken() {
        QFile tokenFile(m_dir.file(u"token"_s));
        QVERIFY(tokenFile.open(QIODevice::WriteOnly));
        tokenFile.write("s3cret\n");
        tokenFile.close();
        ScriptedPeer peer(
            {uR"(202 {"id":"A-1","state":"queued"})"_s, uR"(200 {"id":"A-1","state":"shown"})"_s});
        const CliRun r = runLedctl({u"--service"_s, peer.url() + u"/"_s, u"--screen"_s, u"4"_s,
                                    u"--lossy"_s, u"call"_s, u"lower"_s, u"请A001号到3号窗口"_s,
                                    u"--colour"_s, u"51"_s, u"--id"_s, u"A-1"_s, u"--min-display"_s,
                                    u"8000"_s, u"--token-file"_s, tokenFile.fileName()});
        QCOMPARE(r.code, 0);
        QCOMPARE(peer.requests.size(), 2);
        const Request post = peer.requests.at(0);
        QVERIFY2(post.head.startsWith("POST /v1/screens/4/calls HTTP/1.1\r\n"),
                 post.head.constData());
        QVERIFY(post.head.contains("\r\nAuthorization: Bearer s3cret\r\n"));
        QCOMPARE(
            QJsonDocument::fromJson(post.body).object(),
            QJsonDocument::fromJson(R"({"line":"lower","text":"请A001号到3号窗口","lossy":true,)"
                                    R"("colour":51,"id":"A-1","minDisplayMs":8000})")
                .object());
        const Request poll = peer.requests.at(1);
        QVERIFY2(poll.head.startsWith("GET /v1/calls/A-1 HTTP/1.1\r\n"), poll.head.constData());
        QVERIFY(poll.head.contains("\r\nAuthorization: Bearer s3cret\r\n"));
    }

    void unreachableServiceIsACommunicationFailure() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString url = u"http://127.0.0.1:%1"_s.arg(closed.serverPort());
        closed.close();
        const CliRun r =
            runLedctl({u"--service"_s, url, u"--screen"_s, u"1"_s, u"call"_s, u"upper"_s, u"A"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"通讯失败"_s) && r.err.contains(url), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(ServiceClientTest)
#include "tst_service_client.moc"
