#pragma once
#include "protocol/SerialPortIo.h"

#include <QSerialPort>

// The production port: QSerialPort on the device that the port number names.
class QtSerialPortIo : public SerialPortIo {
    Q_OBJECT
  public:
    explicit QtSerialPortIo(QObject *parent = nullptr);
    ~QtSerialPortIo() override;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setLineSettings(const QString &settings) override { m_settings = settings; }
    QString lineSettings() const override { return m_settings; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    void clearInput() override;
    qint64 write(const QByteArray &bytes) override;
    qint64 writeParts(const QByteArray &first, const QByteArray &second) override;
    qint64 bytesWaiting() override { return m_taken.size() + m_port.bytesAvailable(); }
    QByteArray readAll() override;
    PortFailure failure() const override { return m_failure; }
    bool waitForBytes(int ms) override;

    // Classifies an open failure of QSerialPort on the given device.
    static PortFailure classify(QSerialPort::SerialPortError error, const QString &device);

  private:
    // Hands what is buffered to the driver, waiting while its buffer is full.
    void drain();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    PortFailure m_failure = PortFailure::None;
    // Bytes a wait in place read from the device itself; they came before
    // anything QSerialPort holds.
    QByteArray m_taken;
};
