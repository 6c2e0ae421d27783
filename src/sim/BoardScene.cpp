#include "sim/BoardScene.h"

#include <QStringEncoder>

namespace {
constexpr int LineDots = 16;
constexpr int MinStayMs = 1000;
constexpr quint8 Date128 = 254, Clock128 = 255, Date64 = 252, Clock64 = 253;
const QRgb ClockColour = qRgb(255, 255, 0);

QRgb codeColour(int code) {
    if (code == 0) return 0;
    return qRgb(code & 1 ? 255 : 0, code & 2 ? 255 : 0, code & 4 ? 255 : 0);
}

SceneItem textItem(const QRect &area, const QByteArray &codes, quint8 colour) {
    SceneItem item;
    item.area = area;
    item.codes = codes;
    item.doubleByteColour = codeColour(colour & 0x03);
    item.singleByteColour = codeColour((colour >> 4) & 0x03);
    item.background = codeColour((colour & 0x08 ? 1 : 0) | (colour & 0x80 ? 2 : 0));
    return item;
}

// Lines of at most `cells` bytes; a double-byte code is never cut in two.
QList<QByteArray> wrap(const QByteArray &codes, int cells, int maxLines) {
    QList<QByteArray> lines;
    QByteArray line;
    for (int i = 0; i < codes.size();) {
        const int n = quint8(codes.at(i)) >= 0x81 && i + 1 < codes.size() ? 2 : 1;
        if (line.size() + n > cells && !line.isEmpty()) {
            lines.append(line);
            line.clear();
            if (lines.size() == maxLines) return lines;
        }
        line.append(codes.mid(i, n));
        i += n;
    }
    if (!line.isEmpty() && lines.size() < maxLines) lines.append(line);
    return lines;
}

void addPicture(Scene &scene, const StoredPicture &p, const QRect &area, bool wrapLines) {
    if (p.kind == StoredPicture::Kind::Image) {
        SceneItem item;
        item.kind = SceneItem::Kind::Image;
        item.area = area;
        item.planes = p.planes;
        item.bytesPerRow = p.bytesPerRow;
        item.rows = p.rows;
        scene.items.append(item);
        return;
    }
    const int lines = wrapLines ? qMax(1, area.height() / LineDots) : 1;
    const QList<QByteArray> parts = wrap(p.codes, qMax(1, area.width() / 8), lines);
    if (parts.isEmpty()) {
        scene.items.append(textItem(area, QByteArray(), p.colour));
        return;
    }
    const QRect band(area.left(), area.top(), area.width(), lines * LineDots);
    // One background for the whole band, then each line on it.
    scene.items.append(textItem(band.intersected(area), QByteArray(), p.colour));
    for (int i = 0; i < parts.size(); ++i) {
        const QRect line(area.left(), area.top() + i * LineDots, area.width(), LineDots);
        scene.items.append(textItem(line.intersected(area), parts.at(i), p.colour));
    }
}

QDateTime boardClock(const BoardState &s, qint64 nowMs) {
    const QDateTime t = s.clockAt(nowMs);
    // A board never set runs on its own clock, taken as the computer's.
    return t.isValid() ? t : QDateTime::currentDateTime();
}

QByteArray clockCodes(quint8 code, const QDateTime &t) {
    static const char16_t *const weekdays[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};
    QString text;
    switch (code) {
    case Date128:
        text = t.toString(QStringLiteral("yyyy年MM月dd日"));
        break;
    case Clock128:
        text = t.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" 星期") +
               QString::fromUtf16(weekdays[(t.date().dayOfWeek() + 6) % 7]);
        break;
    case Date64:
        text = t.toString(QStringLiteral("yy-MM-dd"));
        break;
    default:
        text = t.toString(QStringLiteral("HH:mm:ss"));
        break;
    }
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

// The list entry shown at nowMs and when its stay ends.
int currentEntry(const BoardState &s, qint64 nowMs, qint64 *endsMs) {
    qint64 cycle = 0;
    for (const ListEntry &e : s.listEntries)
        cycle += qMax(MinStayMs, e.stay * 1000);
    const qint64 elapsed = qMax<qint64>(0, nowMs - s.listStartedMs);
    const qint64 cycleStart = nowMs - elapsed % cycle;
    qint64 at = cycleStart;
    for (int i = 0; i < s.listEntries.size(); ++i) {
        at += qMax(MinStayMs, s.listEntries.at(i).stay * 1000);
        if (nowMs < at) {
            *endsMs = at;
            return i;
        }
    }
    *endsMs = at;
    return int(s.listEntries.size()) - 1;
}

bool isText(const BoardState &s, int picture) {
    const auto it = s.pictures.constFind(picture);
    return it != s.pictures.constEnd() && it->kind == StoredPicture::Kind::Text;
}

bool callActive(const BoardState::Call &c, qint64 nowMs) {
    // A page time of 0 keeps the message until the next one.
    return c.picture != 0 && (c.pageSeconds == 0 || nowMs - c.shownMs < c.pageSeconds * 1000LL);
}

// The picture a calling line shows, 0 for none.
int linePicture(const BoardState &s, int line, qint64 nowMs) {
    const BoardState::Call &c = s.calls[line];
    if (callActive(c, nowMs) && s.pictures.contains(c.picture)) return c.picture;
    const int fallback = line == 0 ? 4 : 5;
    return s.pictures.contains(fallback) ? fallback : 0;
}

bool callingMode(const BoardState &s) {
    for (int p : {1, 2, 4, 5})
        if (isText(s, p)) return true;
    return false;
}
} // namespace

