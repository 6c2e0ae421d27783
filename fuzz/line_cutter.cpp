// The text pool's line cutter: the first byte is the width in cells (as a
// signed byte, so narrow and nonsense widths come up), the rest the text.
#include "FuzzSupport.h"

#include "encoding/Gbk.h"
#include "workflows/TextPool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const int width = int(qint8(data[0]));
    const QString text = QString::fromUtf8(fuzz::bytes(data + 1, size - 1));
    const QStringList lines = textpool::cutLines(text, width);
    fuzz::require(lines.size() <= 64, "more than 64 lines");
    for (const QString &line : lines) {
        fuzz::require(!line.isEmpty(), "an empty line");
        int cells = 0;
        const QStringList chars = gbk::characters(line);
        for (const QString &c : chars)
            cells += gbk::characterCode(c).size() == 2 ? 2 : 1;
        // Only a character alone on its line may be wider than the line.
        fuzz::require(cells <= width || chars.size() == 1, "a line wider than the width");
    }
    textpool::lineWidth(data[0] & 1, text, data[0] & 2);
    return 0;
}
