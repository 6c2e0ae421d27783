#include "protocol/PortScan.h"

#include "protocol/PortLocator.h"
#include "protocol/SerialPortIo.h"

QList<PortScanEntry> scanPorts(SerialPortIo &port, const QString &otherFailure) {
    QList<PortScanEntry> found;
    const int keep = port.portNumber();
    for (int i = PortLocator::FirstPort; i <= PortLocator::LastPort; ++i) {
        // A scan never waits on the network: such a line is offered as it is named.
        const PortLocator::NetworkAddress address = PortLocator::networkAddress(i);
        if (address.isValid()) {
            found.append({QStringLiteral("%1 (%2)").arg(i).arg(address.text()), i});
            continue;
        }
        if (port.isOpen()) port.close();
        port.setPortNumber(i);
        const bool opened = port.open();
        const PortFailure failure = port.failure();
        if (port.isOpen()) port.close();
        if (opened) {
            found.append({QString::number(i), i});
        } else if (failure == PortFailure::InUse) {
            found.append({QString::number(i) + QStringLiteral(" 已经占用"), i});
        } else if (failure != PortFailure::NoSuchPort) {
            found.append({QString::number(i) + otherFailure, i});
        }
    }
    port.setPortNumber(keep);
    return found;
}
