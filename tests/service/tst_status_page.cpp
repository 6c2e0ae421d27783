// Covers the status page in a real browser: headless Chromium loads it from
// the HTTP front over a scripted desk, driven through its DevTools protocol;
// a call the desk announces appears in the page's DOM, and changes there,
// without the page being reloaded.
#include "FakeDesk.h"
#include "service/HttpFront.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// Chromium as a child process that is always ended, whatever the test's outcome.
struct Browser {
    QProcess process;
    QByteArray errors;
    Browser() {
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { errors += process.readAllStandardError(); });
    }
    ~Browser() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// One page's DevTools connection: numbered commands, answers matched by id.
struct DevTools {
    QWebSocket socket;
    int lastId = 0;
    QHash<int, QJsonObject> answers;

    DevTools() {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(u"id"_s)) answers.insert(message.value(u"id"_s).toInt(), message);
        });
    }
    QJsonObject call(const QString &method, const QJsonObject &params) {
        const int id = ++lastId;
        socket.sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject{{u"id"_s, id}, {u"method"_s, method}, {u"params"_s, params}})
                .toJson(QJsonDocument::Compact)));
        if (!QTest::qWaitFor([&] { return answers.contains(id); }, 10000)) return {};
        return answers.take(id);
    }
    QJsonValue evaluate(const QString &expression) {
        return call(u"Runtime.evaluate"_s,
                    {{u"expression"_s, expression},
                     {u"returnByValue"_s, true}})[u"result"_s][u"result"_s][u"value"_s];
    }
};

QJsonArray getJsonArray(const QUrl &url) {
    QNetworkAccessManager net;
    net.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply *reply = net.get(QNetworkRequest(url));
    if (!reply->isFinished()) QSignalSpy(reply, &QNetworkReply::finished).wait(10000);
    reply->deleteLater();
    return QJsonDocument::fromJson(reply->readAll()).array();
}
} // namespace

class StatusPageTest : public QObject {
    Q_OBJECT
  private slots:
    void aCallAppearsOnTheOpenPageWithoutAReload() {
        const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
        if (chromium.isEmpty())
            QSKIP("the chromium binary is missing (Debian package chromium): no browser to load "
                  "the status page in");
        FakeDesk desk;
        service::HttpFront front(desk, {u"127.0.0.1:0"_s, {}});
        QString why;
        QVERIFY2(front.listen(&why), qPrintable(why));
        const QString pageUrl = front.url() + u"/"_s;

        QTemporaryDir profile;
        QVERIFY(profile.isValid());
        Browser browser;
        browser.process.start(chromium, {u"--headless=new"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                                         u"--no-first-run"_s, u"--remote-debugging-port=0"_s,
                                         u"--remote-allow-origins=*"_s,
                                         u"--user-data-dir="_s + profile.path(), pageUrl});
        QTRY_VERIFY_WITH_TIMEOUT(browser.errors.contains("DevTools listening on ws://") ||
                                     browser.process.state() == QProcess::NotRunning,
                                 30000);
        const QRegularExpressionMatch listening =
            QRegularExpression(u"DevTools listening on (ws://[^\\s]+)"_s)
                .match(QString::fromUtf8(browser.errors));
        if (!listening.hasMatch())
            QFAIL(qPrintable(u"chromium did not open its DevTools port: "_s +
                             QString::fromUtf8(browser.errors)));
        const QUrl browserUrl(listening.captured(1));

        // The page's own DevTools endpoint, from the browser's target list.
        QString pageSocket;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QJsonArray targets =
                    getJsonArray(QUrl(u"http://127.0.0.1:%1/json/list"_s.arg(browserUrl.port())));
                for (const QJsonValue &target : targets)
                    if (target[u"type"_s].toString() == u"page"_s &&
                        target[u"url"_s].toString().startsWith(front.url()))
                        pageSocket = target[u"webSocketDebuggerUrl"_s].toString();
                return !pageSocket.isEmpty();
            }(),
            20000);
        DevTools tools;
        tools.socket.open(QUrl(pageSocket));
        QTRY_COMPARE_WITH_TIMEOUT(tools.socket.state(), QAbstractSocket::ConnectedState, 10000);

        // Loaded, screen 1 drawn and the event stream open.
        QTRY_VERIFY_WITH_TIMEOUT(
            tools
                .evaluate(u"!!document.querySelector('[data-screen=\"1\"]') && "
                          u"document.getElementById('link').className === 'ok'"_s)
                .toBool(),
            20000);
        QCOMPARE(front.eventClients(), 1);
        tools.evaluate(u"window.stillTheSamePage = true"_s);

        desk.emitCall(u"page-1"_s, u"请A012号到3号窗口"_s);
        const QString text =
            u"document.querySelector('[data-call-id=\"page-1\"] .text')?.textContent"_s;
        const QString state =
            u"document.querySelector('[data-call-id=\"page-1\"] .state')?.textContent"_s;
        QTRY_COMPARE_WITH_TIMEOUT(tools.evaluate(text).toString(), u"请A012号到3号窗口"_s, 10000);
        QCOMPARE(tools.evaluate(state).toString(), u"排队中"_s);
        desk.emitCall(u"page-1"_s, u"请A012号到3号窗口"_s, service::CallState::Shown);
        QTRY_COMPARE_WITH_TIMEOUT(tools.evaluate(state).toString(), u"已显示"_s, 10000);
        QCOMPARE(tools.evaluate(u"window.stillTheSamePage === true"_s).toBool(), true);
    }
};

QTEST_MAIN(StatusPageTest)
#include "tst_status_page.moc"
