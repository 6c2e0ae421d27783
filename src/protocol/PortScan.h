#pragma once
// The start-up port scan: which of the ports 1..128 can be opened.
#include <QList>
#include <QString>

class SerialPortIo;

struct PortScanEntry {
    QString text; // "3", "3 已经占用", "3 错误8010"
    int number = 0;
};

// A port that fails in another way is listed with `otherFailure` after its
// number: the start-up scan says " 错误8010", the connection test " 其他错误".
QList<PortScanEntry> scanPorts(SerialPortIo &port,
                               const QString &otherFailure = QStringLiteral(" 错误8010"));
