// ledctl pool and send-all: the text pool of the screen chosen with
// --screen, kept in its text files, TSUM and its second list file as the
// text panel keeps them, and "全部发送".
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/CIniFile.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "config/RegistryFile.h"
#include "config/StoreDirectory.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "workflows/Choices.h"
#include "workflows/TextPool.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <optional>

namespace cli {
namespace {

// The screen's lists as a selection loads them. A pool change holds the
// program-directory lock from this read to its last write, so that ledctl
// runs at the same time each build on the other's result.
struct ScreenPool {
    std::optional<ProgramDirLock> lock;
    CIniFile ini;
    textpool::Store store;
    ScreenLists lists;
    ScreenPool(const Context &ctx, bool change) {
        if (ctx.screenNumber == 0)
            throw UsageError{QStringLiteral("pool and send-all need --screen")};
        if (change) lock.emplace();
        ini.SpecifyIni(RegistryFile::path());
        store.directory = StoreDirectory::ensure(ctx.screenName);
        store.section = {&ini, RegistryFile::sectionName(ctx.screenNumber)};
        const int count = int(NumericText::value(
            ini.ReadString(store.section.name, QStringLiteral("TSUM"), RegistryFile::ScreenSize)));
        QString textsLeftOut;
        lists.pool.setTextLines(ScreenLists::textPool(store.directory, count, &textsLeftOut));
        lists.load(store.directory);
        const QString leftOut = (textsLeftOut + QLatin1Char('\n') + lists.notLoaded).trimmed();
        if (!leftOut.isEmpty()) ctx.ui.message(leftOut);
        // What is added from here on and cannot be stored as typed is told.
        QObject::connect(&lists, &ScreenLists::unstorable,
                         [&ui = ctx.ui](const QString &entry, const QString &characters) {
                             ui.message(ScreenLists::unstorableWarning(entry, characters));
                         });
    }
    void save() { lists.save(store.directory); }
    int count() const { return lists.pool.textCount(); }
};

// --effect NAME (an item of the panel's effect list), --speed, --stay: the
// attribute entry as the panel's three fields make it; `current` gives the
// values of options left out.
TextPoolModel::Attributes attributeOptions(Arguments &args,
                                           const TextPoolModel::Attributes &current) {
    QString effect = args.option(QStringLiteral("effect"));
    const QStringList effects = choice(QStringLiteral("Combo8")).items;
    if (effect.isEmpty())
        effect = effects.contains(current.effect) ? current.effect : effects.at(0);
    if (!effects.contains(effect))
        throw UsageError{QStringLiteral("--effect must be one of ") +
                         effects.join(QStringLiteral(", "))};
    const QString speed = numberOption(args, QStringLiteral("speed"), 0, 255,
                                       NumericText::format(NumericText::value(current.speed)));
    const QString stay = numberOption(args, QStringLiteral("stay"), 0, 255,
                                      NumericText::format(NumericText::value(current.stay)));
    return textpool::attributeEntry(effect, speed, stay);
}

TextPoolModel::Attributes defaultAttributes() {
    // The panel's Text2 and Text3 at start.
    return textpool::attributeEntry(QString(), QStringLiteral("2"), QStringLiteral("2"));
}

QString fileOption(const Arguments &args) {
    const QString path = args.option(QStringLiteral("file"));
    if (path.isEmpty()) return QString();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw VbError(vberr::FileNotFound, QStringLiteral("文件不存在：") + path);
    return textpool::fileText(file.readAll());
}

int addTexts(Context &ctx, Arguments &args) {
    const QString colour = args.option(QStringLiteral("colour"));
    const QStringList names{textpool::colourName(0), textpool::colourName(1),
                            textpool::colourName(2)};
    if (!colour.isEmpty() && !names.contains(colour))
        throw UsageError{QStringLiteral("--colour must be 红色, 绿色 or 黄色")};
    const TextPoolModel::Attributes attribute = attributeOptions(args, defaultAttributes());
    const bool is161D = args.isSet(QStringLiteral("161d"));
    QStringList texts = args.values;
    args.values.clear();
    if (const QString file = fileOption(args); !file.isNull()) texts.append(file);
    if (texts.isEmpty()) throw UsageError{QStringLiteral("pool add needs TEXT... or --file")};
    ScreenPool s(ctx, true);
    // The panel's own setting: cut to the screen length, else 66 cells (132 with 161D).
    const bool cut = s.lists.attributeFlags.value(4);
    const int width = textpool::lineWidth(
        cut, s.ini.ReadString(s.store.section.name, QStringLiteral("Pchang"), 100), is161D);
    QStringList lines;
    for (const QString &text : std::as_const(texts))
        lines += textpool::cutLines(text, qMax(2, width));
    textpool::add(s.lists, s.store, lines, colour.isEmpty() ? names.at(2) : colour, attribute);
    s.save(); // the other list files too, as a selection in the window leaves them
    ctx.out << s.count() << " texts\n";
    ctx.out.flush();
    return ExitOk;
}

int textNumber(Arguments &args, const QString &what) {
    if (args.values.isEmpty()) throw UsageError{what + QStringLiteral(" needs K")};
    return parseInt(args.values.takeFirst(), QStringLiteral("text number"), 1, 251);
}

void expectText(const ScreenPool &s, int k) {
    if (k > s.count()) throw UsageError{QStringLiteral("the pool has no text %1").arg(k)};
}

} // namespace

int poolCommand(Context &ctx, Arguments &args) {
    if (args.values.isEmpty())
        throw UsageError{QStringLiteral("pool needs list, add, set, delete or clear")};
    const QString what = args.values.takeFirst();
    if (what == QLatin1String("list")) {
        args.allowOnly({});
        expectNoMore(args);
        ScreenPool s(ctx, false);
        const QStringList pool = s.lists.pool.textLines();
        for (int p = 0; p < pool.size(); ++p)
            ctx.out << (p + 1) << '\t' << pool.at(p) << '\n';
        ctx.out.flush();
        return ExitOk;
    }
    if (what == QLatin1String("add")) return addTexts(ctx, args);
    if (what == QLatin1String("set")) {
        args.allowOnly({QStringLiteral("effect"), QStringLiteral("speed"), QStringLiteral("stay")});
        const int k = textNumber(args, QStringLiteral("pool set"));
        ScreenPool s(ctx, true);
        expectText(s, k);
        const TextPoolModel::Attributes attribute =
            attributeOptions(args, s.lists.pool.attributes(k - 1));
        expectNoMore(args);
        textpool::setAttribute(s.lists, k - 1, attribute);
        s.save();
        return ExitOk;
    }
    if (what == QLatin1String("delete")) {
        args.allowOnly({});
        const int k = textNumber(args, QStringLiteral("pool delete"));
        expectNoMore(args);
        ScreenPool s(ctx, true);
        expectText(s, k);
        textpool::remove(s.lists, s.store, k - 1);
        s.save();
        return ExitOk;
    }
    if (what == QLatin1String("clear")) {
        args.allowOnly({});
        expectNoMore(args);
        ScreenPool s(ctx, true);
        textpool::clear(s.lists, s.store);
        s.save();
        return ExitOk;
    }
    throw UsageError{QStringLiteral("pool needs list, add, set, delete or clear, not ") + what};
}

int sendAllCommand(Context &ctx, Arguments &args) {
    // The stay time of the clock entries: the list panel's field, "2" as the window starts.
    const QString clockStay =
        numberOption(args, QStringLiteral("clock-stay"), 0, 255, QStringLiteral("2"));
    expectNoMore(args);
    // No lock while the texts go out: only the rebuilt list is written, under it.
    ScreenPool s(ctx, false);
    const QList<bool> flags = s.lists.attributeFlags;
    const textpool::SendAll sent = textpool::sendAll(ctx.device, ctx.ui, ctx.connection(), s.lists,
                                                     flags.value(5), flags.mid(0, 4), clockStay);
    if (flags.value(5)) {
        // Only the message list changed: the pool's files may have moved on meanwhile.
        const ProgramDirLock lock;
        QList<bool> clocks;
        for (int i = 0; i < MessageList::ClockOptions; ++i)
            clocks.append(s.lists.messages.ticked(i));
        ListFiles::write(s.store.directory + ListFiles::messageListName(),
                         {s.lists.messages.lines(), clocks});
    }
    return ctx.report(sent.outcome);
}

} // namespace cli
