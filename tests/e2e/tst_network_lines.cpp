// Lines carried over the network: Debian's ser2net, started here in the
// foreground on a loopback port, bridges to the virtual screen's pty, and the
// port's ports/COMn file names it as tcp:// or rfc2217://. What arrives on the
// board must be what a direct line delivers; a server that dies is one
// failure, in ledctl's device object and in the window alike, and the line
// works again once it is back.
#include "ScreenRig.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "protocol/PortScan.h"
#include "support/CliRun.h"
#include "support/LedsimChild.h"
#include "workflows/FileUpload.h"
#include "workflows/QueueCalling.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <algorithm>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int TcpPort = 102;
constexpr int TelnetPort = 103;

// The rows of /proc/net/tcp, each split into its fields: local and remote
// address, state (0A listening, 01 established), transmit:receive queue, ...
QList<QList<QByteArray>> tcpTable() {
    QList<QList<QByteArray>> rows;
    QFile table(u"/proc/net/tcp"_s);
    if (!table.open(QIODevice::ReadOnly)) return rows;
    for (const QByteArray &line : table.readAll().split('\n'))
        rows.append(line.simplified().split(' ').mid(1));
    return rows;
}

QByteArray hexPort(quint16 port) {
    return ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
}

quint16 freeLoopbackPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// ser2net in the foreground with one connection from a loopback port to a device.
struct Ser2net {
    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;

    bool start(const QString &device, bool telnet, quint16 onPort = 0) {
        const QString program = QStandardPaths::findExecutable(u"ser2net"_s).isEmpty()
                                    ? QStandardPaths::findExecutable(u"ser2net"_s, {u"/usr/sbin"_s})
                                    : QStandardPaths::findExecutable(u"ser2net"_s);
        if (program.isEmpty()) return false;
        port = onPort ? onPort : freeLoopbackPort();
        QFile config(dir.filePath(u"ser2net.yaml"_s));
        if (!config.open(QIODevice::WriteOnly)) return false;
        config.write(QStringLiteral("connection: &line\n"
                                    "  accepter: %1tcp,127.0.0.1,%2\n"
                                    "  connector: serialdev,%3,9600n81,local\n"
                                    "  options:\n    chardelay: false\n")
                         .arg(telnet ? u"telnet(rfc2217),"_s : QString())
                         .arg(port)
                         .arg(device)
                         .toUtf8());
        config.close();
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {u"-n"_s, u"-u"_s, u"-c"_s, config.fileName(), u"-P"_s,
                                dir.filePath(u"ser2net.pid"_s)});
        if (!process.waitForStarted()) return false;
        // Listening is looked up, not tried: a trial connection would have
        // ser2net open the pty behind the test's back for a while.
        return QTest::qWaitFor(
            [&] {
                const auto rows = tcpTable();
                return std::any_of(rows.begin(), rows.end(), [&](const QList<QByteArray> &f) {
                    return f.size() > 2 && f[0].endsWith(hexPort(port)) && f[2] == "0A";
                });
            },
            10000);
    }
    // Starts and makes the line ports/COM<number> of `dir` a client of it.
    bool serve(const TempProgramDir &programDir, int number, const QString &device, bool telnet) {
        if (!start(device, telnet)) return false;
        QFile line(programDir.file(u"ports/COM%1"_s.arg(number)));
        return line.open(QIODevice::WriteOnly) && line.write(url(telnet).toUtf8() + "\n") > 0;
    }
    QString url(bool telnet) const {
        return (telnet ? u"rfc2217://127.0.0.1:%1"_s : u"tcp://127.0.0.1:%1"_s).arg(port);
    }
    ~Ser2net() {
        process.kill();
        process.waitForFinished();
    }
};

