#pragma once
// A text stored on a screen as picture N: one senddata call carrying the
// payload an encoder left in row 0.
#include <QtGlobal>

class led;

namespace textpicture {

// Which encoder filled row 0.
enum class Layout {
    Plain,      // Strtoneima: colour byte, code bytes
    WithEffect, // Strtoneima1: effect, speed, stay time, colour byte, code bytes
};

constexpr int FirstPicture = 1;
constexpr int LastPicture = 239; // command byte 16 + N stays a byte

// Command byte of picture N.
int commandByte(int picture);
// Header counter for a payload of `length` bytes: n - 1 (code bytes less
// one) in the high byte, one packet in the low byte.
qint32 packageCounter(qint16 length, Layout layout);
// Sends row 0 as picture N. A picture number outside 1..239 or a payload
// with no code bytes or more than 256 raises VbError before anything is sent.
bool send(led &device, int picture, qint16 length, Layout layout);

} // namespace textpicture
