// The radio module's answer as any bytes (19 or 29 of them make one): the
// module string, the frame's fields and the setting frames built from it.
#include "FuzzSupport.h"

#include "protocol/led.h"
#include "workflows/Radio.h"

namespace {
void use(const QString &module) {
    radio::fieldsOf(module);
    const radio::Settings s = radio::settingStrings(module, 42, [] { return 7; });
    fuzz::require(led::radioFrame(s.first).size() == 8 && led::radioFrame(s.second).size() == 8,
                  "a setting string gives no 8-byte frame");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    fuzz::port().answer = input;
    const QString module = fuzz::device().Chqwxshuxing();
    const bool answered =
        input.size() == led::RadioAnswerShort || input.size() == led::RadioAnswerLong;
    fuzz::require(module.isEmpty() != answered, "an answer of the wrong size was taken");
    if (answered) {
        fuzz::require(module.size() == 11, "the module string is not 11 characters");
        use(module);
    }
    use(QString::fromLatin1(input));
    led::radioFrame(QString::fromUtf8(input));
    return 0;
}
