// ledctl playlist: a message list given as the list panel's entry strings,
// or the one stored for a screen, uploaded as "更新列表" does; and the list
// panel's editing buttons on the screen's stored list.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "config/StoreDirectory.h"
#include "workflows/Choices.h"
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

// The entry fields the list panel starts with: 列表图号, 动作方式, 动作速度, 停留时间.
struct EntryFields {
    QString picture = QStringLiteral("1");
    QString effect = QStringLiteral("立即显示");
    QString speed = QStringLiteral("2");
    QString stay = QStringLiteral("2");
};

// Options given replace the fields, as typed; the effect must be one of the
// panel's list.
EntryFields fieldsFrom(Arguments &args, EntryFields f) {
    const QString picture = args.option(QStringLiteral("picture"));
    const QString effect = args.option(QStringLiteral("effect"));
    const QString speed = args.option(QStringLiteral("speed"));
    const QString stay = args.option(QStringLiteral("stay"));
    if (!picture.isEmpty()) f.picture = picture;
    if (!speed.isEmpty()) f.speed = speed;
    if (!stay.isEmpty()) f.stay = stay;
    if (!effect.isEmpty()) {
        const QStringList names = choice(QStringLiteral("Combo3")).items;
        if (!names.contains(effect))
            throw UsageError{QStringLiteral("--effect must be one of ") +
                             names.join(QStringLiteral(", "))};
        f.effect = effect;
    }
    return f;
}

MessageList::Entry pictureEntry(const EntryFields &f) {
    return MessageList::pictureEntry(f.picture, f.effect, f.speed, f.stay);
}

// An entry the panel could not have made (a line break, a field that is no
// number) never reaches the file.
void check(const QString &entry) {
    if (QString problem = MessageList::entryProblem(entry); !problem.isEmpty())
        // The reason stays on one line.
        throw UsageError{problem.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
                             .replace(QLatin1Char('\n'), QStringLiteral("\\n"))};
}

int positionFrom(Arguments &args, const MessageList &list) {
    const QString text = takeArgument(args, QStringLiteral("entry number"));
    if (list.count() == 0) throw UsageError{QStringLiteral("the list is empty")};
    return parseInt(text, QStringLiteral("entry number"), 1, list.count()) - 1;
}

int clockOption(const QString &name) {
    static const QStringList names{QStringLiteral("date128"), QStringLiteral("clock128"),
                                   QStringLiteral("date64"), QStringLiteral("clock64")};
    const int option = int(names.indexOf(name));
    if (option < 0)
        throw UsageError{QStringLiteral("clock option must be date128, clock128, date64 or "
                                        "clock64, not ") +
                         name};
    return option;
}

// Edits the screen's stored list as the list panel's buttons edit the list
// in memory, then writes List1.txt with its clock options.
int editCommand(Context &ctx, const QString &what, Arguments &args) {
    if (ctx.screenNumber == 0)
        throw UsageError{QStringLiteral("playlist ") + what + QStringLiteral(" needs --screen")};
    // From the read to the write, so that two edits at once both count.
    const ProgramDirLock lock;
    const QString directory = StoreDirectory::ensure(ctx.screenName);
    const QString path = directory + ListFiles::messageListName();
    const ListFiles::Loaded loaded = ListFiles::read(path, MessageList::ClockOptions);
    MessageList list;
    list.setLines(loaded.list.entries);
    list.setTicked(loaded.list.flags);
    static const QStringList entryOptions{QStringLiteral("picture"), QStringLiteral("effect"),
                                          QStringLiteral("speed"), QStringLiteral("stay")};
    if (what == QLatin1String("add") || what == QLatin1String("modify"))
        args.allowOnly(entryOptions);
    else if (what == QLatin1String("clock"))
        args.allowOnly({QStringLiteral("stay")});
    else
        args.allowOnly({});
    if (what == QLatin1String("add")) {
        const MessageList::Entry entry = pictureEntry(fieldsFrom(args, {}));
        expectNoMore(args);
        check(ListFiles::entryLine(entry));
        list.append(entry);
    } else if (what == QLatin1String("delete")) {
        const int p = positionFrom(args, list);
        expectNoMore(args);
        list.removeEntry(p);
    } else if (what == QLatin1String("modify")) {
        const int p = positionFrom(args, list);
        // Selecting the entry loads its values into the fields first.
        const MessageList::Entry old = list.entry(p);
        EntryFields current;
        current.stay = NumericText::format(NumericText::value(old.stay));
        if (!old.clock) {
            current.picture = NumericText::format(NumericText::value(old.picture));
            current.effect =
                choice(QStringLiteral("Combo3")).items.at(MessageList::effectPosition(old.effect));
            current.speed = NumericText::format(NumericText::value(old.speed));
        }
        const EntryFields f = fieldsFrom(args, current);
        expectNoMore(args);
        list.modifyEntry(p, pictureEntry(f), f.stay);
        check(list.line(p));
    } else if (what == QLatin1String("clear")) {
        expectNoMore(args);
        list.clearAll();
    } else {
        const int option = clockOption(takeArgument(args, QStringLiteral("clock option")));
        const QString state = takeArgument(args, QStringLiteral("on or off"));
        const QString stay = fieldsFrom(args, {}).stay;
        expectNoMore(args);
        if (state == QLatin1String("on")) {
            const bool wasTicked = list.ticked(option);
            list.tick(option, stay);
            if (!wasTicked) check(list.line(list.clockPosition(option)));
        } else if (state == QLatin1String("off")) {
            list.untick(option);
        } else {
            throw UsageError{QStringLiteral("clock option must be turned on or off, not ") + state};
        }
    }
    QList<bool> clocks;
    for (int i = 0; i < MessageList::ClockOptions; ++i)
        clocks.append(list.ticked(i));
    ListFiles::write(path, {list.lines(), clocks});
    return ExitOk;
}

} // namespace

int playlistCommand(Context &ctx, Arguments &args) {
    static const QStringList edits{QStringLiteral("add"), QStringLiteral("delete"),
                                   QStringLiteral("modify"), QStringLiteral("clear"),
                                   QStringLiteral("clock")};
    if (!args.values.isEmpty() && edits.contains(args.values.first())) {
        const QString what = args.values.takeFirst();
        return editCommand(ctx, what, args);
    }
    args.allowOnly({QStringLiteral("from-screen"), QStringLiteral("show")});
    const bool fromScreen = args.isSet(QStringLiteral("from-screen"));
    const bool show = args.isSet(QStringLiteral("show"));
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
        list.setLines(storedEntries(ctx));
    } else {
        if (args.values.isEmpty()) throw UsageError{QStringLiteral("playlist needs ENTRY...")};
        for (const QString &entry : std::as_const(args.values))
            if (const QString problem = MessageList::entryProblem(entry); !problem.isEmpty())
                throw UsageError{problem};
        list.setLines(args.values);
        args.values.clear();
    }
    return ctx.report(messagelist::upload(ctx.device, ctx.ui, ctx.connection(), list));
}

} // namespace cli
