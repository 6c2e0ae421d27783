// ledctl power-on-text: "发送上电信息" with the format "文本": the window
// number first, as the image panel sends it, then the text as picture 3.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/ScreenWindow.h"
#include "encoding/ColourBytes.h"
#include "workflows/ImageLibrary.h"

#include <QTextStream>

namespace cli {
int powerOnTextCommand(Context &ctx, Arguments &args) {
    const int colour =
        numberOption(args, QStringLiteral("colour"), 0, 255, QStringLiteral("-1")).toInt();
    const int windowColour =
        numberOption(args, QStringLiteral("window-colour"), 0, 255, QStringLiteral("-1")).toInt();
    const bool fieldGiven = args.isSet(QStringLiteral("window-number"));
    const QString field = args.option(QStringLiteral("window-number"));
    const QString text = takeArgument(args, QStringLiteral("TEXT"));
    expectNoMore(args);
    ScreenWindow window(ctx);
    const std::array<int, 5> p = window.positions();
    imagelibrary::Request r;
    r.picture = false;
    r.text = text;
    r.colour = colour >= 0 ? colour : colourbytes::lineColourByte(p[0], p[1], p[2]);
    const windownumber::Request number =
        window.windowNumber(fieldGiven ? field : window.windowNumberField(), windowColour);
    return ctx.report(imagelibrary::send(ctx.device, ctx.ui, ctx.connection(), r, [&] {
        return windownumber::set(ctx.device, ctx.ui, ctx.connection(), number, window.section()) ==
               workflow::Outcome::Done;
    }));
}

} // namespace cli
