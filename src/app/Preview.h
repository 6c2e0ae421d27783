#pragma once
// What the text panel's preview draws: the 32-dot window-number square and
// the two-line text of the power-on text, in the colours of the colour
// lists (positions) as the preview shows them.
#include <QColor>
#include <QPixmap>
#include <QString>

namespace preview {
// Window colours by list position: black, red, green, yellow, blue,
// magenta, cyan, white; anything else black.
QColor colour(int position);
// Backgrounds by list position: black, red, green, blue; anything else black.
QColor backColour(int position);
// The window number without its backslash, in the Song font at 18 points,
// at (4, 4) for two digits and (10, 4) otherwise.
QPixmap windowNumber(const QString &text, const QColor &background, const QColor &foreground);
// The lines of `text` that fit `width` dots: the first, then the second from
// where the first stopped; nothing after them.
QStringList textLines(const QString &text, int width);
// Those lines at the top left and 16 dots lower, in the Song font at 12 points.
QPixmap text(const QString &text, const QSize &size, const QColor &background,
             const QColor &foreground);
} // namespace preview
