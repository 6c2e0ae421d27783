// ledctl properties, set-properties, set-address and test: the parameter
// panel's property buttons and the connection test, through their workflows.
// With --screen, the keys the panel would write go to that screen's section.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/CIniFile.h"
#include "config/RegistryFile.h"
#include "config/ScreenFields.h"
#include "protocol/led.h"
#include "workflows/Choices.h"
#include "workflows/DisplayProperties.h"

#include <QFileInfo>
#include <QTextStream>

namespace cli {

using namespace displayproperties;

namespace {

// ledfile.ini when there is one; `ini` stays unset otherwise.
CIniFile *registryFile(CIniFile &ini) {
    if (!QFileInfo(RegistryFile::path()).isFile()) return nullptr;
    ini.SpecifyIni(RegistryFile::path());
    return &ini;
}

Section screenSection(const Context &ctx, CIniFile &ini) {
    if (ctx.screenNumber == 0) return {};
    return {registryFile(ini), RegistryFile::sectionName(ctx.screenNumber)};
}

// A code of the named list, e.g. --board 12.
int codeOption(Arguments &args, const QString &option, const char16_t *list, int fallback) {
    const QString text = args.option(option.mid(2));
    if (text.isEmpty()) return fallback;
    const Choice &c = choice(QString::fromUtf16(list));
    const int code = parseInt(text, option.mid(2), 0, 255);
    if (c.positionOf(code) >= 0) return code;
    QStringList codes;
    for (int i = 0; i < c.items.size(); ++i)
        codes << QString::number(c.codeAt(i));
    throw UsageError{QStringLiteral("%1 must be one of %2, not %3")
                         .arg(option, codes.join(QStringLiteral(", ")), text)};
}

} // namespace

int propertiesCommand(Context &ctx, Arguments &args) {
    const bool storeKeys = args.isSet(QStringLiteral("store"));
    expectNoMore(args);
    if (storeKeys && ctx.screenNumber == 0)
        throw UsageError{QStringLiteral("--store needs --screen")};
    CIniFile ini;
    const Read read = readProperties(ctx.device, ctx.ui, ctx.connection(), Fields{},
                                     storeKeys ? screenSection(ctx, ini) : Section{});
    if (!read.properties.isEmpty()) ctx.out << read.properties << '\n';
    ctx.out.flush();
    return exitStatus(read.outcome);
}

int setPropertiesCommand(Context &ctx, Arguments &args) {
    // An option not given keeps the device object's initial value.
    Codes c;
    c.board = codeOption(args, QStringLiteral("--board"), u"主控类型", c.board);
    c.colour = codeOption(args, QStringLiteral("--colour"), u"色彩", c.colour);
    c.scan = codeOption(args, QStringLiteral("--scan"), u"扫描方式", c.scan);
    c.zone = codeOption(args, QStringLiteral("--zone"), u"每区行数", c.zone);
    c.rowShift = codeOption(args, QStringLiteral("--row-shift"), u"行加减", c.rowShift);
    c.direction = codeOption(args, QStringLiteral("--direction"), u"区内走向", c.direction);
    c.oe = codeOption(args, QStringLiteral("--oe"), u"极性", c.oe);
    c.dataPolarity =
        codeOption(args, QStringLiteral("--data-polarity"), u"数据极性", c.dataPolarity);
    c.clock = codeOption(args, QStringLiteral("--clock"), u"时钟显示", c.clock);
    c.length = numberOption(args, QStringLiteral("width"), -32768, 32767, c.length);
    c.height = numberOption(args, QStringLiteral("height"), -32768, 32767, c.height);
    expectNoMore(args);
    CIniFile ini;
    return ctx.report(
        writeProperties(ctx.device, ctx.ui, ctx.connection(), c, screenSection(ctx, ini)));
}

int setAddressCommand(Context &ctx, Arguments &args) {
    const QString rate = args.option(QStringLiteral("new-baud"));
    // The address is read as the panel reads Text11, with its error numbers.
    const QString address = takeArgument(args, QStringLiteral("the NEW address"));
    expectNoMore(args);
    const int position =
        static_cast<int>(BaudRate::rates().indexOf(rate.isEmpty() ? ctx.baud : rate));
    if (position < 0)
        throw UsageError{QStringLiteral("--new-baud must be 9600, 19200, 38400 or 115200")};
    CIniFile ini;
    const AddressResult result =
        changeAddress(ctx.device, ctx.ui, ctx.connection(), {address, position}, registryFile(ini),
                      ctx.screenNumber);
    return ctx.report(result.outcome);
}

int testCommand(Context &ctx, Arguments &args) {
    expectNoMore(args);
    CIniFile ini;
    TestResult test;
    const workflow::Outcome outcome = workflow::trapped(ctx.ui, [&] {
        test =
            connectionTest(ctx.device, ctx.ui, ctx.connection(), Fields{}, screenSection(ctx, ini));
        return workflow::acknowledged(test.answered && test.stored);
    });
    if (test.answered) {
        ctx.out << test.properties << '\n';
    } else if (outcome != workflow::Outcome::Refused) {
        QStringList ports;
        for (const PortScanEntry &e : test.ports)
            ports << e.text;
        ctx.out << "ports: " << ports.join(QStringLiteral(", ")) << '\n';
    }
    ctx.out.flush();
    return exitStatus(outcome);
}

} // namespace cli
