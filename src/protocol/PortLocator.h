#pragma once
// Port numbers 1..128 as stored in ledfile.ini, mapped to a device.
#include <QString>
#include <QtGlobal>

namespace PortLocator {
constexpr int FirstPort = 1;
constexpr int LastPort = 128;
// The ports/COMn link in the program directory.
QString linkPath(int number);
// Device for port n, or empty when the number names no port.
QString devicePath(int number);
// Tests attach every port as a link and must never reach a real device:
// with links only, a number without a link names no port.
void setLinksOnly(bool linksOnly);
// A port whose ports/COMn is a small text file naming a device server:
// "tcp://HOST:PORT" (the bytes as they are) or "rfc2217://HOST:PORT" (telnet
// with COM-port control) on its first line.
struct NetworkAddress {
    QString host;
    quint16 port = 0;
    bool telnet = false;
    bool isValid() const { return port != 0 && !host.isEmpty(); }
    QString text() const; // "tcp://HOST:PORT"
};
// The network address of port n; invalid when the port is not such a file.
NetworkAddress networkAddress(int number);
// What port n opens, for listings: "tcp://HOST:PORT", "ports/COMn -> TARGET"
// or the device; empty when the number names no port.
QString describe(int number);
// Leading number of a port list item such as "33 (ttyUSB0)"; 0 when none.
int numberOfItem(const QString &item);
} // namespace PortLocator
