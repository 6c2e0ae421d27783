#include "workflows/BusScan.h"

#include "config/ScreenFields.h"
#include "protocol/OperatorUi.h"
#include "protocol/led.h"

namespace busscan {

namespace {
const QString kCaption = QStringLiteral("扫描");

bool fail(QString *why, const QString &text) {
    if (why) *why = text;
    return false;
}

bool toInt(const QString &text, int *value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok) *value = v;
    return ok;
}
} // namespace

bool parseBauds(const QString &text, QList<int> *bauds, QString *why) {
    if (text.trimmed().isEmpty()) return true;
    QList<int> rates;
    for (const QString &part : text.split(QLatin1Char(','))) {
        if (!BaudRate::rates().contains(part.trimmed()))
            return fail(why, QStringLiteral("波特率只能是 9600、19200、38400 或 115200: ") + part);
        const int rate = part.trimmed().toInt();
        if (!rates.contains(rate)) rates.append(rate);
    }
    *bauds = rates;
    return true;
}

bool parseAddresses(const QString &text, int *first, int *last, QString *why) {
    if (text.trimmed().isEmpty()) return true;
    const QString bad =
        QStringLiteral("地址范围应为 A-B，%1 到 %2: ").arg(0).arg(led::LastAnsweringAddress) + text;
    const QStringList ends = text.split(QLatin1Char('-'));
    int a = 0, b = 0;
    if (ends.size() == 1 && toInt(ends.at(0), &a)) {
        b = a;
    } else if (ends.size() != 2 || !toInt(ends.at(0), &a) || !toInt(ends.at(1), &b)) {
        return fail(why, bad);
    }
    if (a < 0 || b > led::LastAnsweringAddress || a > b) return fail(why, bad);
    *first = a;
    *last = b;
    return true;
}

bool parseWait(const QString &text, int *waitMs, QString *why) {
    if (text.trimmed().isEmpty()) return true;
    int ms = 0;
    if (!toInt(text, &ms) || ms < MinWaitMs || ms > MaxWaitMs)
        return fail(why,
                    QStringLiteral("等待时间应为 %1 到 %2 毫秒: ").arg(MinWaitMs).arg(MaxWaitMs) +
                        text);
    *waitMs = ms;
    return true;
}

QString validate(const Request &request) {
    if (request.bauds.isEmpty()) return QStringLiteral("请选择波特率");
    for (int b : request.bauds)
        if (!BaudRate::rates().contains(QString::number(b)))
            return QStringLiteral("波特率只能是 9600、19200、38400 或 115200: %1").arg(b);
    if (request.firstAddress < 0 || request.lastAddress > led::LastAnsweringAddress ||
        request.firstAddress > request.lastAddress)
        return QStringLiteral("地址范围应为 A-B，%1 到 %2: %3-%4")
            .arg(0)
            .arg(led::LastAnsweringAddress)
            .arg(request.firstAddress)
            .arg(request.lastAddress);
    if (request.waitMs < MinWaitMs || request.waitMs > MaxWaitMs)
        return QStringLiteral("等待时间应为 %1 到 %2 毫秒: %3")
            .arg(MinWaitMs)
            .arg(MaxWaitMs)
            .arg(request.waitMs);
    return QString();
}

Result run(led &device, OperatorUi &ui, const Request &request, const Observer &observer) {
    Result result;
    const QString problem = validate(request);
    if (!problem.isEmpty()) {
        ui.message(problem, kCaption);
        return result;
    }
    const int perRate = request.lastAddress - request.firstAddress + 1;
    const int total = int(request.bauds.size()) * perRate;
    int done = 0;
    auto progress = [&] {
        if (observer.progress) observer.progress(done, total);
    };
    auto cancelled = [&] { return observer.cancelled && observer.cancelled(); };
    const qint16 address = device.PAdress;
    result.outcome = Outcome::Finished;
    progress();
    // One turn for the whole scan; each new rate reopens the port, since the
    // rate is set when it opens.
    const led::PortTurn turn(device);
    for (int baud : request.bauds) {
        if (cancelled()) {
            result.outcome = Outcome::Cancelled;
            break;
        }
        device.serieinit(qint16(request.port), QString::number(baud));
        // Is anything there at all? Every board hears the broadcast.
        const bool anyone = device.Link_Build(-1, request.waitMs);
        if (device.portFailureTold()) {
            result.outcome = Outcome::PortFailed;
            break;
        }
        if (!anyone) {
            done += perRate;
            progress();
            continue;
        }
        for (int a = request.firstAddress; a <= request.lastAddress; ++a) {
            if (cancelled()) {
                result.outcome = Outcome::Cancelled;
                break;
            }
            const bool answered = device.Link_Build(qint16(a), request.waitMs);
            if (device.portFailureTold()) {
                result.outcome = Outcome::PortFailed;
                break;
            }
            ++done;
            if (answered) {
                const Board board{a, baud};
                result.boards.append(board);
                if (observer.found) observer.found(board);
            }
            progress();
        }
        if (result.outcome != Outcome::Finished) break;
    }
    device.PAdress = address;
    return result;
}

} // namespace busscan
