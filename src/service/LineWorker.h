#pragma once
// The one owner of a serial line in the service: a QObject on its own thread
// with its own `led`, running one job at a time (a call or a screen action)
// through the same workflows the window runs, and answering with a signal.
// It is the service's ActionContext: the device, an operator that records
// instead of showing, the connection of the job's screen.
//
// Every byte written to the port also goes to a virtual line with a board at
// each screen's address (never plugged into a pty, so its answers go
// nowhere), so that after each job the screen's picture can be drawn from the
// very bytes it was sent.
#include "protocol/OperatorUi.h"
#include "service/CallDesk.h"
#include "workflows/ActionContext.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

class VirtualLine;

namespace service {

// Records what the workflows tell the operator. Questions are answered No,
// except the one about characters code page 936 cannot show: the call's
// `lossy` answers that.
class ServiceOperator : public OperatorUi {
  public:
    void message(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text, const QString &caption = QString()) override;
    bool askSubstitution(const QString &text, const QString &caption) override;
    bool askOkCancel(const QString &text, const QString &caption = QString()) override;
    bool input(const QString &prompt, const QString &caption, QString &value) override;
    QString openFile(const QString &caption, const QString &filter) override;
    void statusError(int number, const QString &text = QString()) override;

    void reset(bool lossy);
    QStringList messages;
    bool lossy = false;
};

// A screen on the worker's line as its mirror board needs it.
struct MirrorScreen {
    int number = 0;
    int address = 1;
    int width = 128; // dots
    int height = 32;
};

struct LineJob {
    quint64 ticket = 0;
    int screen = 0;
    int address = 1;
    workflow::Connection connection;
    bool isCall = true;
    Call call;           // isCall
    ScreenAction action; // otherwise
};

struct LineJobResult {
    quint64 ticket = 0;
    int screen = 0;
    bool isCall = true;
    QString callId;
    workflow::Outcome outcome = workflow::Outcome::NotAcknowledged;
    QString message;    // the operator's last message
    QByteArray picture; // PNG of the screen after the job, one pixel a dot
};

class LineWorker : public QObject, public ActionContext {
    Q_OBJECT
  public:
    explicit LineWorker(int port, QObject *parent = nullptr);
    ~LineWorker() override;

    int port() const { return m_port; }

    // These run on the worker's thread (queued invocations).
    void setScreens(const QList<service::MirrorScreen> &screens);
    void runJob(const service::LineJob &job);
    // Ends the thread once the running job is over; releases the port, the
    // device and the mirror on the worker's thread and hands the worker back
    // to `home`, where it is deleted.
    void stopWhenIdle(QThread *home);

    // ActionContext
    led &device() override;
    OperatorUi &ui() override { return m_ui; }
    workflow::Connection connection() const override { return m_job.connection; }
    bool runDeviceAction(const std::function<void()> &action) override;
    bool beginDeviceAction() override;
    void endDeviceAction() override;
    bool actionRunning() const override { return m_busy; }
    bool refuseWhileBusy() override;
    bool trap(const std::function<void()> &action) override;
    void showStatus(const QString &text) override;

    // What the mirror board at `address` shows now, as a PNG.
    QByteArray picture(int address);

  signals:
    void jobDone(const service::LineJobResult &result);
    // A picture changed without an exchange (a page time ran out, a clock ticked).
    void pictureReady(int screen, const QByteArray &png);

  private:
    workflow::Outcome execute(const LineJob &job);
    VirtualLine &mirror();
    void applyScreens();
    void scheduleRedraw();
    void redraw();
    void shutdown(QThread *home);

    int m_port;
    ServiceOperator m_ui;
    std::unique_ptr<led> m_device;
    std::unique_ptr<VirtualLine> m_mirror;
    QList<MirrorScreen> m_screens;
    bool m_screensPending = false;
    LineJob m_job;
    bool m_busy = false;
    QThread *m_stopHome = nullptr;
    QTimer m_redraw;
};

} // namespace service

Q_DECLARE_METATYPE(service::LineJobResult)
