// ledctl brightness, power, start-picture, clock, list and protocol-switch:
// the parameter panel's control commands, through the panel's workflows.
#include "workflows/ControlCommands.h"
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "protocol/led.h"

#include <QTextStream>

namespace cli {
namespace {

QByteArray parseHexBytes(const QStringList &args) {
    QByteArray bytes;
    for (const QString &h : args) {
        const QString digits = QString(h).remove(QLatin1Char(' '));
        bool hex = !digits.isEmpty() && digits.size() % 2 == 0;
        for (QChar c : digits)
            hex = hex && (c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c));
        if (!hex) throw UsageError{QStringLiteral("not hex bytes: ") + h};
        bytes.append(QByteArray::fromHex(digits.toLatin1()));
    }
    return bytes;
}

int choice(const QString &value, const QString &what, const QString &zero, const QString &other,
           int otherCode) {
    if (value.isEmpty())
        throw UsageError{QStringLiteral("--") + what + QStringLiteral(" is missing")};
    if (value == zero) return 0;
    if (value == other) return otherCode;
    throw UsageError{QStringLiteral("--%1 must be %2 or %3, not %4").arg(what, zero, other, value)};
}

} // namespace

// The panel's field as typed: it clamps to 0..255, a text without a number is 0.
int brightnessCommand(Context &ctx, Arguments &args) {
    const QString value = takeArgument(args, QStringLiteral("brightness"));
    expectNoMore(args);
    return ctx.report(controlcommands::setBrightness(ctx.device, ctx.ui, ctx.connection(), value));
}

int powerCommand(Context &ctx, Arguments &args) {
    const QString state = takeArgument(args, QStringLiteral("on or off"));
    expectNoMore(args);
    if (state != QLatin1String("on") && state != QLatin1String("off"))
        throw UsageError{QStringLiteral("power must be on or off, not ") + state};
    return ctx.report(controlcommands::screenOn(ctx.device, ctx.ui, ctx.connection(),
                                                state == QLatin1String("on")));
}

// The panel's Text4 as typed: its error number for a text that is no number
// (13) or does not fit (6).
int startPictureCommand(Context &ctx, Arguments &args) {
    const QString value = takeArgument(args, QStringLiteral("start picture number"));
    expectNoMore(args);
    return ctx.report(
        controlcommands::setStartPicture(ctx.device, ctx.ui, ctx.connection(), value));
}

// The panel's Text5 as typed; without --offset the clock is set to now.
int clockCommand(Context &ctx, Arguments &args) {
    const bool given = args.isSet(QStringLiteral("offset"));
    const QString offset = given ? args.option(QStringLiteral("offset")) : QStringLiteral("0");
    expectNoMore(args);
    return ctx.report(controlcommands::adjustClock(ctx.device, ctx.ui, ctx.connection(), offset));
}

int listCommand(Context &ctx, Arguments &args) {
    const QByteArray bytes = parseHexBytes(args.values);
    if (bytes.size() > 1024)
        throw UsageError{
            QStringLiteral("a list holds at most 1024 bytes, not %1").arg(bytes.size())};
    ctx.prepare();
    return ctx.report(ctx.device.Csendlist(bytes, qint32(bytes.size())));
}

int protocolSwitchCommand(Context &ctx, Arguments &args) {
    controlcommands::ProtocolSwitchFields fields;
    // 极性: "低有效" 0, "高有效" 4; 数据极性: "负极性" 0, "正极性" 8.
    fields.oePolarity = choice(args.option(QStringLiteral("oe")), QStringLiteral("oe"),
                               QStringLiteral("low"), QStringLiteral("high"), 4);
    fields.dataPolarity =
        choice(args.option(QStringLiteral("data-polarity")), QStringLiteral("data-polarity"),
               QStringLiteral("negative"), QStringLiteral("positive"), 8);
    const QString length = args.option(QStringLiteral("length"));
    if (length.isEmpty()) throw UsageError{QStringLiteral("--length is missing")};
    // length / 8 - 1 travels in one byte.
    fields.length = QString::number(parseInt(length, QStringLiteral("length"), 8, 2055));
    const QString brightness = args.option(QStringLiteral("brightness"));
    if (brightness.isEmpty()) throw UsageError{QStringLiteral("--brightness is missing")};
    fields.brightness = QString::number(parseInt(brightness, QStringLiteral("brightness"), 0, 255));
    expectNoMore(args);
    if (ctx.address < 0 || ctx.address > 255)
        throw UsageError{QStringLiteral("protocol-switch needs an address of 0 to 255, not %1")
                             .arg(ctx.address)};
    return ctx.report(
        controlcommands::protocolSwitch(ctx.device, ctx.ui, ctx.connection(), fields));
}

} // namespace cli
