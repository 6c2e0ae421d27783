// Covers how opening the port fails, as the operator sees it: a port number
// with no port behind it, a link to a screen that is gone, and a port that
// another process holds open, waited for until it is freed or the wait ends. The holder is this
// test program started again with --hold-port LINK: it opens the link with QSerialPort, as any
// other program would, and keeps it until its standard input closes. Also how
// the production port takes bytes in place on a pty.
#include "ScreenRig.h"
#include "protocol/LowLatency.h"
#include "protocol/QtSerialPortIo.h"
#include "support/PtyLink.h"
#include "support/TempProgramDir.h"

#include <QSignalSpy>
#include <sys/prctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

namespace {
int holdPort(const QString &link) {
    QSerialPort port(link);
    if (!port.open(QIODevice::ReadWrite)) {
        std::printf("failed %s\n", qPrintable(port.errorString()));
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    // Blocks until the test closes our input; no polling.
    while (std::getchar() != EOF) {
    }
    return 0;
}
} // namespace

class PortOpeningTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { led::setTimeScale(0.5); }
    void cleanup() { led::setTimeScale(1.0); }

    void aPortNumberWithNoPortSaysInvalidPortNumber() {
        TempProgramDir dir;
        led device;
        RecordingOperator ui;
        device.setOperator(&ui);
        device.PAdress = 1;
        device.serieinit(100, QStringLiteral("9600")); // no link, and no device for 97..128
        QVERIFY(!device.CSetLight(1));
        QCOMPARE(ui.messages(), QStringList{QStringLiteral("无效端口号")});
        QCOMPARE(ui.shown.at(0).caption, QStringLiteral("串口"));
        QVERIFY(!device.MSComm1().isOpen());
    }

    void aLinkToAScreenThatIsGoneSaysInvalidPortNumber() {
        TempProgramDir dir;
        QVERIFY(QDir().mkpath(dir.file(QStringLiteral("ports"))));
        QVERIFY(QFile::link(dir.file(QStringLiteral("ports/nothing-here")),
                            dir.file(QStringLiteral("ports/COM100"))));
        led device;
        RecordingOperator ui;
        device.setOperator(&ui);
        device.serieinit(100, QStringLiteral("9600"));
        QVERIFY(!device.Link_Build(1));
        QCOMPARE(ui.messages(), QStringList{QStringLiteral("无效端口号")});
    }

    void aPortHeldByAnotherProcessIsWaitedForThenSaysAlreadyOpen() {
        ScreenRig rig;
        QVERIFY2(rig.plugged(), qPrintable(rig.error));
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--hold-port"), rig.link});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY(holder.canReadLine());
        QCOMPARE(holder.readLine().trimmed(), QByteArray("holding"));

        rig.device.setPortWait(200);
        QVERIFY(!rig.device.CSetLight(5));
        QCOMPARE(rig.ui.messages(), QStringList{QStringLiteral("串口已经打开")});
        QCOMPARE(rig.ui.shown.at(0).caption, QStringLiteral("串口"));
        QVERIFY(rig.line.frames().isEmpty());

        // Freed while we wait for our turn: the command goes through.
        rig.device.setPortWait(led::DefaultPortWaitMs);
        rig.ui.shown.clear();
        QTimer::singleShot(0, &holder, [&holder] { holder.closeWriteChannel(); });
        QVERIFY(rig.device.CSetLight(5));
        QVERIFY(rig.ui.shown.isEmpty());
        QCOMPARE(rig.board().brightness, 5);
        QTRY_COMPARE(holder.state(), QProcess::NotRunning);
        QCOMPARE(holder.exitCode(), 0);
    }

    void theProgramsOwnTransferLeavesThePortFreeForOthers() {
        ScreenRig rig;
        QVERIFY(rig.device.CSetLight(7));
        QSerialPort other(rig.link);
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }

    // A pty has no low-latency mode: the request is refused, nothing is told,
    // and the port works as before.
    void aPtyRefusesLowLatencyQuietly() {
        ScreenRig rig;
        QVERIFY2(rig.plugged(), qPrintable(rig.error));
        QSerialPort port(rig.link);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QCOMPARE(LowLatency::request(port.handle()), LowLatency::Result::Refused);
        port.close();
        QVERIFY(rig.device.CSetLight(3));
        QVERIFY(rig.ui.shown.isEmpty());
        QCOMPARE(rig.board().brightness, 3);
    }

    // A wait takes bytes in place while the port's own buffer is empty;
    // they come before what the port reads later, and clearing the input
    // drops them as well.
    void bytesTakenInPlaceKeepTheirOrderAndAreCleared() {
        TempProgramDir dir;
        PtyLink pty(7);
        QVERIFY(pty.isValid());
        QtSerialPortIo port;
        port.setPortNumber(7);
        QVERIFY(port.open());
        const auto board = [&](const QByteArray &bytes) {
            QCOMPARE(::write(pty.masterFd(), bytes.constData(), size_t(bytes.size())),
                     ssize_t(bytes.size()));
        };
        board(QByteArrayLiteral("ab"));
        for (int i = 0; i < 100 && port.bytesWaiting() < 2; ++i)
            port.waitForBytes(20); // in place: no event loop runs here
        QCOMPARE(port.bytesWaiting(), 2);
        QSignalSpy portRead(&port, &SerialPortIo::readyRead);
        board(QByteArrayLiteral("c"));
        QVERIFY(portRead.wait(2000)); // read by the port in the event loop
        QCOMPARE(port.readAll(), QByteArrayLiteral("abc"));
        board(QByteArrayLiteral("d"));
        QVERIFY(port.waitForBytes(2000));
        port.clearInput();
        QCOMPARE(port.bytesWaiting(), 0);
        board(QByteArrayLiteral("e"));
        const int slack = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
        QVERIFY(port.waitForBytes(2000));
        QCOMPARE(port.readAll(), QByteArrayLiteral("e"));
        QVERIFY(!port.waitForBytes(5)); // silence: the sleep ran out
        // The looser timer of the sleep in place is the thread's own again.
        QCOMPARE(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0), slack);
    }
};

int main(int argc, char **argv) {
    if (argc == 3 && qstrcmp(argv[1], "--hold-port") == 0) {
        QCoreApplication app(argc, argv);
        return holdPort(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    PortOpeningTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_port_opening.moc"
