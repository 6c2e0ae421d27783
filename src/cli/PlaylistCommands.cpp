// ledctl playlist: a message list given as the list panel's entry strings,
// or the one stored for a screen, uploaded as "更新列表" does.
#include "cli/Cli.h"
#include "config/ListFiles.h"
#include "config/StoreDirectory.h"
#include "workflows/MessageList.h"

#include <QTextStream>

namespace cli {
namespace {

QStringList storedEntries(const Context &ctx) {
    if (ctx.screenNumber == 0)
        throw UsageError{QStringLiteral("--from-screen and --show need --screen")};
    const QString path = StoreDirectory::pathFor(ctx.screenName) + ListFiles::messageListName();
    const ListFiles::Loaded loaded = ListFiles::read(path, MessageList::ClockOptions);
    if (!loaded.exists)
        throw UsageError{QStringLiteral("screen %1 (%2) has no stored list: %3")
                             .arg(ctx.screenNumber)
                             .arg(ctx.screenName, path)};
    return loaded.list.entries;
}

int playlistCommand(Context &ctx, QStringList &args) {
    const bool fromScreen = takeFlag(args, QStringLiteral("--from-screen"));
    const bool show = takeFlag(args, QStringLiteral("--show"));
    if (show) {
        expectNoMore(args);
        for (const QString &e : storedEntries(ctx))
            ctx.out << e << '\n';
        ctx.out.flush();
        return ExitOk;
    }
    MessageList list;
    if (fromScreen) {
        expectNoMore(args);
        list.setStringList(storedEntries(ctx));
    } else {
        if (args.isEmpty()) throw UsageError{QStringLiteral("playlist needs ENTRY...")};
        for (const QString &entry : std::as_const(args))
            if (const QString problem = MessageList::entryProblem(entry); !problem.isEmpty())
                throw UsageError{problem};
        list.setStringList(args);
        args.clear();
    }
    return ctx.report(messagelist::upload(ctx.device, ctx.ui, ctx.connection(), list));
}

const Registration registration{
    {QStringLiteral("playlist"),
     QStringLiteral("playlist ENTRY... | --from-screen | --show  (entries as the list panel "
                    "shows them, e.g. 第1幅图，动作方式：立即显示，动作速度：2，停留时间：2)"),
     playlistCommand},
};

} // namespace
} // namespace cli
