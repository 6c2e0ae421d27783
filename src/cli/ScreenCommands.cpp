// ledctl screens and the global option --screen: the screens registered in
// ledfile.ini, so that a queue system can address a screen by its name
// instead of repeating its port, baud rate and address.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "config/CIniFile.h"
#include "config/RegistryFile.h"
#include "config/StoreRepair.h"
#include "protocol/OperatorUi.h"
#include "protocol/ProgramDir.h"

#include <QFileInfo>
#include <QTextStream>

namespace cli {
namespace {

using RegistryFile::RegisteredScreen;

// Listing or addressing screens never creates the file; it changes it only to
// finish a change a kill interrupted.
QList<RegisteredScreen> registeredScreens(QString *notLoaded = nullptr) {
    const QString path = RegistryFile::path();
    if (!QFileInfo(path).isFile())
        throw UsageError{QStringLiteral("no ledfile.ini in ") + ProgramDir::path()};
    // What a kill while writing left is put right before anything is read.
    StoreRepair::run();
    CIniFile ini;
    ini.SpecifyIni(path);
    if (notLoaded) *notLoaded = RegistryFile::screenCount(ini).notLoaded;
    return RegistryFile::readScreens(ini);
}

} // namespace

int screensCommand(Context &ctx, Arguments &args) {
    expectNoMore(args);
    QString notLoaded;
    const QList<RegisteredScreen> screens = registeredScreens(&notLoaded);
    if (!notLoaded.isEmpty()) ctx.ui.message(notLoaded);
    for (const RegisteredScreen &s : screens)
        ctx.out << s.number << '\t' << s.name << '\t' << s.port << '\t' << s.baud << '\t'
                << s.address << '\n';
    ctx.out.flush();
    return ExitOk;
}

// A screen's name wins over its number, so a screen named "3" is found by
// its name even when another screen is number 3.
void resolveScreen(Context &ctx, const QString &which) {
    const QList<RegisteredScreen> screens = registeredScreens();
    const QString wanted = which.trimmed();
    qsizetype at = -1;
    for (qsizetype i = 0; i < screens.size() && at < 0; ++i)
        if (screens.at(i).name.trimmed() == wanted) at = i;
    if (at < 0) {
        bool ok = false;
        const int number = wanted.toInt(&ok);
        if (ok && number >= 1 && number <= screens.size()) at = number - 1;
    }
    if (at < 0)
        throw UsageError{QStringLiteral("no screen named or numbered %1 in %2")
                             .arg(which, RegistryFile::path())};
    const RegisteredScreen &s = screens.at(at);
    if (s.port < 1 || s.port > 128)
        throw UsageError{QStringLiteral("screen %1 (%2) has no usable port: %3")
                             .arg(s.number)
                             .arg(s.name)
                             .arg(s.port)};
    if (s.address < 0 || s.address > 32767)
        throw UsageError{QStringLiteral("screen %1 (%2) has no usable address: %3")
                             .arg(s.number)
                             .arg(s.name)
                             .arg(s.address)};
    ctx.port = s.port;
    ctx.baud = s.baud;
    ctx.address = s.address;
    ctx.screenNumber = s.number;
    ctx.screenName = s.name;
}

} // namespace cli
