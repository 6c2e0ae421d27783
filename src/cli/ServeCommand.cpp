// ledctl serve: the call service in the foreground, until SIGTERM or Ctrl+C.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/StopSignals.h"
#include "protocol/ProgramDir.h"
#include "service/Announcer.h"
#include "service/CallService.h"
#include "service/HttpFront.h"

#include <QEventLoop>
#include <QTextStream>

namespace cli {

int serveCommand(Context &ctx, Arguments &args) {
    if (!args.values.isEmpty())
        throw UsageError{QStringLiteral("unexpected argument: ") + args.values.first()};
    service::ServiceOptions options;
    options.dir = ProgramDir::path();
    const QString minDisplay = args.option(QStringLiteral("min-display"));
    if (!minDisplay.isEmpty())
        options.minDisplayMs = parseInt(minDisplay, QStringLiteral("min-display"), 0, 3600000);
    const QString maxAge = args.option(QStringLiteral("max-age"));
    if (!maxAge.isEmpty())
        options.maxAgeS = parseInt(maxAge, QStringLiteral("max-age"), 0, 31536000);

    service::FrontOptions front;
    const QString listen = args.option(QStringLiteral("listen"));
    if (!listen.isEmpty()) front.listen = listen;
    front.tokenFile = args.option(QStringLiteral("token-file"));

    service::AnnouncerOptions voice;
    voice.enabled = args.isSet(QStringLiteral("voice"));
    const QString repeat = args.option(QStringLiteral("voice-repeat"));
    if (!repeat.isEmpty()) voice.repeat = parseInt(repeat, QStringLiteral("voice-repeat"), 1, 10);
    voice.wavDir = args.option(QStringLiteral("voice-wav"));
    if ((!repeat.isEmpty() || !voice.wavDir.isEmpty()) && !voice.enabled)
        throw UsageError{QStringLiteral("--voice-repeat and --voice-wav go with --voice")};

    QTextStream &err = *ctx.err;
    service::CallService calls(options);
    service::HttpFront http(calls, front);
    QString error;
    // The listening address is checked first: a refused one changes nothing.
    if (!http.listen(&error)) {
        err << "ledctl: " << error << "\n";
        err.flush();
        return ExitUsage;
    }
    if (!calls.start(&error)) {
        err << "ledctl: " << error << "\n";
        err.flush();
        return ExitFailed;
    }
    service::Announcer announcer(voice);
    if (voice.enabled)
        QObject::connect(&calls, &service::CallDesk::callChanged, &announcer,
                         [&announcer](const service::Call &call) {
                             if (call.state == service::CallState::Shown) announcer.announce(call);
                         });
    ctx.out << "listening on " << http.url() << "\n";
    ctx.out.flush();

    QEventLoop loop;
    StopSignals stop([&loop] { loop.quit(); });
    loop.exec();
    calls.stop();
    return ExitOk;
}

} // namespace cli
