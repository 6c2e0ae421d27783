#include "workflows/ImageLibrary.h"

#include "config/NumericText.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace imagelibrary {

using workflow::Outcome;

namespace {
constexpr int BandRows = 16;
constexpr int WindowNumberDots = 32;
constexpr int MaxPackets = 255;
constexpr int MaxWidth = 512;
const QString Caption = QStringLiteral("更新LOGO");
} // namespace

QImage surface(OperatorUi &ui, const QString &path, int length, int height,
               bool windowNumberShown) {
    const int w = qBound(0, windowNumberShown ? length - WindowNumberDots : length, 4096);
    QImage image(qMax(1, w), qMax(1, qBound(0, height, 4096)), QImage::Format_RGB32);
    image.fill(Qt::black);
    if (!QFileInfo(path).isFile()) {
        ui.message(QStringLiteral("图像不存在"), QStringLiteral("图像"));
        return image;
    }
    // The size is looked at before any dot is read: a picture far larger than
    // any screen would only cost memory and time.
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.width() > 4096 || size.height() > 4096) {
        ui.message(QStringLiteral("图像 %1 有 %2×%3 点，太大，没有读入")
                       .arg(path)
                       .arg(size.width())
                       .arg(size.height()),
                   QStringLiteral("图像"));
        return image;
    }
    const QImage picture = reader.read();
    if (picture.isNull()) {
        ui.message(QStringLiteral("%1 不是可读的图像，没有读入").arg(path), QStringLiteral("图像"));
        return image;
    }
    QPainter p(&image);
    p.drawImage(0, 0, picture);
    return image;
}

int packetCount(int colourType, int height) {
    const int bands = height > 0 ? (height - 1) / BandRows + 1 : 0;
    return bands * (colourType == 0 ? 1 : colourType == 1 ? 2 : 3);
}

Outcome send(led &device, OperatorUi &ui, const workflow::Connection &c, const Request &r,
             const std::function<bool()> &windowNumber) {
    const int packets = packetCount(r.colourType, int(NumericText::value(r.height)));
    // Refused before anything is sent, the window number included: a plane
    // must fit one row and the count one byte.
    if (r.picture) {
        if (r.position < 0) {
            ui.message(QStringLiteral("未选中图像"), QStringLiteral("图像删除"));
            return Outcome::Refused;
        }
        if (r.surface.width() > MaxWidth || packets > MaxPackets) {
            ui.message(r.surface.width() > MaxWidth
                           ? QStringLiteral("图像宽于%1点，不能发送").arg(MaxWidth)
                           : QStringLiteral("图像超过%1包，不能发送").arg(MaxPackets),
                       Caption);
            return Outcome::Refused;
        }
    }
    if (windowNumber && !windowNumber()) return Outcome::NotAcknowledged;
    return workflow::trapped(ui, [&] {
        bool ok = false;
        workflow::connect(device, c);
        if (r.picture) {
            const qint16 size = r.colourType == 0   ? device.GetDatNDS2_dan(r.surface)
                                : r.colourType == 1 ? device.GetDatNDS2(r.surface)
                                                    : device.GetDatNDS3(r.surface);
            qint32 counter = packets;
            ok = device.senddata(qint16(r.picture0 + r.position), counter, size);
        } else {
            const QString text = r.text.isEmpty() ? QStringLiteral("  ") : r.text;
            const qint16 n = device.Strtoneima(text, qint16(r.colour));
            qint32 counter = 256 * (n - 2) + 1;
            ok = device.senddata(command::picture(3), counter, n);
        }
        workflow::tellResult(device, ui, ok, QStringLiteral("更新成功"), QStringLiteral("更新失败"),
                             Caption);
        return workflow::acknowledged(ok);
    });
}

QImage dots(const led &device, int planes, int bands, int planeSize) {
    const int bytesPerRow = planeSize / BandRows;
    QImage image(qMax(1, bytesPerRow * 8), qMax(1, bands * BandRows), QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int b = 0; b < bands; ++b) {
        for (int p = 0; p < planes; ++p) {
            const QByteArray plane = device.table().row(b * planes + p, planeSize);
            for (int i = 0; i < BandRows; ++i)
                for (int x = 0; x < bytesPerRow * 8; ++x) {
                    if (!(quint8(plane.at(i * bytesPerRow + x / 8)) & (0x80 >> (x % 8)))) continue;
                    const int y = b * BandRows + i;
                    const QRgb old = image.pixel(x, y);
                    const int red = planes == 1 || p == 0 ? 255 : qRed(old);
                    const int green = planes > 1 && p == 1 ? 255 : qGreen(old);
                    const int blue = p == 2 ? 255 : qBlue(old);
                    image.setPixel(x, y, qRgb(red, green, blue));
                }
        }
    }
    return image;
}

} // namespace imagelibrary
