// The bitmap encoders on pictures of odd sizes: the first four bytes give the
// width (1..600), the height (1..256), the image format and the colour depth;
// the rest are the pixels, repeated to fill the picture.
#include "FuzzSupport.h"

#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 5) return 0;
    const int width = 1 + (data[0] | (data[2] & 0x03) << 8) % 600;
    const int height = 1 + data[1];
    static const QImage::Format formats[] = {QImage::Format_RGB32,      QImage::Format_ARGB32,
                                             QImage::Format_Grayscale8, QImage::Format_Mono,
                                             QImage::Format_Indexed8,   QImage::Format_RGB888};
    const QImage::Format format = formats[(data[2] >> 2) % 6];
    QImage pic(width, height, format);
    if (pic.isNull()) return 0;
    if (format == QImage::Format_Indexed8)
        pic.setColorTable({0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    const uint8_t *pixels = data + 4;
    const size_t count = size - 4;
    size_t k = 0;
    for (int y = 0; y < height; ++y) {
        uchar *line = pic.scanLine(y);
        const int lineBytes = int(pic.bytesPerLine());
        for (int x = 0; x < lineBytes; ++x)
            line[x] = pixels[k++ % count];
    }
    if (format == QImage::Format_Indexed8)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pic.scanLine(y)[x] &= 3;
    led &device = fuzz::device();
    const int planes = data[3] % 3;
    try {
        const qint16 planeSize = planes == 0   ? device.GetDatNDS2_dan(pic)
                                 : planes == 1 ? device.GetDatNDS2(pic)
                                               : device.GetDatNDS3(pic);
        fuzz::require(planeSize == 16 * (width / 8), "plane size");
    } catch (const VbError &) {
        fuzz::require(width / 8 * 16 > 1024, "a picture that fits was refused");
    }
    return 0;
}
