#include "service/HttpFront.h"

#include "service/CallDesk.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cmath>
#include <vector>

namespace service {

namespace {
using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

constexpr qsizetype MaxBody = 64 * 1024;
// Beyond this a connection is cut before its request is complete.
constexpr qint64 MaxUnfinishedRequest = 1024 * 1024;
// A comment line now and then lets a stream notice a client that vanished
// without closing, and keeps proxies from timing the stream out.
constexpr int HeartbeatMs = 15000;

QByteArray compact(const QJsonObject &json) {
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

void sendJson(QHttpServerResponder &responder, const QJsonObject &json,
              Status status = Status::Ok) {
    responder.write(
        compact(json),
        {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json; charset=utf-8")},
         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
        status);
}

void sendError(QHttpServerResponder &responder, Status status, const QString &words) {
    sendJson(responder, QJsonObject{{QStringLiteral("error"), words}}, status);
}

QString noSuchScreen(const QString &number) {
    return QStringLiteral("没有第 %1 号屏").arg(number);
}

// The time taken depends on the presented value's length only, never on
// where it differs from the expected one.
bool sameInConstantTime(const QByteArray &presented, const QByteArray &expected) {
    unsigned difference = presented.size() == expected.size() ? 0U : 1U;
    if (expected.isEmpty()) return false;
    for (qsizetype i = 0; i < presented.size(); ++i)
        difference |= static_cast<unsigned>(static_cast<uchar>(presented.at(i)) ^
                                            static_cast<uchar>(expected.at(i % expected.size())));
    return difference == 0U;
}

bool present(const QJsonObject &json, const QString &key) {
    return json.contains(key) && !json.value(key).isNull();
}

bool integerIn(const QJsonValue &value, int low, int high, int &out) {
    if (!value.isDouble()) return false;
    const double number = value.toDouble();
    if (std::floor(number) != number || number < low || number > high) return false;
    out = static_cast<int>(number);
    return true;
}

// A JSON object, or nothing with the reason in `error`.
std::optional<QJsonObject> parseObject(const QByteArray &body, QString &error) {
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        error = QStringLiteral("请求内容不是有效的 JSON 对象");
        return std::nullopt;
    }
    return document.object();
}

bool parseLine(const QJsonObject &json, Line &line, QString &error) {
    const QString name = json.value(QStringLiteral("line")).toString();
    if (name == QLatin1String("upper")) {
        line = Line::Upper;
    } else if (name == QLatin1String("lower")) {
        line = Line::Lower;
    } else {
        error = QStringLiteral("line 只能是 \"upper\" 或 \"lower\"");
        return false;
    }
    return true;
}

bool parseText(const QJsonObject &json, QString &text, QString &error) {
    const QJsonValue value = json.value(QStringLiteral("text"));
    if (!value.isUndefined() && !value.isNull() && !value.isString()) {
        error = QStringLiteral("text 必须是文字");
        return false;
    }
    text = value.toString();
    return true;
}

std::optional<CallRequest> parseCall(const QByteArray &body, QString &error) {
    const std::optional<QJsonObject> json = parseObject(body, error);
    if (!json) return std::nullopt;
    CallRequest request;
    if (!parseLine(*json, request.line, error) || !parseText(*json, request.text, error))
        return std::nullopt;
    int number = 0;
    if (present(*json, QStringLiteral("minDisplayMs"))) {
        if (!integerIn(json->value(QStringLiteral("minDisplayMs")), 0, 3600000, number)) {
            error = QStringLiteral("minDisplayMs 必须是 0 到 3600000 之间的整数");
            return std::nullopt;
        }
        request.minDisplayMs = number;
    }
    if (present(*json, QStringLiteral("colour"))) {
        if (!integerIn(json->value(QStringLiteral("colour")), 0, 255, number)) {
            error = QStringLiteral("colour 必须是 0 到 255 之间的整数");
            return std::nullopt;
        }
        request.colour = number;
    }
    if (present(*json, QStringLiteral("id"))) {
        // Ids end up in /v1/calls/{id}: keep them to what needs no escaping.
        static const QRegularExpression idPattern(QStringLiteral("^[A-Za-z0-9._~-]{1,64}$"));
        const QJsonValue id = json->value(QStringLiteral("id"));
        if (!id.isString() || !idPattern.match(id.toString()).hasMatch()) {
            error = QStringLiteral("id 只能由字母、数字和 ._~- 组成，最长 64 个字符");
            return std::nullopt;
        }
        request.id = id.toString();
    }
    if (present(*json, QStringLiteral("lossy"))) {
        if (!json->value(QStringLiteral("lossy")).isBool()) {
            error = QStringLiteral("lossy 只能是 true 或 false");
            return std::nullopt;
        }
        request.lossy = json->value(QStringLiteral("lossy")).toBool();
    }
    return request;
}

std::optional<ScreenAction> parseAction(const QString &name, const QByteArray &body,
                                        QString &error) {
    ScreenAction action;
    if (name == QLatin1String("clock")) {
        action.kind = ScreenAction::Kind::Clock;
        return action; // sets the screen's clock to now: nothing to read
    }
    const std::optional<QJsonObject> json = parseObject(body, error);
    if (!json) return std::nullopt;
    if (name == QLatin1String("defaults")) {
        action.kind = ScreenAction::Kind::Defaults;
        if (!parseLine(*json, action.line, error) || !parseText(*json, action.text, error))
            return std::nullopt;
    } else if (name == QLatin1String("brightness")) {
        action.kind = ScreenAction::Kind::Brightness;
        if (!integerIn(json->value(QStringLiteral("value")), -1000000, 1000000, action.value)) {
            error = QStringLiteral("value 必须是整数");
            return std::nullopt;
        }
    } else {
        action.kind = ScreenAction::Kind::Power;
        if (!json->value(QStringLiteral("on")).isBool()) {
            error = QStringLiteral("on 只能是 true 或 false");
            return std::nullopt;
        }
        action.on = json->value(QStringLiteral("on")).toBool();
    }
    return action;
}

int screenNumber(const QString &text) {
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok && number > 0 ? number : 0;
}

bool parseListen(const QString &text, QString &host, QHostAddress &address, quint16 &port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) return false;
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    if (!ok || number > 65535) return false;
    host = text.left(colon);
    QString bare = host;
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    if (bare == QLatin1String("localhost")) {
        address = QHostAddress(QHostAddress::LocalHost);
    } else if (!address.setAddress(bare)) {
        return false;
    }
    if (address.protocol() == QAbstractSocket::IPv6Protocol && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    port = static_cast<quint16>(number);
    return true;
}

bool connected(const QPointer<QTcpSocket> &socket) {
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

// QHttpServer 6.4 gathers a whole request before any handler sees it, so a
// client could make it hold any amount. Requests a little over the body limit
// still reach the handler and get their 413 there; a connection whose
// unfinished request passes MaxUnfinishedRequest is answered 413 and closed.
class RequestSizeGuard : public QTcpServer {
  public:
    using QTcpServer::QTcpServer;

  protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        // Connected before the server's own reader, so it sees each arrival first.
        auto unfinished = std::make_shared<qint64>(0);
        connect(socket, &QTcpSocket::readyRead, this, [socket, unfinished] {
            // The server holds an open read transaction while a request is incomplete.
            if (!socket->isTransactionStarted()) *unfinished = 0;
            *unfinished += socket->bytesAvailable();
            if (*unfinished <= MaxUnfinishedRequest) return;
            QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
            socket->setReadBufferSize(1);
            const QByteArray body = compact(
                QJsonObject{{QStringLiteral("error"), QStringLiteral("请求内容超过 64 KB")}});
            socket->write(QByteArrayLiteral("HTTP/1.1 413 Payload Too Large\r\n"
                                            "Content-Type: application/json; charset=utf-8\r\n"
                                            "Connection: close\r\nContent-Length: ") +
                          QByteArray::number(body.size()) + QByteArrayLiteral("\r\n\r\n") + body);
            socket->disconnectFromHost();
        });
        addPendingConnection(socket);
    }
};

struct EventClient {
    // The server deletes a socket once its client leaves; the responder
    // writes through a raw pointer to it, so it is used only while this holds.
    QPointer<QTcpSocket> socket;
    std::unique_ptr<QHttpServerResponder> responder;
};
} // namespace

struct HttpFront::Private {
    CallDesk &desk;
    FrontOptions options;
    QHttpServer server;
    QByteArray expectedAuthorization; // "Bearer TOKEN"; empty without a token
    QByteArray token;
    QString host;
    quint16 port = 0;
    QByteArray page;
    QTimer heartbeat;
    // After the server: responders go before the sockets they point to.
    std::vector<EventClient> events;
    // Context of the sockets' disconnected signals; last, so that the server
    // closing its sockets on destruction no longer reaches `events`.
    QObject streamWatch;

