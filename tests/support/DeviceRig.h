#pragma once
// A `led` object on a scripted port that answers like board 1, and an
// operator that records what would have been shown.
#include "protocol/led.h"
#include "support/FakePort.h"
#include "support/RecordingOperator.h"

#include <memory>

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

struct DeviceRig {
    led device;
    FakePort *port;
    RecordingOperator ui;
    DeviceRig() {
        auto p = std::make_unique<FakePort>();
        port = p.get();
        device.setPort(std::move(p));
        device.setOperator(&ui);
        device.serieinit(1, QStringLiteral("9600"));
        device.PAdress = 1;
        port->onWrite = answerLikeBoard;
    }
};
