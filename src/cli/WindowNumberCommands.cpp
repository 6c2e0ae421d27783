// ledctl window-number: the window number as "设置窗口号" sends it, and with
// --screen the five keys it stores in the screen's section.
#include "cli/Cli.h"
#include "cli/ScreenWindow.h"
#include "workflows/WindowNumber.h"

#include <QTextStream>

namespace cli {
namespace {

int windowNumberCommand(Context &ctx, QStringList &args) {
    // Without --colour, the colour lists as the screen's colour type fills
    // them (yellow on black on a two-colour screen).
    const int colour =
        numberOption(args, QStringLiteral("--colour"), 0, 255, QStringLiteral("-1")).toInt();
    if (args.isEmpty()) throw UsageError{QStringLiteral("window-number needs TEXT")};
    const QString field = args.takeFirst();
    expectNoMore(args);
    ScreenWindow window(ctx);
    return ctx.report(windownumber::set(ctx.device, ctx.ui, ctx.connection(),
                                        window.windowNumber(field, colour), window.section()),
                      true);
}

const Registration registration{
    {QStringLiteral("window-number"),
     QStringLiteral("window-number TEXT [--colour BYTE]  (TEXT as the field takes it: \\12, "
                    "请到\\3号窗口, 无, 自定义; with --screen the five window keys are stored)"),
     windowNumberCommand},
};

} // namespace
} // namespace cli
