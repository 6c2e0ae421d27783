#pragma once
// A one-shot timer on an absolute monotonic deadline with microsecond
// resolution (timerfd). Pacing at 115200 baud needs finer steps than the
// millisecond QTimer offers.
#include <QObject>

class QSocketNotifier;

class DeadlineTimer : public QObject {
    Q_OBJECT
  public:
    explicit DeadlineTimer(QObject *parent = nullptr);
    ~DeadlineTimer() override;

    // Monotonic clock in nanoseconds (the clock the deadlines are on).
    static qint64 nowNs();
    void startAt(qint64 deadlineNs);
    void stop();
    bool isActive() const { return m_active; }
    qint64 deadline() const { return m_deadline; }

  signals:
    void timeout();

  private:
    void fire();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_active = false;
    qint64 m_deadline = 0;
};
