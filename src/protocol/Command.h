#pragma once
// The command byte of a transfer's header: what the board does with the
// data packets that follow. Header-only, so the virtual screen can share it.
#include <QtGlobal>

enum class Command : quint8 {
    Properties = 0, // the 18-byte parameter block; with counter 0 and no packet, a read
    List = 2,       // the message list
    AscUpload = 3,  // the ASC font (batch update)
    OnOff = 4,
    FontUpload = 5, // the font library (ARM update, batch update)
    Brightness = 7,
    Clock = 8,
    StartPicture = 9,
    FpgaUpload = 14,
    Address = 15, // board address and baud rate
    WindowNumber = 16,
    // Picture N is 16 + N (see command::picture).
};

namespace command {

constexpr qint16 byte(Command c) {
    return qint16(quint8(c));
}

// Pictures follow the window number: picture N is command 16 + N.
constexpr qint16 picture(int n) {
    return qint16(byte(Command::WindowNumber) + n);
}

// The picture number of a picture's command byte.
constexpr int pictureOf(int commandbyte) {
    return commandbyte - byte(Command::WindowNumber);
}

// A picture's header counter carries a parameter in its high byte and the
// packet count in its low byte only.
constexpr bool isPicture(int commandbyte) {
    return commandbyte > byte(Command::WindowNumber);
}

// The transfers that show the progress window.
constexpr bool isUpload(int commandbyte) {
    return commandbyte == byte(Command::AscUpload) || commandbyte == byte(Command::FontUpload) ||
           commandbyte == byte(Command::FpgaUpload);
}

} // namespace command
