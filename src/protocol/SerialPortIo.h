#pragma once
// The port operations the device object needs. Production uses QSerialPort,
// unit tests a scripted fake; the device object never owns more than this.
#include <QByteArray>
#include <QObject>
#include <QString>

class QIODevice;

enum class PortFailure {
    None,
    NoSuchPort, // "无效端口号"
    InUse,      // "串口已经打开"
    Other,      // "通讯失败"
};

class SerialPortIo : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialPortIo() override = default;

    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // "9600,n,8,1"
    virtual void setLineSettings(const QString &settings) = 0;
    virtual QString lineSettings() const = 0;

    virtual bool open() = 0; // false: failure() tells why
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void clearInput() = 0;
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Two parts of one frame: a port may hand them to the line together.
    virtual qint64 writeParts(const QByteArray &first, const QByteArray &second) {
        const qint64 n = write(first);
        return n < 0 ? n : n + qMax<qint64>(0, write(second));
    }
    virtual qint64 bytesWaiting() = 0;
    virtual QByteArray readAll() = 0;
    virtual PortFailure failure() const = 0;
    // Blocks the calling thread up to `ms` for new bytes, without an event
    // loop: a fast answer is then taken without the loop's wake-ups. False
    // when nothing came or the port cannot wait this way (the default); the
    // caller then waits through its event loop.
    virtual bool waitForBytes(int ms) {
        Q_UNUSED(ms);
        return false;
    }

  protected:
    // When the driver's buffer is full, lets the event loop drain what
    // `device` still holds, bounded by twice the line time at `baud` plus a
    // second, or until the line is lost.
    void waitUntilWritten(QIODevice &device, int baud);
    // Sleeps up to `ms` (at most a little longer) until `fd` can be read;
    // true when it can. For the waits in place of the ports that can.
    static bool pollInPlace(int fd, int ms);

  signals:
    void readyRead();
    // The device went away or failed while open; the port is already closed.
    void lost();
};
