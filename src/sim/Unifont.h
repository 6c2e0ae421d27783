#pragma once
// GNU Unifont's 8x16 and 16x16 glyphs, read from its .hex file: the nearest
// free font to the 16-dot font of the boards, with a glyph for nearly every
// character of code page 936.
#include <QByteArray>
#include <QHash>
#include <QString>

class Unifont {
  public:
    // Reads `path` at once; see isLoaded().
    explicit Unifont(const QString &path);

    // The font of the system: LEDSIM_UNIFONT when set, else the file of
    // Debian's unifont package. Read at the first call.
    static const Unifont &instance();
    static QString defaultPath();

    bool isLoaded() const { return m_error.isEmpty(); }
    QString loadError() const { return m_error; }
    int glyphCount() const { return int(m_index.size()); }

    // 16 bytes (8 dots wide, one byte per row) or 32 (16 wide, two bytes per
    // row), the leftmost dot in bit 7; empty when the font has no glyph.
    QByteArray glyph(char32_t cp) const;
    // 8 or 16; 0 when the font has no glyph.
    int width(char32_t cp) const;
    // The glyph's bytes inside the font, without a copy; nullptr when missing.
    const uchar *glyphData(char32_t cp, int *width) const;

  private:
    void load(const QString &path);

    // All glyphs back to back; the index holds offset * 2, plus 1 for wide ones.
    QByteArray m_data;
    QHash<char32_t, quint32> m_index;
    QString m_error;
};
