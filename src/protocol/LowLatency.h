#pragma once
// Low-latency mode of a serial driver. A USB adapter (FTDI and its kin)
// otherwise holds each short answer for its latency timer, 16 ms by default,
// which costs a quarter of the line time at 115200 baud.
#include <QtGlobal>

namespace LowLatency {
enum class Result {
    Set,        // the driver now passes each byte on at once
    AlreadySet, // it did so already
    Refused,    // the driver has no such mode (a pty) or we may not set it
    Failed,     // anything else
};
// Asks the driver behind an open port's handle for low-latency mode. Best
// effort: whatever the answer, the port works as before.
Result request(qintptr handle);
} // namespace LowLatency
