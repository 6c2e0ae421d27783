#include "cli/ScreenWindow.h"

#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "workflows/Choices.h"

#include <QFileInfo>

namespace cli {

ScreenWindow::ScreenWindow(const Context &ctx, int colourTypeGiven) {
    int colourType = 1;
    if (ctx.screenNumber > 0 && QFileInfo(RegistryFile::path()).isFile()) {
        m_ini.SpecifyIni(RegistryFile::path());
        m_hasSection = true;
        m_section = RegistryFile::sectionName(ctx.screenNumber);
        const QString type =
            m_ini.ReadString(m_section, QStringLiteral("Pcolor"), RegistryFile::ScreenSize);
        if (!type.trimmed().isEmpty()) colourType = int(NumericText::value(type));
        const QString stored =
            m_ini.ReadString(m_section, QStringLiteral("windowNo"), RegistryFile::ScreenSize);
        if (!stored.isEmpty()) m_windowNo = stored;
        m_windowLen =
            m_ini.ReadString(m_section, QStringLiteral("windowlen"), RegistryFile::ScreenSize);
    }
    if (colourTypeGiven >= 0) colourType = colourTypeGiven;
    const QList<Choice> lists = colourListsFor(colourType);
    for (int i = 0; i < 5; ++i)
        m_positions[static_cast<std::size_t>(i)] = lists.value(i).initial;
}

windownumber::Request ScreenWindow::windowNumber(const QString &field, int colour,
                                                 bool storedDots) const {
    windownumber::Request r;
    r.field = field;
    r.colour = colour >= 0 ? colour : windownumber::colourByte(m_positions[4], m_positions[3]);
    // 窗口点阵数 starts at its first item and is never loaded from the registry.
    r.dotsPosition = storedDots && !m_windowLen.isEmpty() ? m_windowLen : QStringLiteral("0");
    r.hanziPosition = QString::number(m_positions[0]);
    r.ascPosition = QString::number(m_positions[1]);
    r.backgroundPosition = QString::number(m_positions[2]);
    return r;
}

} // namespace cli
