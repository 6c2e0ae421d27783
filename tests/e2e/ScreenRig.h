#pragma once
// An in-process virtual screen on its own pty, linked as ports/COMn in a
// temporary program directory, and a `led` object that reaches it through the
// production serial port. Port numbers from 97 up have no device of their
// own, so a missing link can never lead to a real port.
#include "protocol/QtSerialPortIo.h"
#include "protocol/led.h"
#include "sim/VirtualLine.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"

#include <QtTest>

struct ScreenRig {
    static constexpr int Port = 101;

    TempProgramDir dir;
    VirtualLine line;
    led device;
    RecordingOperator ui;
    QString link;
    QString error;

    explicit ScreenRig(const QList<quint16> &addresses = {1}, int port = Port) {
        for (quint16 a : addresses)
            line.addBoard(a);
        link = VirtualLine::portLink(dir.path(), port);
        line.plugIn(link, &error);
        device.setOperator(&ui);
        device.PAdress = qint16(addresses.value(0, 1));
        device.serieinit(qint16(port), QStringLiteral("9600"));
    }
    bool plugged() const { return line.isPlugged(); }
    const BoardState &board(quint16 address = 1) const { return line.board(address)->state(); }
    bool portOpen() { return device.MSComm1().isOpen(); }
    // Rows of `size` bytes from `bytes`, then the transfer.
    bool send(qint16 command, qint32 counter, qint32 size, const QByteArray &bytes) {
        for (int i = 0; i < bytes.size(); ++i)
            device.table().set(i / size, i % size, quint8(bytes.at(i)));
        qint32 c = counter;
        return device.senddata(command, c, size);
    }
    void setFault(const QString &name) {
        FaultPlan p;
        QVERIFY2(p.add(name, &error), qPrintable(error));
        line.setFaults(p);
    }
};

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
