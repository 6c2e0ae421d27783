#include "workflows/WindowNumber.h"

#include "config/RegistryFile.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

namespace windownumber {

namespace {
const QString None = QStringLiteral("无");
const QString Custom = QStringLiteral("自定义");
const QChar Backslash = QLatin1Char('\\');
} // namespace

QString choiceText(int v) {
    if (v <= -1) return Custom;
    if (v == 0) return None;
    if (v <= 10) return Backslash + QString::number(v - 1);
    if (v <= 20) return Backslash + QStringLiteral("0") + QString::number(v - 11);
    return Backslash + QString::number(qMin(v, 110) - 11);
}

QString stepField(const QString &field, int v) {
    const QString s = choiceText(v);
    const int slash = int(field.indexOf(Backslash));
    if (slash < 0) return s;
    int end = slash + 1;
    while (end < field.size() && end - slash <= 2 && field.at(end).isDigit() &&
           field.at(end).unicode() < 128)
        ++end;
    if (end == slash + 1) return field;
    QString stepped = field;
    stepped.replace(field.mid(slash, end - slash), s);
    return stepped;
}

int colourByte(int background, int foreground) {
    if (background < 0 || foreground < 0)
        throw VbError(vberr::InvalidPropertyArrayIndex, QStringLiteral("窗口颜色没有选中项"));
    return 16 * (background == 3 ? 4 : background) + foreground;
}

bool showsNumber(const QString &field) {
    return field != None && field != Custom;
}

workflow::Outcome set(led &device, OperatorUi &ui, const workflow::Connection &c,
                      const Request &request, const displayproperties::Section &section) {
    return workflow::trapped(ui, [&] {
        device.PAdress = VbNumbers::int16Of(c.address);
        device.serieinit(qint16(c.port), c.baud);
        qint16 cols = 32;
        QString text = request.field.trimmed();
        if (request.field == None) {
            cols = 0;
            text = QStringLiteral("0");
        } else if (request.field == Custom) {
            // The character code page 936 gives the byte 0xFF.
            text = QString(Backslash) + QChar(0xF8F5);
        }
        const qint16 result =
            device.setWindowNo(device.PAdress, cols, qint16(request.colour), text);
        if (result == 0) {
            // Told here, so that the image send that runs it first says it too.
            workflow::tellFailure(device, ui, QStringLiteral("窗口号设置失败"),
                                  QStringLiteral("设置窗口号"));
            return workflow::Outcome::NotAcknowledged;
        }
        if (section.ini) {
            const QString &s = section.name;
            displayproperties::storeAfterSuccess(
                ui, section,
                {{s, QStringLiteral("windowlen"), request.dotsPosition},
                 {s, QStringLiteral("windowNo"), request.field},
                 {s, QStringLiteral("windowhzcolor"), request.hanziPosition},
                 {s, QStringLiteral("windowasccolor"), request.ascPosition},
                 {s, QStringLiteral("windowcombo1color"), request.backgroundPosition}});
        }
        return workflow::Outcome::Done;
    });
}

} // namespace windownumber
