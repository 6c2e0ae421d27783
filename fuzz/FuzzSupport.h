#pragma once
// What the fuzz targets share: a Qt application object for the code that needs
// one, a device object whose port answers at once from the fuzz input, and a
// scratch directory for the readers that take a path.
#include "protocol/OperatorUi.h"
#include "protocol/SerialPortIo.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

class led;

namespace fuzz {

QByteArray bytes(const uint8_t *data, size_t size);
// Replaces the file `name` in a scratch directory kept for the whole run.
QString scratchFile(const QString &name, const QByteArray &contents);
QString scratchDirectory();

// Stops the fuzzer with a crash report when a property the code promises does
// not hold (libFuzzer keeps the input).
void require(bool condition, const char *what);

class SilentOperator : public OperatorUi {
  public:
    void message(const QString &, const QString &) override {}
    bool askYesNo(const QString &, const QString &) override { return false; }
    bool askOkCancel(const QString &, const QString &) override { return false; }
    bool input(const QString &, const QString &, QString &) override { return false; }
    QString openFile(const QString &, const QString &) override { return {}; }
    void statusError(int, const QString &) override {}
};

// Answers a link check with A5 and every other write with `answer`, already
// waiting when the write returns, so no wait ever runs the event loop.
class AnswerPort : public SerialPortIo {
  public:
    QByteArray answer;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setLineSettings(const QString &s) override { m_settings = s; }
    QString lineSettings() const override { return m_settings; }
    bool open() override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void clearInput() override { m_input.clear(); }
    qint64 write(const QByteArray &bytes) override;
    qint64 bytesWaiting() override { return m_input.size(); }
    QByteArray readAll() override;
    PortFailure failure() const override { return PortFailure::None; }

  private:
    int m_number = 1;
    QString m_settings;
    bool m_open = false;
    QByteArray m_input;
};

// One device object for the whole run on an AnswerPort, at address 1, with
// every time limit scaled to nothing: an answer that is not waiting at once
// counts as missing.
led &device();
AnswerPort &port();

} // namespace fuzz
