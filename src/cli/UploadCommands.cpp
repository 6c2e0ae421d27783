// ledctl upload and ledctl radio: font, ASC and firmware files in packets
// with a progress line, and the radio module on the host's port.
#include "cli/Cli.h"
#include "cli/ProgressLine.h"
#include "protocol/led.h"
#include "workflows/FileUpload.h"
#include "workflows/Radio.h"

#include <QScopeGuard>
#include <QTextStream>

namespace cli {
namespace {

// The font library and the ASC font go as the batch sends them; arm and fpga
// as the update buttons do.
fileupload::Kind kindNamed(const QString &name) {
    if (name == QLatin1String("font")) return {5, 256, QString()};
    if (name == QLatin1String("asc")) return {3, 256, QString()};
    if (name == QLatin1String("arm")) return fileupload::arm();
    if (name == QLatin1String("fpga")) return fileupload::fpga();
    throw UsageError{QStringLiteral("upload needs font, asc, arm or fpga, not ") + name};
}

int uploadCommand(Context &ctx, QStringList &args) {
    const QString sizeText = takeOption(args, QStringLiteral("--packet-size"));
    const bool lengthWord = takeFlag(args, QStringLiteral("--length-word"));
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

int radioCommand(Context &ctx, QStringList &args) {
    const QString action = takeArgument(args, QStringLiteral("read or channel"));
    if (action == QLatin1String("read")) {
        expectNoMore(args);
        const QString module = radio::check(ctx.device, ctx.ui, ctx.connection());
        if (module.isEmpty()) return ExitFailed;
        ctx.out << module << '\n';
        return ExitOk;
    }
    if (action != QLatin1String("channel"))
        throw UsageError{QStringLiteral("radio needs read or channel N, not ") + action};
    const QString channel = takeArgument(args, QStringLiteral("channel"));
    expectNoMore(args);
    // The panel's own check decides the range, with its message.
    parseInt(channel, QStringLiteral("channel"), -32768, 32767);
    return ctx.report(
        radio::setChannel(ctx.device, ctx.ui, ctx.connection(), channel, radio::systemRandom()),
        true);
}

const Registration registration{
    {QStringLiteral("upload"),
     QStringLiteral("upload font|asc|arm|fpga FILE [--packet-size 256|512|528] [--length-word]"),
     uploadCommand},
    {QStringLiteral("radio"), QStringLiteral("radio read | radio channel N"), radioCommand},
};

} // namespace
} // namespace cli
