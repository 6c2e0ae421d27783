#include "encoding/TextPicture.h"

#include "encoding/TextChecks.h"
#include "protocol/Command.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

namespace textpicture {

namespace {
int codeByteCount(qint16 length, Layout layout) {
    return length - (layout == Layout::Plain ? 1 : 4);
}
} // namespace

int commandByte(int picture) {
    if (picture < FirstPicture || picture > LastPicture)
        throw VbError(vberr::InvalidCall, QStringLiteral("图号超出范围（%1到%2）：%3")
                                              .arg(FirstPicture)
                                              .arg(LastPicture)
                                              .arg(picture));
    return command::picture(picture);
}

qint32 packageCounter(qint16 length, Layout layout) {
    const int n = codeByteCount(length, layout);
    // n = 0 would put -1 into the high byte; longer texts would not fit it.
    if (n < 1 || n > textchecks::MaxCodeBytes)
        throw VbError(vberr::Overflow, QStringLiteral("文字长度超出范围：%1个字节").arg(n));
    return (n - 1) * 256 + 1;
}

bool send(led &device, int picture, qint16 length, Layout layout) {
    const int command = commandByte(picture);
    qint32 counter = packageCounter(length, layout);
    return device.senddata(qint16(command), counter, length);
}

} // namespace textpicture
