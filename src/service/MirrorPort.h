#pragma once
// A port that hands every byte written to the real port to a watcher as
// well: the line worker feeds them to its virtual boards, so that the service
// knows what each screen shows from the very bytes it was sent.
#include "protocol/SerialPortIo.h"

#include <functional>
#include <memory>

namespace service {

class MirrorPort : public SerialPortIo {
    Q_OBJECT
  public:
    MirrorPort(std::unique_ptr<SerialPortIo> port, std::function<void(const QByteArray &)> sent);

    void setPortNumber(int number) override { m_port->setPortNumber(number); }
    int portNumber() const override { return m_port->portNumber(); }
    void setLineSettings(const QString &settings) override { m_port->setLineSettings(settings); }
    QString lineSettings() const override { return m_port->lineSettings(); }
    bool open() override { return m_port->open(); }
    void close() override { m_port->close(); }
    bool isOpen() const override { return m_port->isOpen(); }
    void clearInput() override { m_port->clearInput(); }
    qint64 write(const QByteArray &bytes) override;
    qint64 writeParts(const QByteArray &first, const QByteArray &second) override;
    qint64 bytesWaiting() override { return m_port->bytesWaiting(); }
    QByteArray readAll() override { return m_port->readAll(); }
    PortFailure failure() const override { return m_port->failure(); }
    bool waitForBytes(int ms) override { return m_port->waitForBytes(ms); }

  private:
    std::unique_ptr<SerialPortIo> m_port;
    std::function<void(const QByteArray &)> m_sent;
};

} // namespace service