void nameLine(const TempProgramDir &dir, int port, const QString &url) {
    QFile f(dir.file(u"ports/COM%1"_s.arg(port)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(url.toUtf8() + "\n");
}

QByteArray received(const VirtualLine &line) {
    QByteArray all;
    for (const Frame &f : line.frames())
        all += f.raw;
    return all;
}

speed_t farEndSpeed(const QString &pty) {
    const int fd = ::open(QFile::encodeName(pty).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    const bool ok = fd >= 0 && ::tcgetattr(fd, &t) == 0;
    if (fd >= 0) ::close(fd);
    return ok ? cfgetospeed(&t) : B0;
}

// Bytes waiting unread in the receive queue of this host's connection to a
// loopback server port, as the kernel reports them; -1 when there is none.
int receiveQueue(quint16 serverPort) {
    for (const QList<QByteArray> &f : tcpTable())
        if (f.size() > 3 && f[1] == "0100007F" + hexPort(serverPort) && f[2] == "01")
            return f[3].split(':').value(1).toInt(nullptr, 16);
    return -1;
}

} // namespace

class NetworkLinesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { led::setTimeScale(1.0); }

    void callingAndUploadOverTcpMatchTheDirectLine() {
        ScreenRig rig;
        QVERIFY2(rig.plugged(), qPrintable(rig.error));
        Ser2net server;
        QVERIFY2(server.serve(rig.dir, TcpPort, rig.line.slavePath(), false),
                 "ser2net (scripts/deps.sh) did not start");

        queuecalling::Fields call;
        call.text = u"请A001号到3号窗口"_s;
        QByteArray file(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < file.size(); ++i)
            file[i] = char((i * 7 + i / 528) & 0xFF); // every byte value, 0xFF and CR included
        const QString path = rig.dir.file(u"font.bin"_s);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();

        QByteArray direct;
        for (int port : {ScreenRig::Port, TcpPort}) {
            rig.line.clearRecord();
            rig.line.board(1)->state() = BoardState();
            QCOMPARE(queuecalling::run(rig.device, rig.ui, {port, u"9600"_s, u"1"_s}, call).outcome,
                     workflow::Outcome::Done);
            QVERIFY(rig.board().pictures.contains(1));
            QVERIFY2(fileupload::send(rig.device, rig.ui, path, 14, 528),
                     qPrintable(u"port %1"_s.arg(port)));
            QCOMPARE(rig.board().uploads.value(14).bytes.left(file.size()), file);
            if (port == ScreenRig::Port)
                direct = received(rig.line);
            else
                QVERIFY(received(rig.line) == direct);
        }
        QVERIFY(direct.size() > file.size());
        QCOMPARE(rig.ui.messages(), QStringList(2, u"汉字发送成功"_s));
    }

    void rfc2217SetsTheBaudAtTheFarEndAndCarries0xFFOnce() {
        ScreenRig rig;
        Ser2net server;
        QVERIFY2(server.serve(rig.dir, TelnetPort, rig.line.slavePath(), true),
                 "ser2net (scripts/deps.sh) did not start");

        // The pty starts at 38400; ser2net opens it at 9600. The speed is
        // read while the connection holds the pty.
        for (const auto &[baud, speed] :
             {std::pair{u"19200"_s, speed_t(B19200)}, std::pair{u"115200"_s, speed_t(B115200)}}) {
            rig.device.serieinit(TelnetPort, baud);
            const led::PortTurn turn(rig.device);
            QVERIFY(rig.device.CSetLight(0x0D));
            QCOMPARE(farEndSpeed(rig.line.slavePath()), speed);
        }
        QCOMPARE(rig.board().brightness, 0x0D);
        // Header, checksum 01 ^ 04 ^ FF FF FF 05 = 0xFF: the board's
        // acknowledgement is itself 0xFF and comes back doubled.
        QVERIFY(rig.send(21, 0x0301, 4, hex("FFFFFF05")));
        QCOMPARE(rig.board().pictures.value(5).rows, QList<QByteArray>{hex("FFFFFF05")});
        QCOMPARE(rig.line.frames().last().raw, hex("00010004FFFFFF05FF"));
        QCOMPARE(rig.ui.messages(), QStringList());
    }

    void aLateAnswerWaitingInTheSocketIsDroppedAsASerialFlushWould() {
        // The board is a ledsim of its own: this process runs no event loop
        // while the late answer arrives, so the socket keeps it unread.
        TempProgramDir dir;
        LedsimChild sim(dir.path(), 104, {u"--fault"_s, u"late:400"_s});
        QVERIFY(sim.waitReady());
        Ser2net server;
        QVERIFY2(server.serve(dir, TcpPort, QFileInfo(dir.file(u"ports/COM104"_s)).symLinkTarget(),
                              false),
                 "ser2net (scripts/deps.sh) did not start");
        led::setTimeScale(0.2);
        RecordingOperator ui;
        led device;
        device.setOperator(&ui);
        device.PAdress = 1;
        device.serieinit(TcpPort, u"9600"_s);
        const led::PortTurn turn(device); // one connection throughout
        QVERIFY(!device.Link_Build(1));
        QDeadlineTimer limit(5000);
        while (receiveQueue(server.port) < 1 && !limit.hasExpired())
            QThread::msleep(1);
        QCOMPARE(receiveQueue(server.port), 1); // the A5, 400 ms late
        // The board now answers everything late: a limit that waits for it.
        led::setTimeScale(1.0);
        QVERIFY(device.CSetLight(9));
        QCOMPARE(ui.messages(), QStringList());
    }

    void aServerKilledMidTransferIsOneFailureAndTheLineComesBack() {
        ScreenRig rig;
        Ser2net server;
        QVERIFY2(server.serve(rig.dir, TcpPort, rig.line.slavePath(), false),
                 "ser2net (scripts/deps.sh) did not start");
        rig.device.serieinit(TcpPort, u"9600"_s);
        constexpr int Packets = 2000;
        for (int k = 0; k < Packets; ++k)
            rig.device.table().set(k, 527, quint8(k));
        int frames = 0;
        connect(&rig.line, &VirtualLine::frameReceived, &rig.line, [&] {
            if (++frames == 50) server.process.kill();
        });
        qint32 counter = Packets;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!rig.device.senddata(14, counter, 528));
        QVERIFY(clock.elapsed() < led::PacketLimitMs);
        QCOMPARE(rig.ui.messages(), QStringList{u"通讯失败"_s});
        QVERIFY(!rig.portOpen());
        server.process.waitForFinished();

        // The board drops the packet the server's death cut short once the
        // line has been silent for a while, as a real board does.
        QTRY_VERIFY(rig.line.parser().partial().isEmpty());
        // A serial port nobody holds keeps nothing it received; the pty
        // does while the board holds its end, so its input is dropped here.
        const int pty = ::open(QFile::encodeName(rig.line.slavePath()).constData(),
                               O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(pty >= 0 && ::tcflush(pty, TCIFLUSH) == 0);
        ::close(pty);
        Ser2net back;
        QVERIFY(back.start(rig.line.slavePath(), false, server.port));
        rig.ui.shown.clear();
        rig.device.serieinit(TcpPort, u"9600"_s);
        QVERIFY(rig.device.CSetLight(7));
        QCOMPARE(rig.board().brightness, 7);
        QCOMPARE(rig.ui.messages(), QStringList());
    }

    void theWindowOffersTheLineAndStaysUsableWhenTheServerDies() {
        TempProgramDir dir;
        VirtualLine line;
        line.addBoard(1);
        QString error;
        QVERIFY2(line.plugIn(VirtualLine::portLink(dir.path(), ScreenRig::Port), &error),
                 qPrintable(error));
        Ser2net server;
        QVERIFY2(server.serve(dir, TcpPort, line.slavePath(), false),
                 "ser2net (scripts/deps.sh) did not start");
        const QString url = server.url(false);
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        Startup(w).run();
        auto *ports = w.findChild<QComboBox *>(u"Pchao"_s);
        QVERIFY(ports->findText(u"%1 (%2)"_s.arg(TcpPort).arg(url)) >= 0);
        ports->setCurrentText(QString::number(TcpPort));
        w.findChild<QLineEdit *>(u"Pdizhi"_s)->setText(u"1"_s);
        const auto setBrightness = [&](int value) {
            ui.shown.clear();
            w.findChild<QLineEdit *>(u"亮度"_s)->setText(QString::number(value));
            w.findChild<QPushButton *>(u"设置亮度"_s)->click();
        };
        setBrightness(128);
        QCOMPARE(ui.messages(), QStringList{u"设置成功"_s});
        QCOMPARE(line.board(1)->state().brightness, 128);

        server.process.kill();
        server.process.waitForFinished();
        setBrightness(64);
        QCOMPARE(ui.messages(), QStringList{u"通讯失败"_s});
        QVERIFY(w.isEnabled() && w.centralWidget()->isEnabled());

        Ser2net back;
        QVERIFY(back.start(line.slavePath(), false, server.port));
        setBrightness(64);
        QCOMPARE(ui.messages(), QStringList{u"设置成功"_s});
        QCOMPARE(line.board(1)->state().brightness, 64);
    }

    void portListsNameNetworkLinesWithoutConnecting() {
        ScreenRig rig;
        // Nothing answers there: a scan that tried would wait for its limit.
        nameLine(rig.dir, TcpPort, u"tcp://10.255.255.1:4001"_s);
        nameLine(rig.dir, TelnetPort, u"rfc2217://10.255.255.1:4002"_s);
        QElapsedTimer clock;
        clock.start();
        QStringList items;
        for (const PortScanEntry &e : scanPorts(rig.device.MSComm1()))
            items << e.text;
        QCOMPARE(items, (QStringList{u"101"_s, u"102 (tcp://10.255.255.1:4001)"_s,
                                     u"103 (rfc2217://10.255.255.1:4002)"_s}));
        const CliRun run = runLedctl({u"--dir"_s, rig.dir.path(), u"ports"_s});
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, u"101\tports/COM101 -> %1\n"
                          "102\ttcp://10.255.255.1:4001\n"
                          "103\trfc2217://10.255.255.1:4002\n"_s.arg(rig.line.slavePath()));
    }
};

QTEST_MAIN(NetworkLinesTest)
#include "tst_network_lines.moc"
