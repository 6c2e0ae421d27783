#pragma once
// The queue-calling frame "发送叫号信息": the two default texts of the upper
// and lower line (pictures 4 and 5) and the test sends (pictures 1 and 2).
#include "protocol/QueueCalling.h"

#include <QObject>

class MainWindow;

class QueueCallingWorkflow : public QObject {
    Q_OBJECT
  public:
    explicit QueueCallingWorkflow(MainWindow &window);
    // One button's action; the buttons call it.
    void run(queuecalling::Action action);

  private:
    bool checkInput(const queuecalling::Request &request);
    MainWindow &m_window;
};
