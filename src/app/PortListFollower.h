#pragma once
// Keeps the connection row's port list (Pchao) in step with the devices
// that come and go, without a restart. The scan opens ports with the
// device object's own port, so it never runs while a device action holds
// that port: a change seen meanwhile is scanned once the action has ended.
#include "protocol/PortWatch.h"

#include <QObject>

class MainWindow;

class PortListFollower : public QObject {
    Q_OBJECT
  public:
    // Follows the list the start-up scan filled; one per window.
    static void attach(MainWindow &window);

  private:
    explicit PortListFollower(MainWindow &window);
    void portsChanged();
    void rescan();

    MainWindow &m_window;
    PortWatch m_watch; // a child, so tests find it
    bool m_pending = false;
};