    Private(CallDesk &callDesk, const FrontOptions &frontOptions)
        : desk(callDesk), options(frontOptions) {}

    void dispatch(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    bool authorised(const QHttpServerRequest &request) const;
    void postCall(int screen, const QHttpServerRequest &request, QHttpServerResponder &responder);
    void runAction(int screen, const QString &name, const QHttpServerRequest &request,
                   QHttpServerResponder &&responder);
    void openStream(QHttpServerResponder &&responder);
    void broadcast(const QByteArray &chunk);
    void dropGoneClients();
};

HttpFront::HttpFront(CallDesk &desk, const FrontOptions &options, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(desk, options)) {
    QFile page(QStringLiteral(":/service/status.html"));
    if (page.open(QIODevice::ReadOnly)) d->page = page.readAll();
    d->server.setMissingHandler(
        [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
            d->dispatch(request, std::move(responder));
        });
    connect(&desk, &CallDesk::callChanged, this, [this](const Call &call) {
        d->broadcast(QByteArrayLiteral("event: call\ndata: ") + compact(toJson(call)) +
                     QByteArrayLiteral("\n\n"));
    });
    connect(&desk, &CallDesk::pictureChanged, this, [this](int screen) {
        d->broadcast(QByteArrayLiteral("event: picture\ndata: ") +
                     compact(QJsonObject{{QStringLiteral("screen"), screen}}) +
                     QByteArrayLiteral("\n\n"));
    });
    d->heartbeat.setInterval(HeartbeatMs);
    connect(&d->heartbeat, &QTimer::timeout, this,
            [this] { d->broadcast(QByteArrayLiteral(": keep-alive\n\n")); });
}

HttpFront::~HttpFront() = default;

bool HttpFront::listen(QString *error) {
    auto fail = [error](const QString &words) {
        if (error) *error = words;
        return false;
    };
    QHostAddress address;
    if (!parseListen(d->options.listen, d->host, address, d->port))
        return fail(QStringLiteral("监听地址无效（应为 主机:端口）：%1").arg(d->options.listen));
    if (!d->options.tokenFile.isEmpty()) {
        QFile file(d->options.tokenFile);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("无法读取令牌文件：%1").arg(d->options.tokenFile));
        d->token = file.readAll().trimmed();
        if (d->token.isEmpty())
            return fail(QStringLiteral("令牌文件是空的：%1").arg(d->options.tokenFile));
        d->expectedAuthorization = QByteArrayLiteral("Bearer ") + d->token;
    }
    if (!address.isLoopback() && d->token.isEmpty())
        return fail(QStringLiteral("在本机以外的地址 %1 上监听必须指定令牌文件（--token-file）")
                        .arg(d->options.listen));
    auto *tcp = new RequestSizeGuard(&d->server);
    if (!tcp->listen(address, d->port)) {
        const QString reason = tcp->errorString();
        delete tcp;
        return fail(QStringLiteral("无法在 %1 上监听：%2").arg(d->options.listen, reason));
    }
    d->port = tcp->serverPort();
    d->server.bind(tcp);
    return true;
}

QString HttpFront::url() const {
    return QStringLiteral("http://%1:%2").arg(d->host).arg(d->port);
}

int HttpFront::eventClients() const {
    d->dropGoneClients();
    return static_cast<int>(d->events.size());
}

bool HttpFront::Private::authorised(const QHttpServerRequest &request) const {
    if (sameInConstantTime(request.value(QByteArrayLiteral("Authorization")),
                           expectedAuthorization))
        return true;
    // An <img> and an EventSource cannot send headers: the status page passes
    // the token in the query, for reading only.
    return request.method() == Method::Get &&
           sameInConstantTime(
               request.query().queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toUtf8(),
               token);
}

void HttpFront::Private::dispatch(const QHttpServerRequest &request,
                                  QHttpServerResponder &&responder) {
    const QString path = request.url().path();
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const Method method = request.method();
    const bool open =
        method == Method::Get && (parts.isEmpty() || path == QLatin1String("/v1/health"));
    if (!token.isEmpty() && !open && !authorised(request)) {
        responder.write(compact(QJsonObject{{QStringLiteral("error"),
                                             QStringLiteral("需要令牌（Authorization: Bearer）")}}),
                        {{QByteArrayLiteral("Content-Type"),
                          QByteArrayLiteral("application/json; charset=utf-8")},
                         {QByteArrayLiteral("WWW-Authenticate"), QByteArrayLiteral("Bearer")}},
                        Status::Unauthorized);
        return;
    }
    if (request.body().size() > MaxBody) {
        sendError(responder, Status::PayloadTooLarge, QStringLiteral("请求内容超过 64 KB"));
        return;
    }
    auto only = [&](Method allowed) {
        if (method == allowed) return true;
        sendError(responder, Status::MethodNotAllowed, QStringLiteral("这个地址不支持这种请求"));
        return false;
    };
    const qsizetype count = parts.size();
    const bool v1 = count >= 2 && parts.at(0) == QLatin1String("v1");
    const QString what = v1 ? parts.at(1) : QString();

    if (count == 0) {
        if (only(Method::Get))
            responder.write(page, {{QByteArrayLiteral("Content-Type"),
                                    QByteArrayLiteral("text/html; charset=utf-8")}});
    } else if (v1 && count == 2 && what == QLatin1String("health")) {
        if (!only(Method::Get)) return;
        QJsonArray lines;
        for (const LineHealth &line : desk.health())
            lines.append(toJson(line));
        sendJson(responder, QJsonObject{{QStringLiteral("lines"), lines}});
    } else if (v1 && count == 2 && what == QLatin1String("events")) {
        if (only(Method::Get)) openStream(std::move(responder));
    } else if (v1 && count == 2 && what == QLatin1String("screens")) {
        if (!only(Method::Get)) return;
        QJsonArray screens;
        for (const ScreenStatus &screen : desk.screens())
            screens.append(toJson(screen));
        sendJson(responder, QJsonObject{{QStringLiteral("screens"), screens}});
    } else if (v1 && (count == 3 || count == 4) && what == QLatin1String("screens")) {
        const int number = screenNumber(parts.at(2));
        const QString tail = count == 4 ? parts.at(3) : QString();
        if (count == 3) {
            if (!only(Method::Get)) return;
            const std::optional<ScreenStatus> screen = desk.screen(number);
            if (screen)
                sendJson(responder, toJson(*screen));
            else
                sendError(responder, Status::NotFound, noSuchScreen(parts.at(2)));
        } else if (tail == QLatin1String("picture.png")) {
            if (!only(Method::Get)) return;
            const QByteArray png = desk.picturePng(number);
            if (png.isEmpty())
                sendError(responder, Status::NotFound, noSuchScreen(parts.at(2)));
            else
                responder.write(
                    png, {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("image/png")},
                          {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}});
        } else if (tail == QLatin1String("calls")) {
            if (only(Method::Post)) postCall(number, request, responder);
        } else if (tail == QLatin1String("defaults") || tail == QLatin1String("brightness") ||
                   tail == QLatin1String("power") || tail == QLatin1String("clock")) {
            if (only(Method::Post)) runAction(number, tail, request, std::move(responder));
        } else {
            sendError(responder, Status::NotFound, QStringLiteral("没有这个地址：") + path);
        }
    } else if (v1 && count == 3 && what == QLatin1String("calls")) {
        const QString id = parts.at(2);
        const QString unknown = QStringLiteral("没有这个呼叫：") + id;
        if (method == Method::Get) {
            const std::optional<Call> call = desk.call(id);
            if (call)
                sendJson(responder, toJson(*call));
            else
                sendError(responder, Status::NotFound, unknown);
        } else if (only(Method::Delete)) {
            switch (desk.cancel(id)) {
            case CallDesk::Cancel::Cancelled: {
                const std::optional<Call> call = desk.call(id);
                sendJson(responder, call ? toJson(*call) : QJsonObject{{QStringLiteral("id"), id}});
                break;
            }
            case CallDesk::Cancel::NotFound:
                sendError(responder, Status::NotFound, unknown);
                break;
            case CallDesk::Cancel::NotQueued:
                sendError(responder, Status::Conflict,
                          QStringLiteral("呼叫已不在排队中，不能取消：") + id);
                break;
            }
        }
    } else {
        sendError(responder, Status::NotFound, QStringLiteral("没有这个地址：") + path);
    }
}

void HttpFront::Private::postCall(int screen, const QHttpServerRequest &request,
                                  QHttpServerResponder &responder) {
    QString error;
    const std::optional<CallRequest> call = parseCall(request.body(), error);
    if (!call) {
        sendError(responder, Status::BadRequest, error);
        return;
    }
    const Accepted accepted = desk.accept(screen, *call);
    switch (accepted.status) {
    case Accepted::Status::Queued:
        sendJson(responder, toJson(accepted.call), Status::Accepted);
        break;
    case Accepted::Status::Known:
        // Nothing new was queued: the caller retried, and gets the call as it stands.
        sendJson(responder, toJson(accepted.call), Status::Ok);
        break;
    case Accepted::Status::Refused:
        sendError(responder, Status::BadRequest, accepted.error);
        break;
    case Accepted::Status::NoSuchScreen:
        sendError(responder, Status::NotFound,
                  noSuchScreen(request.url().path().section(QLatin1Char('/'), 3, 3)));
        break;
    }
}

void HttpFront::Private::runAction(int screen, const QString &name,
                                   const QHttpServerRequest &request,
                                   QHttpServerResponder &&responder) {
    QString error;
    const std::optional<ScreenAction> action = parseAction(name, request.body(), error);
    if (!action) {
        sendError(responder, Status::BadRequest, error);
        return;
    }
    // Answered when the line has done it; the client may have left by then.
    const QPointer<QTcpSocket> socket = responder.socket();
    auto held = std::make_shared<QHttpServerResponder>(std::move(responder));
    const QString number = request.url().path().section(QLatin1Char('/'), 3, 3);
    desk.act(screen, *action, [held, socket, number](const ActionResult &result) {
        if (!connected(socket)) return;
        switch (result.status) {
        case ActionResult::Status::Done:
            sendJson(*held, QJsonObject{{QStringLiteral("result"), QStringLiteral("done")}});
            break;
        case ActionResult::Status::NotAcknowledged:
            sendError(*held, Status::BadGateway, result.message);
            break;
        case ActionResult::Status::Refused:
            sendError(*held, Status::BadRequest, result.message);
            break;
        case ActionResult::Status::NoSuchScreen:
            sendError(*held, Status::NotFound, noSuchScreen(number));
            break;
        }
    });
}

void HttpFront::Private::openStream(QHttpServerResponder &&responder) {
    QPointer<QTcpSocket> socket = responder.socket();
    // No length: the stream ends when either side closes the connection.
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader(QByteArrayLiteral("Content-Type"),
                          QByteArrayLiteral("text/event-stream; charset=utf-8"));
    responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    responder.writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    responder.writeBody(QByteArrayLiteral(": connected\n\n"));
    QObject::connect(socket, &QTcpSocket::disconnected, &streamWatch,
                     [this] { dropGoneClients(); });
    events.push_back({socket, std::make_unique<QHttpServerResponder>(std::move(responder))});
    if (!heartbeat.isActive()) heartbeat.start();
}

void HttpFront::Private::broadcast(const QByteArray &chunk) {
    dropGoneClients();
    for (EventClient &client : events)
        client.responder->writeBody(chunk);
}

void HttpFront::Private::dropGoneClients() {
    std::erase_if(events, [](const EventClient &client) { return !connected(client.socket); });
    if (events.empty()) heartbeat.stop();
}

} // namespace service
