#include "cli/StopSignals.h"

#include <QTimer>
#include <atomic>
#include <csignal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace cli {
namespace {
#ifdef Q_OS_UNIX
// The write end of the self-pipe; a handler may only write to it.
int g_wakeFd = -1;
extern "C" void wake(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wakeFd, &byte, 1);
}
#else
std::atomic<bool> g_stopped{false};
extern "C" void wake(int) {
    g_stopped = true;
}
#endif
} // namespace

struct StopSignals::Handlers {
    void (*previousInt)(int) = SIG_DFL;
    void (*previousTerm)(int) = SIG_DFL;
#ifdef Q_OS_UNIX
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
#else
    QTimer poll;
#endif
};

StopSignals::StopSignals(std::function<void()> onStop)
    : m_handlers(std::make_unique<Handlers>()), m_onStop(std::move(onStop)) {
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, m_handlers->fds) == 0) {
        ::fcntl(m_handlers->fds[1], F_SETFL, O_NONBLOCK);
        g_wakeFd = m_handlers->fds[1];
        m_handlers->notifier =
            std::make_unique<QSocketNotifier>(m_handlers->fds[0], QSocketNotifier::Read);
        connect(m_handlers->notifier.get(), &QSocketNotifier::activated, this, [this] {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(m_handlers->fds[0], &byte, 1);
            m_onStop();
        });
    }
#else
    g_stopped = false;
    connect(&m_handlers->poll, &QTimer::timeout, this, [this] {
        if (g_stopped.exchange(false)) m_onStop();
    });
    m_handlers->poll.start(200);
#endif
    m_handlers->previousInt = std::signal(SIGINT, wake);
    m_handlers->previousTerm = std::signal(SIGTERM, wake);
}

StopSignals::~StopSignals() {
    std::signal(SIGINT, m_handlers->previousInt);
    std::signal(SIGTERM, m_handlers->previousTerm);
#ifdef Q_OS_UNIX
    m_handlers->notifier.reset();
    g_wakeFd = -1;
    for (int fd : m_handlers->fds)
        if (fd >= 0) ::close(fd);
#endif
}

} // namespace cli
