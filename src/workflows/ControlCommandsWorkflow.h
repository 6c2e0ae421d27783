#pragma once
// The parameter panel's one-command buttons: brightness, protocol switch,
// clock, screen on and off, start picture number; the toolbar's quick
// buttons run the same actions.
#include <QObject>

class MainWindow;

class ControlCommandsWorkflow : public QObject {
    Q_OBJECT
  public:
    explicit ControlCommandsWorkflow(MainWindow &window);

    void setBrightness();
    void protocolSwitch();
    void adjustClock();
    void screenOn(bool on);
    void setStartPicture();

  private:
    // PAdress from the address field and the port settings; strict set-ups
    // raise on a field that is not a number, lenient ones skip the step.
    void setUp(bool strict);
    void report(bool ok, const QString &caption, const QString &success, const QString &failure);
    MainWindow &m_window;
};
