#pragma once
// Turns a scene into the board's dots, and the dots into a picture of LEDs.
#include "sim/Scene.h"
#include "sim/Unifont.h"

#include <QImage>

// One pixel per dot, scene.size, Format_RGB32, unlit dots black. Texts take
// their glyphs from `font`; a code it cannot show is drawn as its cell's
// outline.
QImage render(const Scene &scene, const Unifont &font = Unifont::instance());

// Each dot as a round LED about 0.8 * pitch across on dark grey, the unlit
// ones dim grey so that the grid shows; pitch * dots.size() pixels.
QImage renderLeds(const QImage &dots, int pitch);
