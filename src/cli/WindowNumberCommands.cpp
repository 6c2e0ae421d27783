// ledctl window-number: the window number as "设置窗口号" sends it.
#include "cli/Cli.h"
#include "workflows/WindowNumber.h"

#include <QTextStream>

namespace cli {
namespace {

int windowNumberCommand(Context &ctx, QStringList &args) {
    windownumber::Request request;
    // Yellow on black, as a two-colour screen's lists start.
    request.colour =
        numberOption(args, QStringLiteral("--colour"), 0, 255, QStringLiteral("3")).toInt();
    if (args.isEmpty()) throw UsageError{QStringLiteral("window-number needs TEXT")};
    request.field = args.takeFirst();
    expectNoMore(args);
    return ctx.report(windownumber::set(ctx.device, ctx.ui, ctx.connection(), request, {}), true);
}

const Registration registration{
    {QStringLiteral("window-number"),
     QStringLiteral("window-number TEXT [--colour BYTE]  (TEXT as the field takes it: \\12, "
                    "请到\\3号窗口, 无, 自定义)"),
     windowNumberCommand},
};

} // namespace
} // namespace cli
