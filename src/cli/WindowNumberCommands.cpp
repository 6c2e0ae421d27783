// ledctl window-number: the window number as "设置窗口号" sends it, and with
// --screen the five keys it stores in the screen's section.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/ScreenWindow.h"
#include "workflows/WindowNumber.h"

#include <QTextStream>

namespace cli {
int windowNumberCommand(Context &ctx, Arguments &args) {
    // Without --colour, the colour lists as the screen's colour type fills
    // them (yellow on black on a two-colour screen).
    const int colour =
        numberOption(args, QStringLiteral("colour"), 0, 255, QStringLiteral("-1")).toInt();
    if (args.values.isEmpty()) throw UsageError{QStringLiteral("window-number needs TEXT")};
    const QString field = args.values.takeFirst();
    expectNoMore(args);
    ScreenWindow window(ctx);
    return ctx.report(windownumber::set(ctx.device, ctx.ui, ctx.connection(),
                                        window.windowNumber(field, colour), window.section()),
                      true);
}

} // namespace cli
