// The window number's escapes: the first byte is the width in cells, the rest
// the text (UTF-8) with its \<digit>, \<digit><digit> and \<0xFF> escapes.
#include "FuzzSupport.h"

#include "protocol/VbError.h"
#include "protocol/led.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const qint16 cells = qint16(data[0]);
    const QString text = QString::fromUtf8(fuzz::bytes(data + 1, size - 1));
    led &device = fuzz::device();
    try {
        const qint16 end = device.Strtoneima3(text, cells);
        fuzz::require(end >= 1, "the text ends before its first cell");
        fuzz::require(device.table().at(0, 0) == cells, "the width byte is not the cells");
    } catch (const VbError &) {
        // Too long for the table: refused with its number.
    }
    return 0;
}
