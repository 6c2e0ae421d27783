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

struct UploadKind {
    const char *name;
    int commandByte;
    int packetSize;
};
constexpr UploadKind Kinds[] = {
    {"font", 5, 256}, {"asc", 3, 256}, {"arm", 5, 528}, {"fpga", 14, 528}};

int uploadCommand(Context &ctx, QStringList &args) {
    const QString sizeText = takeOption(args, QStringLiteral("--packet-size"));
    const bool lengthWord = takeFlag(args, QStringLiteral("--length-word"));
    const QString kindName = takeArgument(args, QStringLiteral("font, asc, arm or fpga"));
    const UploadKind *kind = nullptr;
    for (const UploadKind &k : Kinds)
        if (kindName == QLatin1String(k.name)) kind = &k;
    if (!kind)
        throw UsageError{QStringLiteral("upload needs font, asc, arm or fpga, not ") + kindName};
    int packetSize = kind->packetSize;
    if (!sizeText.isEmpty()) {
        packetSize = parseInt(sizeText, QStringLiteral("packet size"), 1, 1024);
        if (packetSize != 256 && packetSize != 512 && packetSize != 528)
            throw UsageError{QStringLiteral("--packet-size must be 256, 512 or 528")};
    }
    const QString file = takeArgument(args, QStringLiteral("FILE"));
    expectNoMore(args);
    QTextStream fallback(stderr);
    ProgressLine progress(ctx.err ? *ctx.err : fallback, ctx.errIsTerminal, packetSize);
    ctx.device.setProgress(&progress);
    const auto detach = qScopeGuard([&] { ctx.device.setProgress(nullptr); });
    const fileupload::Kind update{kind->commandByte, packetSize, QString(), lengthWord};
    return ctx.report(fileupload::update(ctx.device, ctx.ui, ctx.connection(), file, update));
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
        radio::setChannel(ctx.device, ctx.ui, ctx.connection(), channel, radio::systemRandom()));
}

const Registration registration{
    {QStringLiteral("upload"),
     QStringLiteral("upload font|asc|arm|fpga FILE [--packet-size 256|512|528] [--length-word]"),
     uploadCommand},
    {QStringLiteral("radio"), QStringLiteral("radio read | radio channel N"), radioCommand},
};

} // namespace
} // namespace cli
