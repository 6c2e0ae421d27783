// ledctl upload and ledctl radio: font, ASC and firmware files in packets
// with a progress line, and the radio module on the host's port.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/ProgressLine.h"
#include "cli/StopSignals.h"
#include "protocol/led.h"
#include "workflows/FileUpload.h"
#include "workflows/Radio.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QTextStream>

namespace cli {
namespace {

// The font library and the ASC font go as the batch sends them; arm and fpga
// as the update buttons do.
fileupload::Kind kindNamed(const QString &name) {
    if (name == QLatin1String("font"))
        return {command::byte(::Command::FontUpload), 256, QString()};
    if (name == QLatin1String("asc")) return {command::byte(::Command::AscUpload), 256, QString()};
    if (name == QLatin1String("arm")) return fileupload::arm();
    if (name == QLatin1String("fpga")) return fileupload::fpga();
    throw UsageError{QStringLiteral("upload needs font, asc, arm or fpga, not ") + name};
}

// "检测模块": the fields the frame fills, one "name=value" line each; a
// choice the module string does not give stays empty.
int radioCheck(Context &ctx) {
    const radio::Detected d = radio::detect(ctx.device, ctx.ui, ctx.connection());
    if (d.module.isEmpty()) return ExitFailed;
    const auto position = [](int p) { return p < 0 ? QString() : QString::number(p); };
    const radio::ModuleFields &f = d.fields;
    ctx.out << "版本号=" << d.module.left(3) << "\n包大小=" << f.packetSize
            << "\n波特率=" << position(f.baud) << "\n空中波特率=" << position(f.airBaud)
            << "\n功率档=" << position(f.power) << "\n收发切换范围=" << position(f.range)
            << "\n信道号=" << f.channel << '\n';
    ctx.out.flush();
    return ExitOk;
}

// "自动设置" until SIGINT or SIGTERM, then "停止设置" with its reminder: each
// tick programs whatever module is attached, so modules can be changed
// while it runs.
int radioAuto(Context &ctx, Arguments &args) {
    const int interval = numberOption(args, QStringLiteral("interval"), 100, 600000,
                                      QString::number(radio::RepeatedSetting::IntervalMs))
                             .toInt();
    const QString channel = takeArgument(args, QStringLiteral("channel"));
    expectNoMore(args);
    parseInt(channel, QStringLiteral("channel"), -32768, 32767);
    QEventLoop loop;
    StopSignals stop([&loop] { loop.quit(); });
    const radio::Random random = radio::systemRandom();
    radio::RepeatedSetting repeated(ctx.ui, [&] {
        radio::setChannel(ctx.device, ctx.ui, ctx.connection(), channel, random, true);
    });
    repeated.setInterval(interval);
    repeated.toggle();
    *ctx.err << "自动设置: 信道 " << channel << ", Ctrl+C 停止设置\n";
    ctx.err->flush();
    loop.exec();
    repeated.toggle();
    return ExitOk;
}

} // namespace

int uploadCommand(Context &ctx, Arguments &args) {
    const QString sizeText = args.option(QStringLiteral("packet-size"));
    const bool lengthWord = args.isSet(QStringLiteral("length-word"));
    fileupload::Kind kind = kindNamed(takeArgument(args, QStringLiteral("font, asc, arm or fpga")));
    kind.lengthWord = lengthWord;
    if (!sizeText.isEmpty()) {
        kind.packetSize = parseInt(sizeText, QStringLiteral("packet size"), 1, 1024);
        if (kind.packetSize != 256 && kind.packetSize != 512 && kind.packetSize != 528)
            throw UsageError{QStringLiteral("--packet-size must be 256, 512 or 528")};
    }
    const QString file = takeArgument(args, QStringLiteral("FILE"));
    expectNoMore(args);
    ProgressLine progress(*ctx.err, ctx.errIsTerminal, kind.packetSize);
    ctx.device.setProgress(&progress);
    const auto detach = qScopeGuard([&] { ctx.device.setProgress(nullptr); });
    return ctx.report(fileupload::update(ctx.device, ctx.ui, ctx.connection(), file, kind));
}

int radioCommand(Context &ctx, Arguments &args) {
    const QString action = takeArgument(args, QStringLiteral("read, check, channel or auto"));
    if (action != QLatin1String("auto")) args.allowOnly({});
    if (action == QLatin1String("check")) {
        expectNoMore(args);
        return radioCheck(ctx);
    }
    if (action == QLatin1String("auto")) return radioAuto(ctx, args);
    if (action == QLatin1String("read")) {
        expectNoMore(args);
        const QString module = radio::check(ctx.device, ctx.ui, ctx.connection());
        if (module.isEmpty()) return ExitFailed;
        ctx.out << module << '\n';
        return ExitOk;
    }
    if (action != QLatin1String("channel"))
        throw UsageError{QStringLiteral("radio needs read, check, channel N or auto N, not ") +
                         action};
    const QString channel = takeArgument(args, QStringLiteral("channel"));
    expectNoMore(args);
    // The panel's own check decides the range, with its message.
    parseInt(channel, QStringLiteral("channel"), -32768, 32767);
    return ctx.report(
        radio::setChannel(ctx.device, ctx.ui, ctx.connection(), channel, radio::systemRandom()),
        true);
}

} // namespace cli
