#pragma once
// `jindu`: stands in front of the main window while a file upload runs and
// keeps the operator from starting anything else there.
#include "protocol/TransferProgress.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

class ProgressWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget *mainWindow);
    QLabel *label() const { return m_label; }
    QProgressBar *bar() const { return m_bar; }
    QTimer *timer() const { return m_timer; }
    // One 200 ms tick of the waiting line.
    void tick();

  private:
    QLabel *m_label;
    QProgressBar *m_bar;
    QTimer *m_timer;
    QString m_dots;
};

// The transfer's hook: opens, advances and closes the window.
class ProgressHook : public TransferProgress {
  public:
    explicit ProgressHook(QWidget *mainWindow) : m_main(mainWindow) {}
    void begin(int maximum) override;
    void step(int value) override;
    void end(bool acknowledged) override;
    ProgressWindow *window() const { return m_window; }

  private:
    QWidget *m_main;
    QPointer<ProgressWindow> m_window;
};
