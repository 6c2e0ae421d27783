// ledctl call and default through the call service (--service URL or
// LEDCOUNTER_SERVICE): the service owns the screens' lines, ledctl posts the
// call, prints its id and waits until the screen showed it or it failed.
#include "cli/Cli.h"
#include "cli/Handlers.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

namespace cli {
namespace {

// A queued call is asked for again this often until it is shown or failed.
constexpr int kPollMs = 200;
// A screen action is answered when the screen acknowledged it: a turn on a
// busy line, the port wait and the retries fit well within this.
constexpr int kSilenceMs = 120000;

struct Answer {
    int status = 0; // 0: no HTTP answer at all
    QJsonDocument document;
    QJsonObject json; // the document's object, empty when it is none
    QString networkError;
};

// The service's refusal in its own words, else the HTTP status.
QString errorText(const Answer &a) {
    const QString error = a.json.value(QStringLiteral("error")).toString();
    return error.isEmpty() ? QStringLiteral("HTTP %1").arg(a.status) : error;
}

class ServiceClient {
  public:
    ServiceClient(const QString &url, QByteArray token) : m_base(url), m_token(std::move(token)) {
        while (m_base.endsWith(QLatin1Char('/')))
            m_base.chop(1);
        const QUrl parsed(m_base);
        if (!parsed.isValid() || parsed.host().isEmpty() ||
            (parsed.scheme() != QLatin1String("http") && parsed.scheme() != QLatin1String("https")))
            throw UsageError{QStringLiteral("--service needs an http:// URL, not ") + url};
    }

    Answer get(const QString &path) { return wait(m_manager.get(request(path))); }
    Answer post(const QString &path, const QJsonObject &body) {
        QNetworkRequest r = request(path);
        r.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        return wait(m_manager.post(r, QJsonDocument(body).toJson(QJsonDocument::Compact)));
    }

    // The service did not answer: the operator's "通讯失败" with the URL.
    [[noreturn]] void unreachable(Context &ctx, const Answer &a) const {
        *ctx.err << QStringLiteral("ledctl: 通讯失败：") << m_base << " (" << a.networkError
                 << ")\n";
        ctx.err->flush();
        throw Failed{};
    }
    struct Failed {};

  private:
    QNetworkRequest request(const QString &path) const {
        QNetworkRequest r(QUrl(m_base + path));
        r.setTransferTimeout(kSilenceMs);
        if (!m_token.isEmpty())
            r.setRawHeader(QByteArrayLiteral("Authorization"),
                           QByteArrayLiteral("Bearer ") + m_token);
        return r;
    }

    Answer wait(QNetworkReply *reply) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) loop.exec();
        Answer a;
        a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.document = QJsonDocument::fromJson(reply->readAll());
        a.json = a.document.object();
        if (a.status == 0) a.networkError = reply->errorString();
        reply->deleteLater();
        return a;
    }

    QString m_base;
    QByteArray m_token;
    QNetworkAccessManager m_manager;
};

// --token-file FILE, else LEDCOUNTER_TOKEN; none: no Authorization header.
QByteArray token(const Arguments &args) {
    const QString path = args.option(QStringLiteral("token-file"));
    if (path.isEmpty()) return qgetenv("LEDCOUNTER_TOKEN").trimmed();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError{QStringLiteral("cannot read the token file ") + path};
    const QByteArray value = file.readAll().trimmed();
    if (value.isEmpty()) throw UsageError{QStringLiteral("the token file is empty: ") + path};
    return value;
}

// --screen N is the service's screen number; a name is looked up in the
// service's list, as the registry's names are without it.
int screenNumber(Context &ctx, ServiceClient &client) {
    const QString wanted = ctx.serviceScreen.trimmed();
    if (wanted.isEmpty()) throw UsageError{QStringLiteral("--service needs --screen N|NAME")};
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber) {
        if (number < 1) throw UsageError{QStringLiteral("no screen numbered ") + wanted};
        return number;
    }
    const Answer a = client.get(QStringLiteral("/v1/screens"));
    if (a.status == 0) client.unreachable(ctx, a);
    if (a.status != 200) throw UsageError{errorText(a)};
    // The list itself, or an object that holds it as "screens".
    const QJsonArray screens = a.document.isArray()
                                   ? a.document.array()
                                   : a.json.value(QStringLiteral("screens")).toArray();
    for (const QJsonValue &s : screens)
        if (s.toObject().value(QStringLiteral("name")).toString().trimmed() == wanted)
            return s.toObject().value(QStringLiteral("number")).toInt();
    throw UsageError{QStringLiteral("no screen named %1 at %2").arg(wanted, ctx.service)};
}

// upper|lower TEXT, and nothing more.
QJsonObject lineAndText(Arguments &args) {
    if (args.values.size() < 2) throw UsageError{QStringLiteral("needs upper|lower and TEXT")};
    const QString line = args.values.takeFirst();
    if (line != QLatin1String("upper") && line != QLatin1String("lower"))
        throw UsageError{QStringLiteral("the line must be upper or lower, not ") + line};
    const QString text = args.values.takeFirst();
    expectNoMore(args);
    return {{QStringLiteral("line"), line}, {QStringLiteral("text"), text}};
}

