// Covers the virtual screen's pty and its ports/COMn link: created in the
// program directory, answering through the slave, surviving a host that closes
// and reopens, refusing a live link, replacing a dead one, gone after unplug.
#include "sim/VirtualLine.h"
#include "support/TempProgramDir.h"

#include <QFileInfo>
#include <QSocketNotifier>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// The host end, opened raw on the link the test created.
struct HostEnd {
    int fd = -1;
    explicit HostEnd(const QString &link) {
        fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~HostEnd() {
        if (fd >= 0) ::close(fd);
    }
    void write(const QByteArray &b) const {
        QCOMPARE(::write(fd, b.constData(), static_cast<size_t>(b.size())), b.size());
    }
    QByteArray read() const {
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }
};
} // namespace

class PtyLinkTest : public QObject {
    Q_OBJECT
  private slots:
    void theLinkIsMadeInPortsAndPointsAtThePty() {
        TempProgramDir dir;
        VirtualLine line;
        QString why;
        const QString link = VirtualLine::portLink(dir.path(), 3);
        QCOMPARE(link, dir.path() + QStringLiteral("/ports/COM3"));
        QVERIFY2(line.plugIn(link, &why), qPrintable(why));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), line.slavePath());
        QVERIFY(line.slavePath().startsWith(QStringLiteral("/dev/pts/")));
        line.unplug();
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(!line.isPlugged());
    }

    void aHostThatClosesAndReopensIsStillAnswered() {
        TempProgramDir dir;
        VirtualLine line;
        line.addBoard(1);
        const QString link = VirtualLine::portLink(dir.path(), 1);
        QVERIFY(line.plugIn(link));
        for (int round = 0; round < 3; ++round) {
            HostEnd host(link);
            QVERIFY(host.fd >= 0);
            host.write(hex("AA550001"));
            QByteArray got;
            QTRY_VERIFY((got += host.read()) == hex("A5"));
        }
        QCOMPARE(line.frames().size(), 3);
    }

    void aLiveLinkIsNotTakenOverButADeadOneIs() {
        TempProgramDir dir;
        const QString link = VirtualLine::portLink(dir.path(), 1);
        VirtualLine first;
        QVERIFY(first.plugIn(link));
        VirtualLine second;
        QString why;
        QVERIFY(!second.plugIn(link, &why));
        QVERIFY2(why.contains(QStringLiteral("already links to")), qPrintable(why));
        QCOMPARE(QFileInfo(link).symLinkTarget(), first.slavePath());
        // A link left behind by a screen that was killed points at nothing.
        first.unplug();
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/pts/99"), link));
        QVERIFY2(second.plugIn(link, &why), qPrintable(why));
        QCOMPARE(QFileInfo(link).symLinkTarget(), second.slavePath());
    }

    void unplugAfterAFrameTakesThePtyAway() {
        TempProgramDir dir;
        VirtualLine line;
        line.addBoard(1);
        FaultPlan p;
        QVERIFY(p.add(QStringLiteral("unplug-after:1")));
        line.setFaults(p);
        const QString link = VirtualLine::portLink(dir.path(), 1);
        QVERIFY(line.plugIn(link));
        QSignalSpy gone(&line, &VirtualLine::unplugged);
        HostEnd host(link);
        host.write(hex("AA550001"));
        // The answer reaches the host before the pty goes away; then it sees a hang-up.
        QByteArray got;
        QTRY_VERIFY((got += host.read()) == hex("A5"));
        QTRY_COMPARE(gone.size(), 1);
        QVERIFY(!QFileInfo(link).isSymLink());
        char c = 0;
        const ssize_t n = ::read(host.fd, &c, 1);
        const int error = errno;
        QVERIFY2(n == 0 || (n < 0 && error == EIO),
                 qPrintable(QStringLiteral("read %1 errno %2").arg(n).arg(error)));
    }
};

QTEST_GUILESS_MAIN(PtyLinkTest)
#include "tst_pty_link.moc"
