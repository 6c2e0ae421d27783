#pragma once
// The radio serial module attached to the host: "检测无线模块", "检测模块",
// "设置信道" and the repeated setting of "自动设置". The wireless frame of the
// parameter panel and `ledctl radio read|channel` run these.
#include "workflows/Workflow.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class OperatorUi;
class led;

namespace radio {

// Whole numbers from 1 to 254 for the newer modules' setting strings;
// tests pass a seeded one.
using Random = std::function<int()>;
Random systemRandom();

struct Settings {
    QString first, second;
};
// The two setting strings for a module string and channel: fixed ones for
// versions up to 1.8 and from 3 below 6, random digits for the others.
Settings settingStrings(const QString &module, int channel, const Random &random);

// "检测无线模块": the module string, shown as it came; empty and
// "无线模块属性获取失败" when the module did not answer.
QString check(led &device, OperatorUi &ui, const workflow::Connection &c);

// What "检测模块" puts into the frame; -1: that choice is left as it was.
struct ModuleFields {
    QString packetSize; // 包大小
    int baud = -1, airBaud = -1, power = -1, range = -1;
    QString channel; // 信道号
};
struct Detected {
    QString module; // empty when the module did not answer
    ModuleFields fields;
};
// "检测模块": "获取成功，版本号：" + the version, and the frame's fields.
Detected detect(led &device, OperatorUi &ui, const workflow::Connection &c);
ModuleFields fieldsOf(const QString &module);

// "设置信道" (silent = false) and one tick of "自动设置" (silent = true): the
// channel check (0..99), the read, the two setting strings. A silent tick
// tells only a missing module.
workflow::Outcome setChannel(led &device, OperatorUi &ui, const workflow::Connection &c,
                             const QString &channelText, const Random &random, bool silent = false);

// "自动设置" / "停止设置": a 3000 ms timer running `tick`; a tick that comes
// while the one before still waits for the module is skipped. Stopping
// always shows the power-cycle reminder.
class RepeatedSetting : public QObject {
    Q_OBJECT
  public:
    static constexpr int IntervalMs = 3000;
    RepeatedSetting(OperatorUi &ui, std::function<void()> tick, QObject *parent = nullptr);
    // Starts or stops; returns the caption the button shows afterwards.
    QString toggle();
    bool running() const { return m_timer.isActive(); }
    int skipped() const { return m_skipped; }
    void setInterval(int ms) { m_timer.setInterval(ms); }

  private:
    void onTick();
    OperatorUi &m_ui;
    std::function<void()> m_tick;
    QTimer m_timer;
    bool m_busy = false;
    int m_skipped = 0;
};

} // namespace radio
