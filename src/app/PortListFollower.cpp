#include "app/PortListFollower.h"

#include "app/MainWindow.h"
#include "protocol/PortLocator.h"
#include "protocol/led.h"
#include "ui_MainWindow.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTimer>

void PortListFollower::attach(MainWindow &window) {
    if (!window.findChild<PortListFollower *>(QString(), Qt::FindDirectChildrenOnly))
        new PortListFollower(window);
}

PortListFollower::PortListFollower(MainWindow &window)
    : QObject(&window), m_window(window), m_watch(this) {
    connect(&m_watch, &PortWatch::changed, this, &PortListFollower::portsChanged);
    connect(&window, &MainWindow::deviceActionEnded, this, [this] {
        // After the action has fully returned, not inside its last step.
        if (m_pending) QTimer::singleShot(0, this, &PortListFollower::portsChanged);
    });
}

void PortListFollower::portsChanged() {
    m_pending = m_window.actionRunning();
    if (!m_pending) rescan();
}

void PortListFollower::rescan() {
    QComboBox *list = m_window.connectionRow().Pchao;
    QList<PortScanEntry> shown;
    for (int i = 0; i < list->count(); ++i)
        shown.append({list->itemText(i), PortLocator::numberOfItem(list->itemText(i))});
    const QList<PortScanEntry> now =
        PortWatch::follow(shown, scanPorts(m_window.device().MSComm1()));
    // The operator's choice stays as it is, whatever the list now says of it.
    const QString chosen = list->currentText();
    const QSignalBlocker quiet(list);
    list->clear();
    for (const PortScanEntry &e : now)
        list->addItem(e.text, e.number);
    list->setCurrentText(chosen);
}
