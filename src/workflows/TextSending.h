#pragma once
// The text panel's free texts: "发送信息" stores the message as picture 11
// with its one-entry list, then as picture 2 (with its own effect at the
// address + 512 when "支持动作方式" is ticked) and keeps it in the text file
// of `Text8`; "发送logo" cuts a longer text into ten pictures of 32
// characters and uploads them as a list. `ledctl message|logo` run these.
#include "workflows/Workflow.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class OperatorUi;
class TextPoolModel;
class led;

namespace textsending {

struct Fields {
    QString text;                               // Text7, or Text24 for the logo
    int colour = 0;                             // the text colour byte
    int effect = 0;                             // item data of Combo8
    QString speed = QStringLiteral("2");        // Text2
    QString stay = QStringLiteral("2");         // Text3
    bool withEffect = false;                    // Check8
    QString pictureField = QStringLiteral("1"); // Text8: the text file the message is kept in
    QString background;                         // the text of combo1, kept with the message
};

// Where a sent message is kept: the store directory (ends in '/'); empty:
// not kept (ledctl). When the kept file is one of the text pool's, `pool`'s
// entry follows it.
workflow::Outcome sendMessage(led &device, OperatorUi &ui, const workflow::Connection &c,
                              const Fields &fields, const QString &storeDirectory,
                              TextPoolModel *pool = nullptr);

// The logo's segments: at most ten of at most 32 characters, the rest dropped.
QStringList logoSegments(const QString &text);
// "发送logo" in steps: the pictures 1 to 10 with 100 ms between them, then
// the list of their entries. Each pause is a timer of the caller's event
// loop, so a window stays live between the pictures; finished() comes once.
// A segment of line breaks only is skipped: it would be a picture without a
// character.
class LogoSend : public QObject {
    Q_OBJECT
  public:
    LogoSend(led &device, OperatorUi &ui, const workflow::Connection &c, const Fields &fields,
             QObject *parent = nullptr);
    // The checks and the first picture; the rest follows from the event loop.
    void start();
    bool isFinished() const { return m_finished; }
    workflow::Outcome outcome() const { return m_outcome; }

  signals:
    void finished(workflow::Outcome outcome);

  private:
    void step();
    void finish(workflow::Outcome outcome);
    led &m_device;
    OperatorUi &m_ui;
    const workflow::Connection m_connection;
    const Fields m_fields;
    QStringList m_segments;
    QByteArray m_list;
    int m_next = 0;
    quint8 m_speed = 0;
    quint8 m_stay = 0;
    bool m_ok = true;
    bool m_finished = false;
    workflow::Outcome m_outcome = workflow::Outcome::Refused;
};

// The same to its end, for callers without an event loop of their own (ledctl).
workflow::Outcome sendLogo(led &device, OperatorUi &ui, const workflow::Connection &c,
                           const Fields &fields);

} // namespace textsending
