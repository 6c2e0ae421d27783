#pragma once
// What the window's panels hold for the screen of --screen once the panel
// refresh has run: the colour lists as its colour type fills them, its
// registry section, and the window-number text "设置窗口号" stored for it.
#include "cli/Cli.h"
#include "config/CIniFile.h"
#include "workflows/DisplayProperties.h"
#include "workflows/WindowNumber.h"

#include <array>

namespace cli {

class ScreenWindow {
  public:
    // Without --screen: a two-colour screen, no section, "\1". A `colourType`
    // of 0 or more fills the colour lists for it instead of the screen's.
    explicit ScreenWindow(const Context &ctx, int colourType = -1);
    // Selected positions of 字库颜色, ASC颜色, combo1, Asccolor, Windowbackcolor.
    std::array<int, 5> positions() const { return m_positions; }
    // The section the panels write, empty without --screen.
    displayproperties::Section section() { return {m_hasSection ? &m_ini : nullptr, m_section}; }
    // The stored "windowNo", else "\1" as the window starts.
    QString windowNumberField() const { return m_windowNo; }
    // "设置窗口号" with these lists; `colour` -1 takes the lists' colour byte.
    // With `storedDots`, 窗口点阵数 as the screen's "windowlen" holds it.
    windownumber::Request windowNumber(const QString &field, int colour,
                                       bool storedDots = false) const;

  private:
    CIniFile m_ini;
    bool m_hasSection = false;
    QString m_section;
    QString m_windowNo = QStringLiteral("\\1");
    QString m_windowLen;
    std::array<int, 5> m_positions{};
};

} // namespace cli
