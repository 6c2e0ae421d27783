#include "protocol/LowLatency.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace LowLatency {

#ifdef Q_OS_LINUX
namespace {
Result refusalOf(int error) {
    // ENOTTY: not a serial driver (a pty); EINVAL: one that keeps no such
    // flags; EPERM: setting them needs rights we lack.
    return error == ENOTTY || error == EINVAL || error == EPERM ? Result::Refused : Result::Failed;
}
} // namespace

Result request(qintptr handle) {
    const int fd = int(handle);
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return refusalOf(errno);
    constexpr int flag = int(ASYNC_LOW_LATENCY);
    if (serial.flags & flag) return Result::AlreadySet;
    serial.flags |= flag;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0) return refusalOf(errno);
    return Result::Set;
}
#else
Result request(qintptr) {
    return Result::Refused;
}
#endif

} // namespace LowLatency
