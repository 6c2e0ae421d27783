#include "protocol/PortLocator.h"

#include "protocol/ProgramDir.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

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

QString PortLocator::NetworkAddress::text() const {
    const QString h =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return (telnet ? QStringLiteral("rfc2217://") : QStringLiteral("tcp://")) + h +
           QLatin1Char(':') + QString::number(port);
}

PortLocator::NetworkAddress PortLocator::networkAddress(int number) {
    if (number < FirstPort || number > LastPort) return {};
    const QFileInfo info(linkPath(number));
    // A link (to a device or anything else) is never read: only a small file.
    constexpr qint64 MaxBytes = 4096;
    if (info.isSymLink() || !info.isFile() || info.size() > MaxBytes) return {};
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString line = QString::fromUtf8(file.readLine(MaxBytes)).trimmed();
    const QUrl url(line, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"tcp" && scheme != u"rfc2217") || url.host().isEmpty() ||
        url.port() <= 0 || (!url.path().isEmpty() && url.path() != u"/"))
        return {};
    return {url.host(), quint16(url.port()), scheme == u"rfc2217"};
}

QString PortLocator::describe(int number) {
    const NetworkAddress address = networkAddress(number);
    if (address.isValid()) return address.text();
    const QString device = devicePath(number);
    const QFileInfo info(device);
    if (device == linkPath(number) && info.isSymLink())
        return QStringLiteral("ports/COM%1 -> ").arg(number) + info.symLinkTarget();
    return device;
}
