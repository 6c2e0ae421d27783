#pragma once
// Port numbers 1..128 as stored in ledfile.ini, mapped to a device.
#include <QString>

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
// Leading number of a port list item such as "33 (ttyUSB0)"; 0 when none.
int numberOfItem(const QString &item);
} // namespace PortLocator
