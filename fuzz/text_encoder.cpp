// The text encoders: the first bytes pick the colour, effect, speed, stay time
// and line width (some out of range on purpose), the rest is the text.
#include "FuzzSupport.h"

#include "encoding/Gbk.h"
#include "encoding/TextChecks.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 5) return 0;
    // 0..383: a third of the values do not fit a byte.
    const auto value = [&](int i) { return qint16(data[i] + (data[4] >> i & 1) * 128); };
    const QString text = QString::fromUtf8(fuzz::bytes(data + 5, size - 5));
    led &device = fuzz::device();
    const qsizetype codeBytes = gbk::codeBytes(text).size();
    try {
        fuzz::require(device.Strtoneima(text, value(0)) == codeBytes + 1, "plain length");
    } catch (const VbError &) {
    }
    try {
        fuzz::require(device.Strtoneima1(text, value(0), value(1), value(2), value(3)) ==
                          codeBytes + 4,
                      "length with effect");
    } catch (const VbError &) {
    }
    try {
        qint16 cols = qint16(value(1) * 4 - 200);
        device.Strtoneima2(text, cols);
    } catch (const VbError &) {
    }
    textchecks::textProblem(text);
    textchecks::unrepresentableProblem(text);
    gbk::decode(fuzz::bytes(data, size));
    return 0;
}
