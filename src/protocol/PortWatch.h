#pragma once
// Serial devices that come and go while the program runs (USB adapters
// plugged in and pulled out, links in ports/ made and removed). The watch
// says when what the port numbers open has changed; whoever shows a port list
// then scans again and marks the ports that went away.
#include "protocol/PortScan.h"

#include <QFileSystemWatcher>
#include <QMap>
#include <QObject>
#include <QTimer>

class PortWatch : public QObject {
    Q_OBJECT
  public:
    explicit PortWatch(QObject *parent = nullptr);

    // What each port number opens right now (the device behind a link), for
    // the numbers whose device exists. Looks at names only; opens nothing.
    static QMap<int, QString> presence();

    // The list to show after a new scan: what the scan found, and each port
    // of the list shown so far that the scan no longer finds, marked as gone.
    static QList<PortScanEntry> follow(const QList<PortScanEntry> &shown,
                                       const QList<PortScanEntry> &scan);
    // "5 (已拔出)": the number first, so the item still names its port.
    static QString goneText(int number);

  signals:
    // What some port number opens has changed since the last signal.
    void changed();

  private:
    void watchFolders();
    void look();

    QFileSystemWatcher m_watcher;
    QTimer m_settle; // a plug-in makes several names at once: one look for them
    QTimer m_coarse; // only when a folder cannot be watched
    QMap<int, QString> m_presence;
};
