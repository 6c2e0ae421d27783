#include "sim/DeadlineTimer.h"

#include <QSocketNotifier>

#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

DeadlineTimer::DeadlineTimer(QObject *parent) : QObject(parent) {
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) qFatal("timerfd_create failed");
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeadlineTimer::fire);
}

DeadlineTimer::~DeadlineTimer() {
    delete m_notifier;
    if (m_fd >= 0) ::close(m_fd);
}

qint64 DeadlineTimer::nowNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void DeadlineTimer::startAt(qint64 deadlineNs) {
    // A deadline of zero would disarm the timer; one in the past fires at once.
    const qint64 at = qMax<qint64>(deadlineNs, 1);
    itimerspec spec{};
    spec.it_value.tv_sec = at / 1000000000;
    spec.it_value.tv_nsec = at % 1000000000;
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &spec, nullptr);
    m_active = true;
    m_deadline = deadlineNs;
}

void DeadlineTimer::stop() {
    itimerspec spec{};
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &spec, nullptr);
    m_active = false;
}

void DeadlineTimer::fire() {
    uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations) return;
    if (!m_active) return;
    m_active = false;
    emit timeout();
}
