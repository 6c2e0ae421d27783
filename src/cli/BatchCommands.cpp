// ledctl batch: "更新" of the update panel, the ticked parts given by name
// and run in the batch's own order, the password given as an option.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "protocol/OperatorUi.h"
#include "workflows/BatchUpdate.h"

#include <QFileInfo>
#include <QHash>
#include <QTextStream>

namespace cli {
namespace {

// The part names in running order.
const QStringList &partNames() {
    static const QStringList names{
        QStringLiteral("baud115200"), QStringLiteral("open"),      QStringLiteral("properties"),
        QStringLiteral("list"),       QStringLiteral("asc"),       QStringLiteral("start"),
        QStringLiteral("font"),       QStringLiteral("baud38400"), QStringLiteral("image")};
    return names;
}

// Answers the password box with --password; the repeat questions as --yes
// says, but a part that keeps failing is given up after a few tries so an
// unattended run ends.
class BatchOperator : public OperatorUi {
  public:
    static constexpr int MaxRepeats = 3;
    BatchOperator(OperatorUi &ui, const QString &password) : m_ui(ui), m_password(password) {}
    void message(const QString &text, const QString &caption) override {
        m_ui.message(text, caption);
    }
    bool askYesNo(const QString &text, const QString &caption) override {
        return m_ui.askYesNo(text, caption);
    }
    bool askYesNoDefaultNo(const QString &text, const QString &caption) override {
        if (m_repeats[text]++ >= MaxRepeats) {
            m_ui.message(text, caption);
            return false;
        }
        return m_ui.askYesNoDefaultNo(text, caption);
    }
    bool askOkCancel(const QString &text, const QString &caption) override {
        return m_ui.askOkCancel(text, caption);
    }
    bool input(const QString &, const QString &, QString &value) override {
        value = m_password;
        return !m_password.isNull();
    }
    QString openFile(const QString &caption, const QString &filter) override {
        return m_ui.openFile(caption, filter);
    }
    void statusError(int number, const QString &text) override { m_ui.statusError(number, text); }

  private:
    OperatorUi &m_ui;
    QString m_password;
    QHash<QString, int> m_repeats;
};

// The property lists as a selection of the screen fills them; the panel's
// own start-up values without --screen.
displayproperties::Fields screenProperties(const Context &ctx, CIniFile &ini) {
    displayproperties::Fields f;
    if (ctx.screenNumber == 0) return f;
    const QString section = RegistryFile::sectionName(ctx.screenNumber);
    const auto read = [&](const char *key, int &position) {
        const QString text =
            ini.ReadString(section, QString::fromLatin1(key), RegistryFile::ScreenSize);
        if (!text.trimmed().isEmpty()) position = int(NumericText::value(text));
    };
    read("Pleixing", f.board);
    read("Pcolor", f.colour);
    read("PScan", f.scan);
    read("PQSign", f.zone);
    read("PColRule", f.rowShift);
    read("PCol_F", f.direction);
    read("POE", f.oe);
    read("PDataSign", f.dataPolarity);
    const QString length =
        ini.ReadString(section, QStringLiteral("Pchang"), RegistryFile::ScreenSize);
    if (!length.isEmpty()) f.length = length;
    return f;
}

} // namespace

int batchCommand(Context &ctx, Arguments &args) {
    batchupdate::Inputs in;
    const bool passwordGiven = args.isSet(QStringLiteral("password"));
    const QString password = args.option(QStringLiteral("password"));
    in.newAddress = args.option(QStringLiteral("new-address"));
    const QString height = args.option(QStringLiteral("height"));
    in.is161D = args.isSet(QStringLiteral("161d"));
    in.ascFile = args.option(QStringLiteral("asc"));
    in.fontFile = args.option(QStringLiteral("font"));
    in.startPicture = args.option(QStringLiteral("start-picture"));
    in.effectCode =
        numberOption(args, QStringLiteral("effect"), 0, 255, QStringLiteral("0")).toInt();
    const QString speed = args.option(QStringLiteral("speed"));
    const QString stay = args.option(QStringLiteral("stay"));
    if (args.values.isEmpty())
        throw UsageError{QStringLiteral("batch needs PART...: ") +
                         partNames().join(QLatin1Char(' '))};
    for (const QString &name : std::as_const(args.values)) {
        const int part = int(partNames().indexOf(name));
        if (part < 0)
            throw UsageError{QStringLiteral("unknown batch part %1; parts are %2")
                                 .arg(name, partNames().join(QLatin1Char(' ')))};
        in.ticked[static_cast<std::size_t>(part)] = true;
    }
    args.values.clear();
    const bool moves = in.ticked[batchupdate::Baud115200] || in.ticked[batchupdate::Baud38400];
    if (moves && in.newAddress.isEmpty())
        throw UsageError{QStringLiteral("baud115200 and baud38400 need --new-address")};
    // The fields as the window starts: Text15 "64", Text4 "0", Text2 and Text3 "2".
    if (in.startPicture.isEmpty()) in.startPicture = QStringLiteral("0");
    in.speed = speed.isEmpty() ? QStringLiteral("2") : speed;
    in.stay = stay.isEmpty() ? QStringLiteral("2") : stay;

    CIniFile ini;
    if (ctx.screenNumber > 0 && QFileInfo(RegistryFile::path()).isFile()) {
        ini.SpecifyIni(RegistryFile::path());
        in.ini = &ini;
        in.section = RegistryFile::sectionName(ctx.screenNumber);
    }
    in.properties = screenProperties(ctx, ini);
    in.properties.height = height.isEmpty() ? QStringLiteral("64") : height;

    // Screen on and the list go to the address of the command before: here --address.
    ctx.prepare();
    BatchOperator ui(ctx.ui, passwordGiven ? password : QString());
    const batchupdate::Result r = batchupdate::run(ctx.device, ui, ctx.connection(), in);
    if (r.baudPosition >= 0) {
        ctx.out << "board at address " << r.connection.address << ", " << r.connection.baud
                << " baud\n";
        ctx.out.flush();
    }
    return ctx.report(r.outcome);
}

} // namespace cli
