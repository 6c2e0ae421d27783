// ledctl image: a picture file encoded as the image panel encodes it and
// sent as the power-on picture, or its dots written for a look first.
#include "cli/Cli.h"
#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "protocol/OperatorUi.h"
#include "protocol/led.h"
#include "workflows/ImageLibrary.h"

#include <QImageReader>
#include <QTextStream>

namespace cli {
namespace {

int imageCommand(Context &ctx, QStringList &args) {
    const int picture =
        numberOption(args, QStringLiteral("--picture"), 1, 239, QStringLiteral("1")).toInt();
    const QString type = takeOption(args, QStringLiteral("--colour-type"));
    const QStringList types{QStringLiteral("single"), QStringLiteral("two"),
                            QStringLiteral("full")};
    if (!type.isEmpty() && !types.contains(type))
        throw UsageError{QStringLiteral("--colour-type must be single, two or full")};
    const QString widthText = takeOption(args, QStringLiteral("--width"));
    const QString heightText = takeOption(args, QStringLiteral("--height"));
    const QString previewFile = takeOption(args, QStringLiteral("--preview"));
    if (args.isEmpty()) throw UsageError{QStringLiteral("image needs FILE")};
    const QString file = args.takeFirst();
    expectNoMore(args);
    const QImage original = QImageReader(file).read();
    if (original.isNull()) throw UsageError{QStringLiteral("cannot read a picture from ") + file};
    // The size: the options, else the screen's registry values, else the file's.
    int width = original.width(), height = original.height();
    if (ctx.screenNumber > 0) {
        CIniFile ini;
        ini.SpecifyIni(RegistryFile::path());
        const QString section = RegistryFile::sectionName(ctx.screenNumber);
        const int w =
            int(NumericText::value(ini.ReadString(section, QStringLiteral("Pchang"), 100)));
        const int h = int(NumericText::value(ini.ReadString(section, QStringLiteral("Pgao"), 100)));
        if (w > 0) width = w;
        if (h > 0) height = h;
    }
    if (!widthText.isEmpty()) width = parseInt(widthText, QStringLiteral("width"), 8, 512);
    if (!heightText.isEmpty()) height = parseInt(heightText, QStringLiteral("height"), 1, 2048);
    imagelibrary::Request r;
    r.position = picture - 1;
    r.surface = imagelibrary::surface(ctx.ui, file, width, height, false);
    r.colourType = type.isEmpty() ? 1 : int(types.indexOf(type));
    r.height = QString::number(height);
    if (!previewFile.isEmpty()) {
        const int planes = r.colourType + 1;
        const qint16 size = r.colourType == 0   ? ctx.device.GetDatNDS2_dan(r.surface)
                            : r.colourType == 1 ? ctx.device.GetDatNDS2(r.surface)
                                                : ctx.device.GetDatNDS3(r.surface);
        const QImage dots = imagelibrary::dots(ctx.device, planes, (height - 1) / 16 + 1, size);
        if (!dots.save(previewFile, "PNG"))
            throw UsageError{QStringLiteral("cannot write ") + previewFile};
        ctx.out << "preview " << previewFile << '\n';
        ctx.out.flush();
        return ExitOk;
    }
    return ctx.report(imagelibrary::send(ctx.device, ctx.ui, ctx.connection(), r, {}));
}

const Registration registration{
    {QStringLiteral("image"),
     QStringLiteral("image FILE [--picture N] [--colour-type single|two|full] [--width DOTS] "
                    "[--height DOTS] [--preview OUT.png]"),
     imageCommand},
};

} // namespace
} // namespace cli
