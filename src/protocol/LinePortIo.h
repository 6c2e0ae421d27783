#pragma once
#include "protocol/SerialPortIo.h"

#include <memory>

class NetworkPortIo;
class QtSerialPortIo;

// The production port of the device object: a serial device, or a device
// server on the network when the port's ports/COMn file names one. Which of
// the two is decided anew at every open, so the file may change between actions.
class LinePortIo : public SerialPortIo {
    Q_OBJECT
  public:
    explicit LinePortIo(QObject *parent = nullptr);
    ~LinePortIo() override;

    void setPortNumber(int number) override;
    int portNumber() const override { return m_number; }
    void setLineSettings(const QString &settings) override;
    QString lineSettings() const override { return m_settings; }

    bool open() override;
    void close() override;
    bool isOpen() const override;
    void clearInput() override;
    qint64 write(const QByteArray &bytes) override;
    qint64 writeParts(const QByteArray &first, const QByteArray &second) override;
    bool waitForBytes(int ms) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;
    PortFailure failure() const override;

  private:
    void attach(SerialPortIo *port);

    std::unique_ptr<QtSerialPortIo> m_serial;
    std::unique_ptr<NetworkPortIo> m_network;
    SerialPortIo *m_active = nullptr; // the one last opened
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
};
