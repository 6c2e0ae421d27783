// ledctl image: a picture file encoded as the image panel encodes it and
// sent as the power-on picture, or its dots written for a look first.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/ScreenWindow.h"
#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "protocol/OperatorUi.h"
#include "protocol/led.h"
#include "workflows/ImageLibrary.h"
#include "workflows/WindowNumber.h"

#include <QImageReader>
#include <QTextStream>

namespace cli {

int imageCommand(Context &ctx, Arguments &args) {
    const int picture =
        numberOption(args, QStringLiteral("picture"), 1, 239, QStringLiteral("1")).toInt();
    const QString type = args.option(QStringLiteral("colour-type"));
    const QStringList types{QStringLiteral("single"), QStringLiteral("two"),
                            QStringLiteral("full")};
    if (!type.isEmpty() && !types.contains(type))
        throw UsageError{QStringLiteral("--colour-type must be single, two or full")};
    const QString widthText = args.option(QStringLiteral("width"));
    const QString heightText = args.option(QStringLiteral("height"));
    const QString previewFile = args.option(QStringLiteral("preview"));
    QString field = args.option(QStringLiteral("window-number"));
    if (args.values.isEmpty()) throw UsageError{QStringLiteral("image needs FILE")};
    const QString file = args.values.takeFirst();
    expectNoMore(args);
    const QImage original = QImageReader(file).read();
    if (original.isNull()) throw UsageError{QStringLiteral("cannot read a picture from ") + file};
    // The size: the options, else the screen's registry values, else the file's.
    int width = original.width(), height = original.height();
    int colourType = 1;
    CIniFile ini;
    const QString section =
        ctx.screenNumber > 0 ? RegistryFile::sectionName(ctx.screenNumber) : QString();
    if (!section.isEmpty()) {
        ini.SpecifyIni(RegistryFile::path());
        auto number = [&](const char *key) {
            return int(NumericText::value(
                ini.ReadString(section, QLatin1String(key), RegistryFile::ScreenSize)));
        };
        if (number("Pchang") > 0) width = number("Pchang");
        if (number("Pgao") > 0) height = number("Pgao");
        const QString stored =
            ini.ReadString(section, QStringLiteral("Pcolor"), RegistryFile::ScreenSize);
        if (!stored.trimmed().isEmpty()) colourType = number("Pcolor");
        if (colourType < 0 || colourType > 2)
            throw UsageError{QStringLiteral("the screen's colour type Pcolor must be 0, 1 or 2")};
        // The window number "设置窗口号" stored, else the field's first text.
        if (field.isEmpty())
            field = ini.ReadString(section, QStringLiteral("windowNo"), RegistryFile::ScreenSize);
        if (field.isEmpty()) field = QStringLiteral("\\1");
    }
    if (!widthText.isEmpty()) width = parseInt(widthText, QStringLiteral("width"), 8, 512);
    if (!heightText.isEmpty()) height = parseInt(heightText, QStringLiteral("height"), 1, 2048);
    if (!type.isEmpty()) colourType = int(types.indexOf(type));
    // With a window number the picture takes the width after its dots.
    const bool withWindowNumber = !field.isEmpty();
    imagelibrary::Request r;
    r.position = picture - 1;
    r.surface = imagelibrary::surface(ctx.ui, file, width, height,
                                      withWindowNumber && windownumber::showsNumber(field));
    r.colourType = colourType;
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
    // The window number the image panel sends first: the colours its lists hold for
    // the colour type, and for a registered screen the five keys "设置窗口号" writes.
    std::function<bool()> windowNumber;
    ScreenWindow screen(ctx, colourType);
    if (withWindowNumber) {
        windowNumber = [&] {
            return windownumber::set(ctx.device, ctx.ui, ctx.connection(),
                                     screen.windowNumber(field, -1, true),
                                     screen.section()) == workflow::Outcome::Done;
        };
    }
    return ctx.report(imagelibrary::send(ctx.device, ctx.ui, ctx.connection(), r, windowNumber));
}

} // namespace cli
