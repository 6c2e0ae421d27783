// ledctl pool and send-all: the text pool of the screen chosen with
// --screen, kept in its text files, TSUM and its second list file as the
// text panel keeps them, and "全部发送".
#include "cli/Cli.h"
#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "config/StoreDirectory.h"
#include "workflows/TextPool.h"

#include <QFileInfo>
#include <QTextStream>

namespace cli {
namespace {

// The screen's lists as a selection loads them.
struct ScreenPool {
    CIniFile ini;
    textpool::Store store;
    ScreenLists lists;
    explicit ScreenPool(const Context &ctx) {
        if (ctx.screenNumber == 0)
            throw UsageError{QStringLiteral("pool and send-all need --screen")};
        ini.SpecifyIni(RegistryFile::path());
        store.directory = StoreDirectory::ensure(ctx.screenName);
        store.section = {&ini, RegistryFile::sectionName(ctx.screenNumber)};
        const int count = int(NumericText::value(
            ini.ReadString(store.section.name, QStringLiteral("TSUM"), RegistryFile::ScreenSize)));
        lists.load(store.directory);
        lists.pool.setStringList(ScreenLists::textPool(store.directory, count));
    }
    void save() { lists.save(store.directory); }
};

int poolCommand(Context &ctx, QStringList &args) {
    if (args.isEmpty()) throw UsageError{QStringLiteral("pool needs list, add, delete or clear")};
    const QString what = args.takeFirst();
    if (what == QLatin1String("list")) {
        expectNoMore(args);
        ScreenPool s(ctx);
        const QStringList pool = s.lists.pool.stringList();
        for (int p = 0; p < pool.size(); ++p)
            ctx.out << (p + 1) << '\t' << pool.at(p) << '\n';
        ctx.out.flush();
        return ExitOk;
    }
    if (what == QLatin1String("add")) {
        const QString colour = takeOption(args, QStringLiteral("--colour"));
        const QStringList names{QStringLiteral("红色"), QStringLiteral("绿色"),
                                QStringLiteral("黄色")};
        if (!colour.isEmpty() && !names.contains(colour))
            throw UsageError{QStringLiteral("--colour must be 红色, 绿色 or 黄色")};
        if (args.isEmpty()) throw UsageError{QStringLiteral("pool add needs TEXT...")};
        ScreenPool s(ctx);
        // The panel's own setting: cut to the screen length, else 66 cells.
        const bool cut = s.lists.attributeFlags.value(4);
        const int width = textpool::lineWidth(
            cut, s.ini.ReadString(s.store.section.name, QStringLiteral("Pchang"), 100), false);
        QStringList lines;
        for (const QString &text : std::as_const(args))
            lines += textpool::cutLines(text, qMax(2, width));
        args.clear();
        textpool::add(s.lists, s.store, lines, colour.isEmpty() ? names.at(2) : colour,
                      textpool::attributeEntry(QStringLiteral("立即显示"), QStringLiteral("2"),
                                               QStringLiteral("2")));
        s.save();
        ctx.out << s.lists.pool.stringList().size() << " texts\n";
        ctx.out.flush();
        return ExitOk;
    }
    if (what == QLatin1String("delete")) {
        if (args.isEmpty()) throw UsageError{QStringLiteral("pool delete needs K")};
        const int k = parseInt(args.takeFirst(), QStringLiteral("text number"), 1, 251);
        expectNoMore(args);
        ScreenPool s(ctx);
        if (k > s.lists.pool.stringList().size())
            throw UsageError{QStringLiteral("the pool has no text %1").arg(k)};
        textpool::remove(s.lists, s.store, k - 1);
        s.save();
        return ExitOk;
    }
    if (what == QLatin1String("clear")) {
        expectNoMore(args);
        ScreenPool s(ctx);
        textpool::clear(s.lists, s.store);
        s.save();
        return ExitOk;
    }
    throw UsageError{QStringLiteral("pool needs list, add, delete or clear, not ") + what};
}

int sendAllCommand(Context &ctx, QStringList &args) {
    expectNoMore(args);
    ScreenPool s(ctx);
    const QList<bool> flags = s.lists.attributeFlags;
    const textpool::SendAll sent = textpool::sendAll(ctx.device, ctx.ui, ctx.connection(), s.lists,
                                                     flags.value(5), flags.mid(0, 4));
    if (flags.value(5)) s.save();
    return ctx.report(sent.outcome);
}

const Registration registration{
    {QStringLiteral("pool"),
     QStringLiteral("pool list | add TEXT... [--colour 红色|绿色|黄色] | delete K | clear"),
     poolCommand},
    {QStringLiteral("send-all"), QStringLiteral("send-all"), sendAllCommand},
};

} // namespace
} // namespace cli
