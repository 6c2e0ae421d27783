// Renders ledsim's --show window for a board that has just been sent the two
// default texts, a calling message and a window number, into a PNG: the
// picture in docs/ comes from this program run under Xvfb (xvfb-run -a).
#include "sim/BoardWatcher.h"
#include "sim/HostFrames.h"
#include "sim/ShowWindow.h"
#include "sim/VirtualLine.h"

#include <QApplication>
#include <QStringEncoder>
#include <QTimer>
#include <cstdio>

namespace {
QByteArray send(quint8 command, quint8 parameter, const QByteArray &payload) {
    return hostframes::onePacket(command, payload, 1, parameter);
}

QByteArray text(int picture, quint8 colour, const QString &t) {
    QStringEncoder gbk("GBK");
    const QByteArray codes = gbk.encode(t);
    return send(quint8(16 + picture), quint8(codes.size() - 1), char(colour) + codes);
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sim_screenshot OUT.png\n");
        return 2;
    }
    VirtualLine line;
    VirtualBoard &board = line.addBoard(1);
    line.receive(send(16, 0, QByteArray::fromHex("2003FF032020"))); // window number 3, yellow
    line.receive(text(4, 0x33, QStringLiteral("欢迎光临")));
    line.receive(text(5, 0x22, QStringLiteral("请稍候")));
    line.receive(text(1, 0x13, QStringLiteral("请A001号")));
    line.receive(send(2, 0, QByteArray::fromHex("1E000202")));
    ShowWindow window(board.address());
    window.show();
    window.showDots(BoardWatcher::dots(board), board.state().lastExchange);
    int code = 1;
    QTimer::singleShot(500, &app, [&] {
        code = window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return code;
}
