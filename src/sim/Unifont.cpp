#include "sim/Unifont.h"

#include <QFile>

#include <cstring>

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
} // namespace

Unifont::Unifont(const QString &path) {
    load(path);
}

const Unifont &Unifont::instance() {
    static const Unifont font(defaultPath());
    return font;
}

QString Unifont::defaultPath() {
    const QString fromEnv = qEnvironmentVariable("LEDSIM_UNIFONT");
    return fromEnv.isEmpty() ? QStringLiteral("/usr/share/unifont/unifont.hex") : fromEnv;
}

void Unifont::load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read the font %1: %2").arg(path, file.errorString());
        return;
    }
    const QByteArray text = file.readAll();
    // Plane 0 alone has some 57000 glyphs, most of them wide.
    m_data.reserve(text.size() / 2);
    m_index.reserve(text.size() / 60);

    const auto fail = [&](int lineNo) {
        m_error = QStringLiteral("%1:%2: not a glyph line").arg(path).arg(lineNo);
        m_data.clear();
        m_index.clear();
    };
    const char *p = text.constData();
    const char *const end = p + text.size();
    for (int lineNo = 1; p < end; ++lineNo) {
        const char *eol = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol) eol = end;
        const char *lineEnd = eol > p && eol[-1] == '\r' ? eol - 1 : eol;
        const char *line = p;
        p = eol + 1;
        if (line == lineEnd) continue;

        // XXXX:HEX, the code point in up to six digits, 32 or 64 digits of glyph.
        const char *colon =
            static_cast<const char *>(std::memchr(line, ':', size_t(lineEnd - line)));
        const qsizetype digits = colon ? colon - line : 0;
        const qsizetype hexLen = colon ? lineEnd - colon - 1 : 0;
        if (digits < 1 || digits > 6 || (hexLen != 32 && hexLen != 64)) return fail(lineNo);
        char32_t cp = 0;
        for (const char *q = line; q < colon; ++q) {
            const int v = hexValue(*q);
            if (v < 0) return fail(lineNo);
            cp = cp << 4 | char32_t(v);
        }
        const quint32 offset = quint32(m_data.size());
        for (const char *q = colon + 1; q < lineEnd; q += 2) {
            const int hi = hexValue(q[0]), lo = hexValue(q[1]);
            if (hi < 0 || lo < 0) return fail(lineNo);
            m_data.append(char(hi << 4 | lo));
        }
        m_index.insert(cp, offset * 2 + (hexLen == 64 ? 1 : 0));
    }
    m_data.squeeze();
    if (m_index.isEmpty()) m_error = QStringLiteral("the font %1 has no glyphs").arg(path);
}

const uchar *Unifont::glyphData(char32_t cp, int *width) const {
    const auto it = m_index.constFind(cp);
    if (it == m_index.constEnd()) {
        if (width) *width = 0;
        return nullptr;
    }
    if (width) *width = (*it & 1) ? 16 : 8;
    return reinterpret_cast<const uchar *>(m_data.constData()) + (*it >> 1);
}

QByteArray Unifont::glyph(char32_t cp) const {
    int w = 0;
    const uchar *data = glyphData(cp, &w);
    return data ? QByteArray(reinterpret_cast<const char *>(data), w * 2) : QByteArray();
}

int Unifont::width(char32_t cp) const {
    int w = 0;
    glyphData(cp, &w);
    return w;
}
