// ledctl message and logo: the text panel's "发送信息" and "发送logo".
#include "cli/Cli.h"
#include "workflows/TextSending.h"

#include <QTextStream>

namespace cli {
namespace {

textsending::Fields fieldsFrom(QStringList &args, const char *command) {
    textsending::Fields f;
    // Without --colour, the text colour byte the window starts with (51).
    f.colour = numberOption(args, QStringLiteral("--colour"), 0, 255, QStringLiteral("51")).toInt();
    f.effect = numberOption(args, QStringLiteral("--effect"), 0, 255, QStringLiteral("0")).toInt();
    f.speed = numberOption(args, QStringLiteral("--speed"), 0, 255, f.speed);
    f.stay = numberOption(args, QStringLiteral("--stay"), 0, 255, f.stay);
    f.withEffect = takeFlag(args, QStringLiteral("--with-effect"));
    if (args.isEmpty())
        throw UsageError{QString::fromLatin1(command) + QStringLiteral(" needs TEXT")};
    f.text = args.takeFirst();
    expectNoMore(args);
    return f;
}

int messageCommand(Context &ctx, QStringList &args) {
    const textsending::Fields f = fieldsFrom(args, "message");
    return ctx.report(textsending::sendMessage(ctx.device, ctx.ui, ctx.connection(), f, {}));
}

int logoCommand(Context &ctx, QStringList &args) {
    textsending::Fields f = fieldsFrom(args, "logo");
    if (f.withEffect) throw UsageError{QStringLiteral("--with-effect is for message only")};
    return ctx.report(textsending::sendLogo(ctx.device, ctx.ui, ctx.connection(), f));
}

const QString kOptions = QStringLiteral("[--colour BYTE] [--effect CODE] [--speed S] [--stay T]");

const Registration registration{
    {QStringLiteral("message"),
     QStringLiteral("message TEXT ") + kOptions + QStringLiteral(" [--with-effect]"),
     messageCommand},
    {QStringLiteral("logo"), QStringLiteral("logo TEXT ") + kOptions, logoCommand},
};

} // namespace
} // namespace cli
