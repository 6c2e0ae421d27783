#include "app/Preview.h"

#include <QFontMetrics>
#include <QPainter>

namespace preview {

namespace {
// "宋体": fontconfig gives the installed CJK font in its place.
QFont songFont(int points) {
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(points);
    return f;
}
} // namespace

QColor colour(int p) {
    static const QColor colours[] = {Qt::black,           QColor(255, 0, 0),    QColor(0, 255, 0),
                                     QColor(255, 255, 0), QColor(0, 0, 255),    QColor(255, 0, 255),
                                     QColor(0, 255, 255), QColor(255, 255, 255)};
    return p >= 0 && p < 8 ? colours[p] : QColor(Qt::black);
}

QColor backColour(int p) {
    static const QColor colours[] = {Qt::black, QColor(255, 0, 0), QColor(0, 255, 0),
                                     QColor(0, 0, 255)};
    return p >= 0 && p < 4 ? colours[p] : QColor(Qt::black);
}

QPixmap windowNumber(const QString &text, const QColor &background, const QColor &foreground) {
    QPixmap square(32, 32);
    square.fill(background);
    QPainter p(&square);
    p.setFont(songFont(18));
    p.setPen(foreground);
    const QString shown = QString(text).remove(QLatin1Char('\\'));
    const QPoint at = text.size() == 3 ? QPoint(4, 4) : QPoint(10, 4);
    p.drawText(QRect(at, QSize(32, 32)), Qt::AlignLeft | Qt::AlignTop, shown);
    return square;
}

QStringList textLines(const QString &text, int width) {
    const QFontMetrics metrics(songFont(12));
    QStringList lines;
    int start = 0;
    for (int line = 0; line < 2 && start < text.size(); ++line) {
        int end = start;
        while (end < text.size() &&
               metrics.horizontalAdvance(text.mid(start, end - start + 1)) <= width)
            ++end;
        if (end == start) break; // not even one character fits
        lines.append(text.mid(start, end - start));
        start = end;
    }
    return lines;
}

QPixmap text(const QString &text, const QSize &size, const QColor &background,
             const QColor &foreground) {
    QPixmap surface(size.expandedTo(QSize(1, 1)));
    surface.fill(background);
    QPainter p(&surface);
    p.setFont(songFont(12));
    p.setPen(foreground);
    const QStringList lines = textLines(text, size.width());
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(0, i * 16, size.width(), 16), Qt::AlignLeft | Qt::AlignTop, lines.at(i));
    return surface;
}

} // namespace preview
