#include "protocol/PortWatch.h"

#include "protocol/PortLocator.h"
#include "protocol/ProgramDir.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
constexpr int SettleMs = 300;
constexpr int CoarseMs = 2000;
const QString GoneMark = QStringLiteral(" (已拔出)");
} // namespace

PortWatch::PortWatch(QObject *parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PortWatch::look);
    m_coarse.setInterval(CoarseMs);
    connect(&m_coarse, &QTimer::timeout, this, &PortWatch::look);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFolders(); // a folder may have appeared (ports/, /dev/serial/by-id)
        // Not restarted by every event: a busy /dev must not put the look off.
        if (!m_settle.isActive()) m_settle.start();
    });
    m_presence = presence();
    watchFolders();
}

void PortWatch::watchFolders() {
    const QString ports = ProgramDir::filePath(QStringLiteral("ports"));
    // Without ports/ its parent tells when it is made.
    const QString local = QFileInfo(ports).isDir() ? ports : ProgramDir::path();
    bool blind = false;
    QStringList wanted{local};
#ifndef Q_OS_WIN
    wanted.append(QStringLiteral("/dev"));
    if (QFileInfo(QStringLiteral("/dev/serial/by-id")).isDir())
        wanted.append(QStringLiteral("/dev/serial/by-id"));
#endif
    const QStringList watched = m_watcher.directories();
    for (const QString &dir : std::as_const(wanted)) {
        if (watched.contains(dir)) continue;
        if (!m_watcher.addPath(dir) && dir != QStringLiteral("/dev/serial/by-id")) blind = true;
    }
    if (blind && !m_coarse.isActive()) m_coarse.start();
}

void PortWatch::look() {
    QMap<int, QString> now = presence();
    if (now == m_presence) return;
    m_presence = std::move(now);
    emit changed();
}

QMap<int, QString> PortWatch::presence() {
    QMap<int, QString> found;
    for (int n = PortLocator::FirstPort; n <= PortLocator::LastPort; ++n) {
        const QString path = PortLocator::devicePath(n);
        if (path.isEmpty()) continue;
        const QFileInfo info(path);
        // A link counts by where it leads, so one re-pointed is a change;
        // one that leads nowhere names nothing.
        const QString target = info.isSymLink() ? info.canonicalFilePath()
                               : info.exists()  ? info.absoluteFilePath()
                                                : QString();
        if (!target.isEmpty()) found.insert(n, target);
    }
    return found;
}

QString PortWatch::goneText(int number) {
    return QString::number(number) + GoneMark;
}

QList<PortScanEntry> PortWatch::follow(const QList<PortScanEntry> &shown,
                                       const QList<PortScanEntry> &scan) {
    QList<PortScanEntry> list = scan;
    for (const PortScanEntry &e : shown) {
        const bool found = std::any_of(scan.cbegin(), scan.cend(), [&e](const PortScanEntry &s) {
            return s.number == e.number;
        });
        if (!found && e.number > 0) list.append({goneText(e.number), e.number});
    }
    std::stable_sort(list.begin(), list.end(), [](const PortScanEntry &a, const PortScanEntry &b) {
        return a.number < b.number;
    });
    return list;
}
