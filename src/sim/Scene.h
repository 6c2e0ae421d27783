#pragma once
// What a board's dots show at one moment, as a list of items laid on the
// board: texts in the board's 16-dot font and images from colour planes. The
// board's state decides the scene (sceneOf, BoardScene.cpp); the renderer
// turns a scene into dots (ScreenRenderer).
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>

struct SceneItem {
    enum class Kind { Text, Image };
    Kind kind = Kind::Text;
    // The dots the item may light, in board coordinates; it is clipped there,
    // and the area's unlit dots take `background`.
    QRect area;

    // Text: code page 936 bytes drawn from the area's top left, 8 dots for a
    // single-byte code, 16 for a double-byte one, each glyph 16 dots high.
    QByteArray codes;
    QRgb doubleByteColour = 0; // colour of Chinese (double-byte) glyphs
    QRgb singleByteColour = 0; // colour of half-width (single-byte) glyphs
    QRgb background = 0;       // 0: dark

    // Image: `planes` colour planes per band of 16 rows (1: one colour, drawn
    // red; 2: red and green; 3: red, green and blue), `rows` the band planes
    // in order (band 0 plane 0, band 0 plane 1, ...), each 16 x bytesPerRow
    // bytes, the leftmost dot of a byte in bit 7.
    int planes = 0;
    int bytesPerRow = 0;
    QList<QByteArray> rows;
};

struct Scene {
    QSize size;             // the board's dots
    bool dark = false;      // the screen is off
    int brightness = 255;   // 0..255: lit colours are dimmed by brightness / 255
    QList<SceneItem> items; // later items are drawn over earlier ones
};
