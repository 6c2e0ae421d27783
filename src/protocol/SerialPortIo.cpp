#include "protocol/SerialPortIo.h"

#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

void SerialPortIo::waitUntilWritten(QIODevice &device, int baud) {
    if (device.bytesToWrite() == 0) return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    const int ms = int(device.bytesToWrite() * 20000 / qMax(1, baud)) + 1000;
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&device, &QIODevice::bytesWritten, &loop, [&] {
        if (device.bytesToWrite() == 0) loop.quit();
    });
    connect(this, &SerialPortIo::lost, &loop, &QEventLoop::quit);
    limit.start(ms);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
