#pragma once
// Frames as the host puts them on the line, for feeding a VirtualLine directly.
#include "sim/HostFrames.h"

using hostframes::linkAndHeader;
using hostframes::onePacket;
using hostframes::packet;

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
