#include "protocol/PortScan.h"

#include "protocol/PortLocator.h"
#include "protocol/SerialPortIo.h"

QList<PortScanEntry> scanPorts(SerialPortIo &port) {
    QList<PortScanEntry> found;
    const int keep = port.portNumber();
    for (int i = PortLocator::FirstPort; i <= PortLocator::LastPort; ++i) {
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
            // 8010: the serial component's "hardware not available".
            found.append({QString::number(i) + QStringLiteral(" 错误8010"), i});
        }
    }
    port.setPortNumber(keep);
    return found;
}
