#pragma once
// A scripted serial port: records every write and delivers answers on cue
// through the event loop, as a real port would.
#include "protocol/SerialPortIo.h"

#include <QList>
#include <functional>

class FakePort : public SerialPortIo {
    Q_OBJECT
  public:
    using SerialPortIo::SerialPortIo;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setLineSettings(const QString &s) override { m_settings = s; }
    QString lineSettings() const override { return m_settings; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void clearInput() override { m_input.clear(); }
    qint64 write(const QByteArray &bytes) override;
    qint64 bytesWaiting() override { return m_input.size(); }
    QByteArray readAll() override;
    PortFailure failure() const override { return m_failure; }

    // Bytes arrive after delayMs (0: on the next event-loop turn).
    void deliver(const QByteArray &bytes, int delayMs = 0);
    // Called for every write; the default answers nothing.
    std::function<void(FakePort &, const QByteArray &)> onWrite;
    // Makes the next opens fail this way.
    PortFailure failOpenWith = PortFailure::None;
    // Simulates the device vanishing.
    void unplug();

    QList<QByteArray> writes;
    QByteArray allWritten() const;
    int opens = 0;

  private:
    int m_number = 1;
    QString m_settings;
    bool m_open = false;
    QByteArray m_input;
    PortFailure m_failure = PortFailure::None;
};

// Answers like a board: A5 to a link check, the echo of a header, the
// checksum byte back. `tweak` may replace an answer (return true when it did).
void answerLikeBoard(FakePort &port, const QByteArray &written);
