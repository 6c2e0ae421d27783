#include "protocol/PortLocator.h"

#include "protocol/ProgramDir.h"

#include <QFileInfo>

namespace {
bool g_linksOnly = false;
}

void PortLocator::setLinksOnly(bool linksOnly) {
    g_linksOnly = linksOnly;
}

QString PortLocator::linkPath(int number) {
    return ProgramDir::filePath(QStringLiteral("ports/COM%1").arg(number));
}

QString PortLocator::devicePath(int number) {
    if (number < FirstPort || number > LastPort) return QString();
    const QString link = linkPath(number);
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link)) return link;
    if (g_linksOnly) return QString();
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    static const char *const families[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
    const int family = (number - 1) / 32;
    if (family >= 3) return QString();
    return QString::fromLatin1(families[family]) + QString::number((number - 1) % 32);
#endif
}

int PortLocator::numberOfItem(const QString &item) {
    const QString t = item.trimmed();
    int i = 0;
    while (i < t.size() && t.at(i).isDigit())
        ++i;
    return i == 0 ? 0 : t.left(i).toInt();
}