// The message's page, effect, speed and stay are the screen's business in
// the service; a call sets only its text, its colour and its display time.
void refuseLocalOnly(const Arguments &args, const QStringList &names) {
    for (const QString &name : names)
        if (args.isSet(name))
            throw UsageError{QStringLiteral("--%1 does not go through the service").arg(name)};
}

// 400, 401, 404 and 413 refuse the request: exit 2; anything else: 1.
int refused(Context &ctx, const Answer &a) {
    *ctx.err << "ledctl: " << errorText(a) << "\n";
    ctx.err->flush();
    const bool refusal = a.status == 400 || a.status == 401 || a.status == 404 || a.status == 413;
    return refusal ? ExitUsage : ExitFailed;
}

// Waits until the call is final: 0 shown, 1 otherwise.
int awaitCall(Context &ctx, ServiceClient &client, QJsonObject call) {
    const QString id = call.value(QStringLiteral("id")).toString();
    const QString path =
        QStringLiteral("/v1/calls/") + QString::fromLatin1(QUrl::toPercentEncoding(id));
    for (;;) {
        const QString state = call.value(QStringLiteral("state")).toString();
        if (state == QLatin1String("shown")) {
            ctx.out << "shown\n";
            ctx.out.flush();
            return ExitOk;
        }
        if (state != QLatin1String("queued") && state != QLatin1String("sending")) {
            const QString error = call.value(QStringLiteral("error")).toString();
            *ctx.err << "ledctl: call " << id << ' ' << state
                     << (error.isEmpty() ? QString() : QStringLiteral("：") + error) << "\n";
            ctx.err->flush();
            return ExitFailed;
        }
        QEventLoop pause;
        QTimer::singleShot(kPollMs, &pause, &QEventLoop::quit);
        pause.exec();
        const Answer a = client.get(path);
        if (a.status == 0) client.unreachable(ctx, a);
        if (a.status != 200) {
            *ctx.err << "ledctl: call " << id << ": " << errorText(a) << "\n";
            ctx.err->flush();
            return ExitFailed;
        }
        call = a.json;
    }
}

} // namespace

int serviceCallCommand(Context &ctx, Arguments &args) {
    refuseLocalOnly(args, {QStringLiteral("page"), QStringLiteral("effect"),
                           QStringLiteral("speed"), QStringLiteral("stay")});
    QJsonObject body = lineAndText(args);
    if (args.isSet(QStringLiteral("colour")))
        body.insert(QStringLiteral("colour"), parseInt(args.option(QStringLiteral("colour")),
                                                       QStringLiteral("colour"), 0, 255));
    if (args.isSet(QStringLiteral("min-display")))
        body.insert(QStringLiteral("minDisplayMs"),
                    parseInt(args.option(QStringLiteral("min-display")),
                             QStringLiteral("min-display"), 0, 3600000));
    if (args.isSet(QStringLiteral("id")))
        body.insert(QStringLiteral("id"), args.option(QStringLiteral("id")));
    if (ctx.lossy) body.insert(QStringLiteral("lossy"), true);
    ServiceClient client(ctx.service, token(args));
    try {
        const int screen = screenNumber(ctx, client);
        const Answer a = client.post(QStringLiteral("/v1/screens/%1/calls").arg(screen), body);
        if (a.status == 0) client.unreachable(ctx, a);
        if (a.status != 202 && a.status != 200) return refused(ctx, a);
        const QString id = a.json.value(QStringLiteral("id")).toString();
        if (id.isEmpty()) {
            *ctx.err << "ledctl: the service's answer names no call\n";
            ctx.err->flush();
            return ExitFailed;
        }
        ctx.out << id << "\n";
        ctx.out.flush();
        return awaitCall(ctx, client, a.json);
    } catch (const ServiceClient::Failed &) {
        return ExitFailed;
    }
}

int serviceDefaultCommand(Context &ctx, Arguments &args) {
    refuseLocalOnly(args,
                    {QStringLiteral("colour"), QStringLiteral("page"), QStringLiteral("effect"),
                     QStringLiteral("speed"), QStringLiteral("stay")});
    const QJsonObject body = lineAndText(args);
    ServiceClient client(ctx.service, token(args));
    try {
        const int screen = screenNumber(ctx, client);
        const Answer a = client.post(QStringLiteral("/v1/screens/%1/defaults").arg(screen), body);
        if (a.status == 0) client.unreachable(ctx, a);
        if (a.status != 200) return refused(ctx, a);
        ctx.out << "sent\n";
        ctx.out.flush();
        return ExitOk;
    } catch (const ServiceClient::Failed &) {
        return ExitFailed;
    }
}

} // namespace cli
