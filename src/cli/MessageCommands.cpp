// ledctl message and logo: the text panel's "发送信息" and "发送logo".
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/StoreDirectory.h"
#include "workflows/TextSending.h"

#include <QTextStream>

namespace cli {
namespace {

textsending::Fields fieldsFrom(Arguments &args, const char *command) {
    textsending::Fields f;
    // Without --colour, the text colour byte the window starts with (51).
    f.colour = numberOption(args, QStringLiteral("colour"), 0, 255, QStringLiteral("51")).toInt();
    f.effect = numberOption(args, QStringLiteral("effect"), 0, 255, QStringLiteral("0")).toInt();
    f.speed = numberOption(args, QStringLiteral("speed"), 0, 255, f.speed);
    f.stay = numberOption(args, QStringLiteral("stay"), 0, 255, f.stay);
    if (args.values.isEmpty())
        throw UsageError{QString::fromLatin1(command) + QStringLiteral(" needs TEXT")};
    f.text = args.values.takeFirst();
    expectNoMore(args);
    return f;
}

// The name of combo1's item that gave the colour byte's background (its low
// half is the position + 1 in the list the window starts with).
QString backgroundName(int colour) {
    static const QStringList names{QStringLiteral("红色"), QStringLiteral("绿色"),
                                   QStringLiteral("黄色")};
    return names.value((colour & 0x0F) - 1, QStringLiteral("黑色"));
}

} // namespace

// With --screen the message is kept in the screen's text file of --store
// (汉字图号, default 1), as the window keeps it.
int messageCommand(Context &ctx, Arguments &args) {
    const QString store = args.option(QStringLiteral("store"));
    if (!store.isEmpty() && ctx.screenNumber == 0)
        throw UsageError{QStringLiteral("--store needs --screen")};
    textsending::Fields f = fieldsFrom(args, "message");
    f.withEffect = args.isSet(QStringLiteral("with-effect"));
    if (!store.isEmpty()) f.pictureField = store;
    f.background = backgroundName(f.colour);
    const QString directory =
        ctx.screenNumber > 0 ? StoreDirectory::ensure(ctx.screenName) : QString();
    return ctx.report(textsending::sendMessage(ctx.device, ctx.ui, ctx.connection(), f, directory));
}

int logoCommand(Context &ctx, Arguments &args) {
    const textsending::Fields f = fieldsFrom(args, "logo");
    return ctx.report(textsending::sendLogo(ctx.device, ctx.ui, ctx.connection(), f));
}

} // namespace cli