Scene sceneOf(const BoardState &s, qint64 nowMs) {
    Scene scene;
    scene.size = QSize(s.width(), s.height());
    scene.dark = !s.screenOn();
    scene.brightness = s.brightness;
    const int h = s.height();
    int left = 0;
    const WindowNumber &wn = s.windowNumber;
    if (wn.set && wn.cols > 0) {
        left = qMin<int>(wn.cols, s.width());
        const QByteArray codes = wn.displayCodes().trimmed();
        SceneItem item;
        item.area = QRect(0, 0, left, h);
        item.background = codeColour(wn.colour >> 4);
        scene.items.append(item);
        const int textWidth = int(codes.size()) * 8;
        SceneItem number = item;
        number.area = QRect(qMax(0, (left - textWidth) / 2), qMax(0, (h - LineDots) / 2),
                            qMin(left, textWidth), LineDots);
        number.codes = codes;
        number.singleByteColour = number.doubleByteColour = codeColour(wn.colour & 0x07);
        scene.items.append(number);
    }
    const QRect content(left, 0, s.width() - left, h);
    if (content.width() <= 0) return scene;

    if (s.listPlaying && !s.listEntries.isEmpty()) {
        qint64 ends = 0;
        const ListEntry &e = s.listEntries.at(currentEntry(s, nowMs, &ends));
        if (e.isClock()) {
            SceneItem item = textItem(
                QRect(content.left(), qMax(0, (h - LineDots) / 2), content.width(), LineDots),
                clockCodes(e.picture, boardClock(s, nowMs)), 0);
            item.singleByteColour = item.doubleByteColour = ClockColour;
            scene.items.append(item);
        } else if (s.pictures.contains(e.picture)) {
            addPicture(scene, s.pictures.value(e.picture), content, true);
        }
        return scene;
    }
    if (callingMode(s)) {
        if (h >= 2 * LineDots) {
            for (int line = 0; line < 2; ++line) {
                const int p = linePicture(s, line, nowMs);
                const QRect area(content.left(), line * LineDots, content.width(), LineDots);
                if (p) addPicture(scene, s.pictures.value(p), area, false);
            }
        } else {
            // One line: the line called last, else the upper default, else the lower.
            int line = 0;
            if (callActive(s.calls[1], nowMs) &&
                (!callActive(s.calls[0], nowMs) || s.calls[1].shownMs > s.calls[0].shownMs))
                line = 1;
            int p = linePicture(s, line, nowMs);
            if (!p) p = linePicture(s, 1 - line, nowMs);
            if (p) addPicture(scene, s.pictures.value(p), content, false);
        }
        return scene;
    }
    for (auto it = s.pictures.constBegin(); it != s.pictures.constEnd(); ++it) {
        if (it->kind == StoredPicture::Kind::Image) {
            addPicture(scene, *it, content, false);
            return scene;
        }
    }
    if (isText(s, 3)) addPicture(scene, s.pictures.value(3), content, true);
    return scene;
}

qint64 nextSceneChangeMs(const BoardState &s, qint64 nowMs) {
    if (!s.screenOn()) return -1;
    qint64 next = -1;
    auto consider = [&](qint64 t) {
        if (t > nowMs && (next < 0 || t < next)) next = t;
    };
    if (s.listPlaying && !s.listEntries.isEmpty()) {
        qint64 ends = 0;
        const ListEntry &e = s.listEntries.at(currentEntry(s, nowMs, &ends));
        consider(ends);
        if (e.isClock()) {
            const qint64 sinceSet =
                s.clock.isEmpty() ? QTime::currentTime().msec() : (nowMs - s.clockSetMs) % 1000;
            consider(nowMs + 1000 - sinceSet);
        }
        return next;
    }
    for (const BoardState::Call &c : s.calls)
        if (c.picture != 0 && c.pageSeconds > 0) consider(c.shownMs + c.pageSeconds * 1000LL);
    return next;
}
