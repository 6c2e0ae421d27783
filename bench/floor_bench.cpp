// The host's cost of a transfer against the floor: the same upload (link,
// header, 200 packets of 528 bytes, command 14) to an unpaced ledsim child,
//  (a) by led::senddata through QtSerialPortIo, as every workflow sends;
//  (b) by a raw C loop on the same pty: write each frame, poll and read its
//      answer, nothing else.
// Both hold the port open across their rounds: opening (QSerialPort's lock
// file, the line settings) is paid once an action, not once a packet. Rounds
// of both alternate; the figures are the medians over rounds of this
// process's CPU time (user + system) and of the wall time, per packet.
// The screen answers at once, so the host's own work is all that differs.
// Exits 1 when a transfer fails or (a) costs more than 1.3x (b).
#include "ChildProcesses.h"
#include "protocol/PortLocator.h"
#include "protocol/ProgramDir.h"
#include "protocol/led.h"

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int Port = 101;
constexpr int Packets = 200;
constexpr int PacketSize = 528;
constexpr quint8 Command14 = 14;
constexpr int Rounds = 9;
constexpr double Bound = 1.3;
constexpr double NetBound = 1.2;

quint8 dataByte(int k, int i) {
    return quint8((k * 7 + i) & 0xFF);
}

struct Cost {
    double cpuMs = 0;
    double userMs = 0;
    double wallMs = 0;
};

Cost cpuNow() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return {bench::cpuMs(r), double(r.ru_utime.tv_sec) * 1e3 + double(r.ru_utime.tv_usec) / 1e3, 0};
}

// Reads exactly n bytes, polling; false on a time-out or an error.
bool readAnswer(int fd, unsigned char *into, int n) {
    int got = 0;
    while (got < n) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0) return false;
        const ssize_t r = read(fd, into + got, size_t(n - got));
        if (r <= 0) return false;
        got += int(r);
    }
    return true;
}

bool writeAll(int fd, const unsigned char *bytes, size_t n) {
    while (n > 0) {
        const ssize_t w = write(fd, bytes, n);
        if (w < 0) {
            if (errno != EAGAIN) return false;
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 1000);
            continue;
        }
        bytes += w;
        n -= size_t(w);
    }
    return true;
}

