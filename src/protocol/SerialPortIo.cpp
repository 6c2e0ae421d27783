#include "protocol/SerialPortIo.h"

#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

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

bool SerialPortIo::pollInPlace(int fd, int ms) {
#ifdef Q_OS_UNIX
#ifdef Q_OS_LINUX
    // A short sleep's timer is the next one due, and arming and cancelling
    // it reprograms the timer hardware once a packet: in a virtual machine
    // that costs more than the exchange itself. With a slack as long as the
    // sleep the kernel may let it run on with a timer already set.
    const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    const bool loosened =
        ms > 0 && slack >= 0 &&
        prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(ms) * 1000000UL, 0, 0, 0) == 0;
#endif
    pollfd p{fd, POLLIN, 0};
    const bool ready = ::poll(&p, 1, ms) > 0 && (p.revents & POLLIN);
#ifdef Q_OS_LINUX
    if (loosened) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(slack), 0, 0, 0);
#endif
    return ready;
#else
    Q_UNUSED(fd)
    Q_UNUSED(ms)
    return false;
#endif
}
