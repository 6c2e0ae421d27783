// ledctl text, call and default: a text picture on its own, and the
// queue-calling messages of the upper and lower line (the frame's workflow).
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "encoding/TextChecks.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/led.h"
#include "workflows/QueueCalling.h"

#include <QTextStream>
#include <limits>

namespace cli {
namespace {

// The workflow checks every value, as it does the panel's.
constexpr int kAny = std::numeric_limits<int>::min();
constexpr int kAnyMax = std::numeric_limits<int>::max();

// A number option checked against a byte with the panels' own reason.
int byteOption(Arguments &args, const QString &option, const QString &label, int fallback) {
    const QString text = args.option(option.mid(2));
    if (text.isEmpty()) return fallback;
    const int value = parseInt(text, option.mid(2), kAny, kAnyMax);
    const QString problem = textchecks::byteProblem(label, value);
    if (!problem.isEmpty()) throw UsageError{problem};
    return value;
}

// False when the text is refused or the operator (--lossy) did not agree.
bool checkText(const Context &ctx, const QString &text) {
    const QString problem = textchecks::textProblem(text);
    if (!problem.isEmpty()) throw UsageError{problem};
    const QString lossy = textchecks::unrepresentableProblem(text);
    return lossy.isEmpty() ||
           ctx.ui.askSubstitution(
               lossy + QStringLiteral("，是否继续发送？ (--lossy sends them anyway)"),
               QStringLiteral("汉字发送"));
}

int queueCommand(Context &ctx, Arguments &args, queuecalling::Action upper,
                 queuecalling::Action lower) {
    for (const QString &name :
         {QStringLiteral("id"), QStringLiteral("min-display"), QStringLiteral("token-file")})
        if (args.isSet(name))
            throw UsageError{QStringLiteral("--%1 goes with --service").arg(name)};
    // The workflow checks every value, as it does the panel's.
    queuecalling::Fields fields;
    // Without --colour, the colours the window starts with (yellow, red, green background).
    fields.colour =
        numberOption(args, QStringLiteral("colour"), kAny, kAnyMax, QStringLiteral("147")).toInt();
    fields.pageTime = numberOption(args, QStringLiteral("page"), kAny, kAnyMax, fields.pageTime);
    fields.effect =
        numberOption(args, QStringLiteral("effect"), kAny, kAnyMax, QStringLiteral("0")).toInt();
    fields.speed = numberOption(args, QStringLiteral("speed"), kAny, kAnyMax, fields.speed);
    fields.stay = numberOption(args, QStringLiteral("stay"), kAny, kAnyMax, fields.stay);
    if (args.values.size() < 2) throw UsageError{QStringLiteral("needs upper|lower and TEXT")};
    const QString line = args.values.takeFirst();
    if (line == QLatin1String("upper")) {
        fields.action = upper;
    } else if (line == QLatin1String("lower")) {
        fields.action = lower;
    } else {
        throw UsageError{QStringLiteral("the line must be upper or lower, not ") + line};
    }
    fields.text = args.values.takeFirst();
    expectNoMore(args);

    const queuecalling::Run run = queuecalling::run(ctx.device, ctx.ui, ctx.connection(), fields);
    switch (run.detail) {
    case queuecalling::Outcome::Sent:
        ctx.out << (ctx.address > led::LastAnsweringAddress
                        ? "sent (not acknowledged at addresses of 512 and more)\n"
                        : "sent\n");
        break;
    case queuecalling::Outcome::PictureFailed:
        ctx.out << "picture not acknowledged\n";
        break;
    case queuecalling::Outcome::DisplayFailed:
        ctx.out << "display block not acknowledged\n";
        break;
    case queuecalling::Outcome::Refused:
        break;
    }
    ctx.out.flush();
    return exitStatus(run.outcome);
}

} // namespace

int textCommand(Context &ctx, Arguments &args) {
    const int colour = byteOption(args, QStringLiteral("--colour"), QStringLiteral("颜色"), 0);
    const bool withEffect = args.isSet(QStringLiteral("effect"));
    if (!withEffect && (args.isSet(QStringLiteral("speed")) || args.isSet(QStringLiteral("stay"))))
        throw UsageError{QStringLiteral("--speed and --stay go with --effect")};
    const int effect = byteOption(args, QStringLiteral("--effect"), QStringLiteral("动作方式"), 0);
    const int speed = byteOption(args, QStringLiteral("--speed"), QStringLiteral("动作速度"), 2);
    const int stay = byteOption(args, QStringLiteral("--stay"), QStringLiteral("停留时间"), 2);
    if (args.values.size() < 2) throw UsageError{QStringLiteral("text needs PICTURE and TEXT")};
    const int picture = parseInt(args.values.takeFirst(), QStringLiteral("picture"),
                                 textpicture::FirstPicture, textpicture::LastPicture);
    const QString text = args.values.takeFirst();
    expectNoMore(args);
    if (!checkText(ctx, text)) return ExitUsage;

    ctx.prepare();
    bool ok = false;
    if (withEffect) {
        const qint16 length = ctx.device.Strtoneima1(text, qint16(colour), qint16(effect),
                                                     qint16(speed), qint16(stay));
        ok = textpicture::send(ctx.device, picture, length, textpicture::Layout::WithEffect);
    } else {
        const qint16 length = ctx.device.Strtoneima(text, qint16(colour));
        ok = textpicture::send(ctx.device, picture, length, textpicture::Layout::Plain);
    }
    return ctx.report(ok);
}

int callCommand(Context &ctx, Arguments &args) {
    if (!ctx.service.isEmpty()) return serviceCallCommand(ctx, args);
    return queueCommand(ctx, args, queuecalling::Action::TestUpper,
                        queuecalling::Action::TestLower);
}

int defaultCommand(Context &ctx, Arguments &args) {
    if (!ctx.service.isEmpty()) return serviceDefaultCommand(ctx, args);
    return queueCommand(ctx, args, queuecalling::Action::DefaultUpper,
                        queuecalling::Action::DefaultLower);
}

} // namespace cli
