#pragma once
#include "protocol/PortLocator.h"
#include "protocol/SerialPortIo.h"
#include "protocol/TelnetCodec.h"

#include <QTcpSocket>

// A serial line carried over TCP by a device server: raw bytes (tcp://) or
// telnet with COM-port control (rfc2217://), as the port's ports/COMn file
// names it. Behaves as the serial port does: waits are woken by readyRead,
// a line that dies while open is closed and reported by lost().
class NetworkPortIo : public SerialPortIo {
    Q_OBJECT
  public:
    explicit NetworkPortIo(QObject *parent = nullptr);
    ~NetworkPortIo() override;

    // How long open() waits for the server, in milliseconds.
    static constexpr int DefaultConnectLimitMs = 3000;
    static void setConnectLimit(int ms);

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setLineSettings(const QString &settings) override;
    QString lineSettings() const override { return m_settings; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void clearInput() override;
    qint64 write(const QByteArray &bytes) override;
    qint64 writeParts(const QByteArray &first, const QByteArray &second) override;
    qint64 bytesWaiting() override { return m_in.size(); }
    QByteArray readAll() override;
    PortFailure failure() const override { return m_failure; }
    bool waitForBytes(int ms) override;

  private:
    void takeIncoming();
    // Decodes bytes from the wire into the waiting input.
    void take(const QByteArray &wire);
    void onReadyRead();
    void onDead();
    bool drainOutput();
    // Sends what the kernel takes at once while nothing is queued; returns
    // how many bytes of the wire went, the rest takes the socket's own way.
    qint64 sendDirect(const char *first, qint64 firstSize, const char *second, qint64 secondSize);
    qint64 queueRest(const QByteArray &wire, qint64 sent);

    QTcpSocket m_socket;
    PortLocator::NetworkAddress m_address;
    telnet::Decoder m_decoder;
    QByteArray m_in; // decoded data not yet read
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    quint32 m_baud = 9600; // read from m_settings when they are set
    PortFailure m_failure = PortFailure::None;
    bool m_open = false;
};
