// The property answer as any bytes (38 of them make an answer): the property
// string it gives, and that string or any text shown in the panel's fields.
#include "FuzzSupport.h"

#include "protocol/VbError.h"
#include "protocol/led.h"
#include "workflows/DisplayProperties.h"

namespace {
void show(const QString &properties) {
    try {
        displayproperties::showProperties(properties, displayproperties::Fields{});
    } catch (const VbError &) {
        // A value no item has is refused with its number.
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    fuzz::port().answer = input;
    const QString properties = fuzz::device().Chqshuxing();
    if (input.size() == led::PropertyAnswerSize && input.startsWith(QByteArray(3, '\0')))
        fuzz::require(properties.split(QLatin1Char(',')).size() == 27,
                      "an answer does not give 27 fields");
    if (!properties.isEmpty()) show(properties);
    // ledctl and the window take the same string as text, numbers of any size.
    show(QString::fromUtf8(input));
    return 0;
}
