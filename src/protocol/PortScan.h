#pragma once
// The start-up port scan: which of the ports 1..128 can be opened.
#include <QList>
#include <QString>

class SerialPortIo;

struct PortScanEntry {
    QString text; // "3", "3 已经占用", "3 错误8010"
    int number = 0;
};

QList<PortScanEntry> scanPorts(SerialPortIo &port);
