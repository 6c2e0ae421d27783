// The bitmap encoders: a picture as colour bit planes in bands of 16 rows.
#include "protocol/VbError.h"
#include "protocol/led.h"

namespace {
constexpr int BandRows = 16;
constexpr int LitFrom = 64;

// The pixel as the encoders read colours: red in bits 0-7, green 8-15, blue 16-23.
quint32 colourValue(QRgb p) {
    return quint32(qRed(p)) | quint32(qGreen(p)) << 8 | quint32(qBlue(p)) << 16;
}

using Channel = qint32 (*)(quint32);

qint16 encode(PacketTable &table, const QImage &pic, const QList<Channel> &planes) {
    const int width = pic.width(), height = pic.height();
    const int bytesPerRow = width / 8;
    const int planeSize = BandRows * bytesPerRow;
    if (planeSize > PacketTable::Columns)
        throw VbError(vberr::SubscriptOutOfRange,
                      QStringLiteral("图像太宽：%1点（最多512点）").arg(width));
    // Read once into a buffer of known format.
    const QImage image = pic.convertToFormat(QImage::Format_RGB32);
    const int bands = height > 0 ? (height - 1) / BandRows + 1 : 0;
    int row = 0;
    for (int r = 0; r < bands; ++r) {
        for (Channel channel : planes) {
            QByteArray plane(planeSize, '\0');
            for (int i = 0; i < BandRows; ++i) {
                const int y = r * BandRows + i;
                if (y >= height) break; // below the picture: dark
                const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
                for (int j = 0; j < bytesPerRow; ++j) {
                    quint8 byte = 0;
                    for (int b = 0; b < 8; ++b)
                        if (channel(colourValue(line[8 * j + b])) >= LitFrom)
                            byte = static_cast<quint8>(byte | 0x80 >> b);
                    plane[i * bytesPerRow + j] = char(byte);
                }
            }
            table.setRow(row++, 0, plane);
        }
    }
    return qint16(planeSize);
}
} // namespace

qint16 led::GetDatNDS2_dan(const QImage &pic) {
    return encode(m_table, pic, {&led::GetGValue});
}

qint16 led::GetDatNDS2(const QImage &pic) {
    return encode(m_table, pic, {&led::GetRValue, &led::GetGValue});
}

qint16 led::GetDatNDS3(const QImage &pic) {
    return encode(m_table, pic, {&led::GetRValue, &led::GetGValue, &led::GetBValue});
}
