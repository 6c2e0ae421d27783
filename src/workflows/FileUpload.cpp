#include "workflows/FileUpload.h"

#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

namespace fileupload {

Kind arm() {
    return {command::byte(Command::FontUpload), 528, QStringLiteral("请选择字库文件")};
}
Kind fpga() {
    return {command::byte(Command::FpgaUpload), 528, QStringLiteral("请选择ASC文件")};
}

int load(led &device, OperatorUi &ui, const QString &file, int packetSize, bool lengthWord) {
    try {
        return lengthWord ? device.filetoarray9200(file, qint16(packetSize))
                          : device.filetoarray(file, qint16(packetSize));
    } catch (const VbError &e) {
        // Too many packets for the transfer's 16-bit count: nothing was loaded.
        if (e.number() == vberr::Overflow) {
            ui.message(e.text());
            return TooLarge;
        }
        ui.statusError(e.number(), e.text());
    }
    return Unreadable;
}

bool send(led &device, OperatorUi &ui, const QString &file, int commandByte, int packetSize) {
    const int packets = load(device, ui, file, packetSize);
    if (packets < 0) return false;
    qint32 counter = packets;
    return device.senddata(qint16(commandByte), counter, packetSize);
}

workflow::Outcome update(led &device, OperatorUi &ui, const workflow::Connection &c,
                         const QString &file, const Kind &kind) {
    return workflow::trapped(ui, [&] {
        device.PAdress = VbNumbers::int16Of(c.address);
        if (file.isEmpty()) {
            ui.message(kind.emptyMessage);
            return workflow::Outcome::Refused;
        }
        const int packets = load(device, ui, file, kind.packetSize, kind.lengthWord);
        if (packets < 0) {
            if (packets == Unreadable) ui.message(QStringLiteral("更新失败"));
            return workflow::Outcome::Refused;
        }
        workflow::connect(device, c);
        qint32 counter = packets;
        const bool ok = device.senddata(qint16(kind.commandByte), counter, kind.packetSize);
        workflow::tellResult(device, ui, ok, QStringLiteral("更新成功"),
                             QStringLiteral("更新失败"));
        return workflow::acknowledged(ok);
    });
}

} // namespace fileupload
