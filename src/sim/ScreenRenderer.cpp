#include "sim/ScreenRenderer.h"

#include <QStringDecoder>

#include <algorithm>

namespace {
constexpr int GlyphRows = 16;

struct Canvas {
    QImage &image;
    QRect clip; // the item's area within the image

    void set(int x, int y, QRgb colour) {
        if (clip.contains(x, y)) reinterpret_cast<QRgb *>(image.scanLine(y))[x] = colour;
    }
};

QRgb opaque(QRgb c) {
    return c | 0xff000000u;
}

void fillRect(QImage &image, const QRect &r, QRgb colour) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, colour);
    }
}

void drawBox(Canvas &c, int left, int top, int width, QRgb colour) {
    for (int x = left; x < left + width; ++x) {
        c.set(x, top, colour);
        c.set(x, top + GlyphRows - 1, colour);
    }
    for (int y = top + 1; y < top + GlyphRows - 1; ++y) {
        c.set(left, y, colour);
        c.set(left + width - 1, y, colour);
    }
}

// The glyph's dots up to the cell's width: the boards' cells are fixed, so a
// wide glyph for a half-width code is cut and a narrow one for a Chinese code
// keeps to the cell's left.
void drawGlyph(Canvas &c, const uchar *glyph, int glyphWidth, int left, int top, int cellWidth,
               QRgb colour) {
    const int bytesPerRow = glyphWidth / 8;
    const int dots = std::min(glyphWidth, cellWidth);
    for (int row = 0; row < GlyphRows; ++row) {
        const uchar *bits = glyph + row * bytesPerRow;
        for (int d = 0; d < dots; ++d)
            if (bits[d / 8] & (0x80 >> (d % 8))) c.set(left + d, top + row, colour);
    }
}

// The one character `code` stands for, or 0 when it stands for none. Read
// from the output: the ICU decoder keeps hasError() set across resetState().
char32_t decodeOne(QStringDecoder &decoder, QByteArrayView code) {
    const QString text = decoder.decode(code);
    const QList<uint> ucs4 = text.toUcs4();
    if (ucs4.size() != 1 || ucs4.front() == 0xfffd) return 0;
    return char32_t(ucs4.front());
}

void drawText(Canvas &c, const SceneItem &item, const Unifont &font) {
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray &codes = item.codes;
    const int top = item.area.top();
    int x = item.area.left();
    for (qsizetype i = 0; i < codes.size() && x <= c.clip.right();) {
        const bool doubleByte = uchar(codes[i]) >= 0x81 && uchar(codes[i]) <= 0xfe;
        // A lead byte at the end still takes a double-byte cell, shown as a box.
        const qsizetype length = doubleByte ? std::min<qsizetype>(2, codes.size() - i) : 1;
        const int cellWidth = doubleByte ? 16 : 8;
        const QRgb colour = doubleByte ? item.doubleByteColour : item.singleByteColour;
        if (colour != 0) {
            const char32_t cp = length == (doubleByte ? 2 : 1)
                                    ? decodeOne(decoder, QByteArrayView(codes).sliced(i, length))
                                    : 0;
            int glyphWidth = 0;
            const uchar *glyph = cp ? font.glyphData(cp, &glyphWidth) : nullptr;
            if (glyph)
                drawGlyph(c, glyph, glyphWidth, x, top, cellWidth, opaque(colour));
            else
                drawBox(c, x, top, cellWidth, opaque(colour));
        }
        x += cellWidth;
        i += length;
    }
}

void drawImage(Canvas &c, const SceneItem &item) {
    if (item.planes < 1 || item.planes > 3 || item.bytesPerRow < 1) return;
    static constexpr QRgb PlaneColour[3] = {0x00ff0000, 0x0000ff00, 0x000000ff};
    const int dotsPerRow = item.bytesPerRow * 8;
    const int bands = int((item.rows.size() + item.planes - 1) / item.planes);
    for (int band = 0; band < bands; ++band) {
        const int bandTop = item.area.top() + band * GlyphRows;
        if (bandTop > c.clip.bottom()) break;
        QByteArray planes[3];
        for (int p = 0; p < item.planes; ++p)
            planes[p] = item.rows.value(band * item.planes + p);
        for (int row = 0; row < GlyphRows; ++row) {
            const int y = bandTop + row;
            if (y < c.clip.top() || y > c.clip.bottom()) continue;
            for (int d = 0; d < dotsPerRow; ++d) {
                const int x = item.area.left() + d;
                if (x > c.clip.right()) break;
                QRgb colour = 0;
                const int byte = row * item.bytesPerRow + d / 8;
                for (int p = 0; p < item.planes; ++p)
                    if (byte < planes[p].size() && (uchar(planes[p][byte]) & (0x80 >> (d % 8))))
                        colour |= PlaneColour[p];
                if (colour) c.set(x, y, opaque(colour));
            }
        }
    }
}

void dim(QImage &image, int brightness) {
    const int b = std::clamp(brightness, 0, 255);
    if (b == 255) return;
    const auto scale = [b](int v) { return (v * b + 127) / 255; };
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(scale(qRed(line[x])), scale(qGreen(line[x])), scale(qBlue(line[x])));
    }
}
} // namespace

QImage render(const Scene &scene, const Unifont &font) {
    QImage image(scene.size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::black);
    if (scene.dark) return image;
    for (const SceneItem &item : scene.items) {
        Canvas c{image, item.area.intersected(image.rect())};
        if (c.clip.isEmpty()) continue;
        if (item.background != 0) fillRect(image, c.clip, opaque(item.background));
        if (item.kind == SceneItem::Kind::Text)
            drawText(c, item, font);
        else
            drawImage(c, item);
    }
    dim(image, scene.brightness);
    return image;
}

QImage renderLeds(const QImage &dots, int pitch) {
    pitch = std::max(1, pitch);
    const QImage in = dots.convertToFormat(QImage::Format_RGB32);
    QImage out(in.size() * pitch, QImage::Format_RGB32);
    if (out.isNull()) return out;
    static constexpr QRgb Background = 0xff181818, Unlit = 0xff3a3a3a;
    out.fill(Background);

    // How much of each pixel of a cell the LED covers, 0..16, from 4x4 samples.
    const double radius = 0.4 * pitch, centre = pitch / 2.0;
    QList<int> cover(pitch * pitch);
    for (int py = 0; py < pitch; ++py)
        for (int px = 0; px < pitch; ++px) {
            int n = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = px + (sx + 0.5) / 4 - centre;
                    const double dy = py + (sy + 0.5) / 4 - centre;
                    n += dx * dx + dy * dy <= radius * radius;
                }
            cover[py * pitch + px] = n;
        }

    const auto blend = [](int bg, int fg, int a) { return (bg * (16 - a) + fg * a + 8) / 16; };
    for (int y = 0; y < in.height(); ++y) {
        const QRgb *dotLine = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            const QRgb led = (dotLine[x] & 0xffffff) ? dotLine[x] : Unlit;
            for (int py = 0; py < pitch; ++py) {
                QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y * pitch + py)) + x * pitch;
                for (int px = 0; px < pitch; ++px) {
                    const int a = cover[py * pitch + px];
                    if (a == 0) continue;
                    line[px] = qRgb(blend(qRed(Background), qRed(led), a),
                                    blend(qGreen(Background), qGreen(led), a),
                                    blend(qBlue(Background), qBlue(led), a));
                }
            }
        }
    }
    return out;
}