int rawOpen(const QByteArray &device) {
    const int fd = open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// flush: also drop waiting input before each packet, as the protocol asks.
bool rawTransfer(int fd, bool flush = false) {
    bool ok = true;
    unsigned char answer[3];
    const unsigned char linkFrame[] = {0xAA, 0x55, 0x00, 0x01};
    ok =
        writeAll(fd, linkFrame, sizeof linkFrame) && readAnswer(fd, answer, 1) && answer[0] == 0xA5;
    const unsigned char header[] = {0x04,      0x00,         0x00,          0x01,
                                    Command14, Packets >> 8, Packets & 0xFF};
    ok = ok && writeAll(fd, header, sizeof header) && readAnswer(fd, answer, 3) &&
         answer[0] == Command14 && answer[1] == (Packets >> 8) && answer[2] == (Packets & 0xFF);
    unsigned char packet[4 + PacketSize + 1];
    for (int k = 0; ok && k < Packets; ++k) {
        packet[0] = quint8((k + 1) >> 8);
        packet[1] = quint8(k + 1);
        packet[2] = quint8(PacketSize >> 8);
        packet[3] = quint8(PacketSize & 0xFF);
        unsigned char sum = packet[0] ^ packet[1] ^ packet[2] ^ packet[3];
        for (int i = 0; i < PacketSize; ++i) {
            packet[4 + i] = dataByte(k, i);
            sum ^= packet[4 + i];
        }
        packet[4 + PacketSize] = sum;
        if (flush && tcflush(fd, TCIFLUSH) != 0) { // a socket: read what waits
            unsigned char stale[4096];
            while (recv(fd, stale, sizeof stale, MSG_DONTWAIT) > 0) {
            }
        }
        ok = writeAll(fd, packet, sizeof packet) && readAnswer(fd, answer, 1) && answer[0] == sum;
    }
    return ok;
}

template <typename F> Cost measure(F &&transfer, bool *ok) {
    QElapsedTimer wall;
    const Cost before = cpuNow();
    wall.start();
    *ok = transfer() && *ok;
    const Cost after = cpuNow();
    return {after.cpuMs - before.cpuMs, after.userMs - before.userMs,
            static_cast<double>(wall.nsecsElapsed()) / 1e6};
}

// (c) The same led::senddata transfer over a tcp:// line: ser2net bridges a
// loopback port to an unpaced ledsim of its own, and rounds alternate with the
// direct line to a twin ledsim (ser2net closes its end of a pty some time
// after the connection ends, so the two may not share one). The network seam
// may add 20%.
struct NetworkFigures {
    bool ran = false;
    bool ok = true;
    double directCpu = 0, directWall = 0, netCpu = 0, netWall = 0; // us a packet
    double directUser = 0, netUser = 0; // the user-space part of the CPU: our own code
    double rawNetCpu = 0;               // the raw C loop over the same tcp:// line
    double rawNetFlushCpu = 0;          // the same, dropping waiting input first
};

// A raw C client of the device server: a blocking-connected, then
// non-blocking TCP socket on which rawTransfer writes, polls and reads.
int rawConnect(quint16 port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return fd;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

NetworkFigures networkSideBySide(const QString &dir) {
    constexpr int SimPort = 102, NetPort = 103, BridgedPort = 104;
    // CPU time is counted in scheduler ticks: enough packets a round that a
    // tick is a small part of it.
    constexpr int Transfers = 10, PerRound = Packets * Transfers;
    NetworkFigures f;
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    bench::Sim sim, bridged;
    if (program.isEmpty() || !sim.start(dir, SimPort, {}) || !bridged.start(dir, BridgedPort, {}))
        return f;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 tcpPort = probe.serverPort();
    probe.close();
    const QString config = dir + QStringLiteral("/ser2net.yaml");
    QFile yaml(config);
    QFile line(PortLocator::linkPath(NetPort));
    if (!yaml.open(QIODevice::WriteOnly) || !line.open(QIODevice::WriteOnly)) return f;
    yaml.write(QStringLiteral("connection: &bench\n  accepter: tcp,127.0.0.1,%1\n"
                              "  connector: serialdev,%2,115200n81,local\n"
                              "  options:\n    chardelay: false\n")
                   .arg(tcpPort)
                   .arg(QFileInfo(PortLocator::linkPath(BridgedPort)).symLinkTarget())
                   .toUtf8());
    yaml.close();
    line.write(QStringLiteral("tcp://127.0.0.1:%1\n").arg(tcpPort).toUtf8());
    line.close();
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(program, {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), config,
                           QStringLiteral("-P"), dir + QStringLiteral("/ser2net.pid")});
    QElapsedTimer started;
    started.start();
    bool listening = false;
    while (!listening && server.waitForStarted() && started.elapsed() < 10000) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, tcpPort);
        listening = s.waitForConnected(200);
    }
    if (!listening) return f;
    f.ran = true;

    led screen;
    screen.PAdress = 1;
    for (int k = 0; k < Packets; ++k)
        for (int i = 0; i < PacketSize; ++i)
            screen.table().set(k, i, dataByte(k, i));
    const auto over = [&](int port) {
        return [&screen, port] {
            screen.serieinit(qint16(port), QStringLiteral("115200"));
            const led::PortTurn turn(screen);
            bool ok = true;
            for (int t = 0; t < Transfers; ++t) {
                qint32 counter = Packets;
                ok = screen.senddata(qint16(Command14), counter, PacketSize) && ok;
            }
            return ok;
        };
    };
    const auto rawOverFlushing = [tcpPort](bool flush) {
        return [tcpPort, flush] {
            const int fd = rawConnect(tcpPort);
            bool ok = fd >= 0;
            for (int t = 0; ok && t < Transfers; ++t)
                ok = rawTransfer(fd, flush);
            if (fd >= 0) close(fd);
            return ok;
        };
    };
    const auto rawOver = rawOverFlushing(false);
    std::vector<double> dCpu, dWall, nCpu, nWall, dUser, nUser, rCpu, rfCpu;
    measure(over(SimPort), &f.ok); // warm-up
    measure(over(NetPort), &f.ok);
    measure(rawOver, &f.ok);
    for (int round = 0; round < Rounds; ++round) {
        const Cost a = measure(over(SimPort), &f.ok);
        dUser.push_back(a.userMs / PerRound * 1e3);
        const Cost c = measure(over(NetPort), &f.ok);
        nUser.push_back(c.userMs / PerRound * 1e3);
        rCpu.push_back(measure(rawOver, &f.ok).cpuMs / PerRound * 1e3);
        rfCpu.push_back(measure(rawOverFlushing(true), &f.ok).cpuMs / PerRound * 1e3);
        dCpu.push_back(a.cpuMs / PerRound * 1e3);
        dWall.push_back(a.wallMs / PerRound * 1e3);
        nCpu.push_back(c.cpuMs / PerRound * 1e3);
        nWall.push_back(c.wallMs / PerRound * 1e3);
    }
    server.kill();
    server.waitForFinished();
    f.directCpu = bench::median(dCpu);
    f.directWall = bench::median(dWall);
    f.netCpu = bench::median(nCpu);
    f.netWall = bench::median(nWall);
    f.directUser = bench::median(dUser);
    f.netUser = bench::median(nUser);
    f.rawNetCpu = bench::median(rCpu);
    f.rawNetFlushCpu = bench::median(rfCpu);
    return f;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    bench::Sim sim;
    if (!dir.isValid() || !sim.start(dir.path(), Port, {})) {
        std::printf("ledsim did not start\n");
        return 1;
    }
    ProgramDir::setOverride(dir.path());
    const QByteArray device = QFile::encodeName(PortLocator::devicePath(Port));
    led screen;
    screen.PAdress = 1;
    for (int k = 0; k < Packets; ++k)
        for (int i = 0; i < PacketSize; ++i)
            screen.table().set(k, i, dataByte(k, i));
    screen.serieinit(Port, QStringLiteral("115200"));
    const led::PortTurn turn(screen);
    const auto viaLed = [&] {
        qint32 counter = Packets;
        return screen.senddata(qint16(Command14), counter, PacketSize);
    };
    const int fd = rawOpen(device);
    const auto raw = [&] { return fd >= 0 && rawTransfer(fd); };
    const auto rawFlushing = [&] { return fd >= 0 && rawTransfer(fd, true); };

    bool ok = true;
    std::vector<double> ledCpu, ledUser, ledWall, rawCpu, rawUser, rawWall, flushCpu;
    measure(viaLed, &ok); // warm-up: first open, first allocations
    measure(raw, &ok);
    for (int round = 0; round < Rounds; ++round) {
        const Cost a = measure(viaLed, &ok);
        const Cost b = measure(raw, &ok);
        ledCpu.push_back(a.cpuMs / Packets * 1e3);
        ledUser.push_back(a.userMs / Packets * 1e3);
        rawUser.push_back(b.userMs / Packets * 1e3);
        ledWall.push_back(a.wallMs / Packets * 1e3);
        rawCpu.push_back(b.cpuMs / Packets * 1e3);
        rawWall.push_back(b.wallMs / Packets * 1e3);
        flushCpu.push_back(measure(rawFlushing, &ok).cpuMs / Packets * 1e3);
    }
    close(fd);
    const double ratioCpu = bench::median(ledCpu) / bench::median(rawCpu);
    const double ratioWall = bench::median(ledWall) / bench::median(rawWall);
    std::printf("floor: %d packets of %d bytes, command %d, unpaced ledsim, median of %d rounds\n",
                Packets, PacketSize, Command14, Rounds);
    std::printf("  (a) led::senddata: %.1f us CPU (%.1f user), %.1f us wall a packet\n",
                bench::median(ledCpu), bench::median(ledUser), bench::median(ledWall));
    std::printf("  (b) raw poll/read/write: %.1f us CPU (%.1f user), %.1f us wall a packet\n",
                bench::median(rawCpu), bench::median(rawUser), bench::median(rawWall));
    std::printf("  (b') the raw loop dropping waiting input before each packet: %.1f us CPU; "
                "(a)/(b') %.2f\n",
                bench::median(flushCpu), bench::median(ledCpu) / bench::median(flushCpu));
    std::printf("  ratio (a)/(b): CPU %.2f, wall %.2f (bound %.1f on CPU): %s\n", ratioCpu,
                ratioWall, Bound, ok && ratioCpu <= Bound ? "ok" : "NOT MET");
    const NetworkFigures net = networkSideBySide(dir.path());
    const bool netMet = !net.ran || (net.ok && net.netCpu <= NetBound * net.directCpu);
    if (net.ran) {
        std::printf(
            "  (c) led::senddata over tcp:// via ser2net: %.1f us CPU, %.1f us wall a packet"
            "; direct to the same ledsim %.1f us CPU, %.1f us wall\n",
            net.netCpu, net.netWall, net.directCpu, net.directWall);
        std::printf("      of it in user space (as the scheduler samples it): %.1f us "
                    "over tcp://, %.1f us direct\n",
                    net.netUser, net.directUser);
        std::printf("  (d) raw poll/read/write over the same tcp:// line: %.1f us CPU a packet; "
                    "(c)/(d) %.2f beside (a)/(b) %.2f\n",
                    net.rawNetCpu, net.netCpu / net.rawNetCpu, ratioCpu);
        std::printf("  (d') the same, reading away waiting input before each packet: %.1f us CPU; "
                    "(c)/(d') %.2f\n",
                    net.rawNetFlushCpu, net.netCpu / net.rawNetFlushCpu);
        std::printf("  ratio (c)/direct: CPU %.2f, wall %.2f (bound %.1f on CPU): %s\n",
                    net.netCpu / net.directCpu, net.netWall / net.directWall, NetBound,
                    net.ok ? (netMet ? "ok" : "NOT MET") : "a transfer FAILED");
    } else {
        std::printf("  (c) not measured: ser2net (scripts/deps.sh) did not start\n");
    }
    std::fflush(stdout);
    return ok && ratioCpu <= Bound && netMet ? 0 : 1;
}
