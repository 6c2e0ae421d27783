#pragma once
// Font libraries and firmware files to the current screen: "更新ARM" and
// "更新FPGA" of the update panel, the two upload parts of the batch and
// `ledctl upload`. The transfer shows the progress window the device object
// was given.
#include "workflows/Workflow.h"

#include <QString>

class OperatorUi;
class led;

namespace fileupload {

struct Kind {
    int commandByte;
    int packetSize;
    QString emptyMessage; // for an empty file field
    // Firmware that carries its own length: bytes 20-23 of the first packet
    // := the file's length (filetoarray9200). Only ledctl asks for it.
    bool lengthWord = false;
};
// Textziku in 528-byte packets, command 5; Textasc likewise, command 14.
Kind arm();
Kind fpga();

// The file into the packet table. A missing or unreadable file is told in
// panel 5 (Unreadable), one of more than 32767 packets by a message
// (TooLarge).
constexpr int Unreadable = -1, TooLarge = -2;
int load(led &device, OperatorUi &ui, const QString &file, int packetSize, bool lengthWord = false);

// Loads and sends (the connection already set up); false when the file
// could not be loaded or a stage was not acknowledged.
bool send(led &device, OperatorUi &ui, const QString &file, int commandByte, int packetSize);

// The update button: the empty-field message, PAdress from the address,
// the file, the transfer, "更新成功" or "更新失败".
workflow::Outcome update(led &device, OperatorUi &ui, const workflow::Connection &c,
                         const QString &file, const Kind &kind);

} // namespace fileupload
