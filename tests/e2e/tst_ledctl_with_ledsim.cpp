// Covers the two executables together: ledsim announces its link, answers
// ledctl's link and send commands (brightness example, several addresses, a
// paced line), logs what it received, shows its faults to ledctl as exit code
// 1, refuses bad arguments with exit code 2, and removes its link when it is
// terminated; calls from several processes at once take turns on the line.
#include "support/LedsimChild.h"
#include "support/TempProgramDir.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {
const QString binDir = QStringLiteral(LEDCOUNTER_BIN_DIR);
constexpr int Port = 102;

struct Ctl {
    int code = -1;
    QString out;
    QString err;
};

// `fileSizeLimit` > 0: ledctl runs under that limit, with the signal's
// default action as a shell gives it.
Ctl ledctl(const QString &dir, const QStringList &args, rlim_t fileSizeLimit = 0) {
    QProcess p;
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = fileSizeLimit;
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(
        binDir + QStringLiteral("/ledctl"),
        QStringList{QStringLiteral("--dir"), dir, QStringLiteral("--port"), QString::number(Port)} +
            args);
    Ctl r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The first board of ledsim's --state file.
QJsonObject firstBoard(const QString &state) {
    QFile f(state);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(f.readAll())
        .object()
        .value(QStringLiteral("boards"))
        .toArray()
        .at(0)
        .toObject();
}

QStringList lines(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class LedctlWithLedsimTest : public QObject {
    Q_OBJECT
  private slots:
    void ledsimAnnouncesItsLinkAndRemovesItWhenTerminated() {
        TempProgramDir dir;
        const QString link = dir.path() + QStringLiteral("/ports/COM%1").arg(Port);
        LedsimChild sim(dir.path(), Port, {});
        QVERIFY(sim.waitReady());
        QCOMPARE(sim.readyLine, QStringLiteral("ready ") + link);
        QVERIFY(QFileInfo(link).isSymLink());
        sim.process.terminate();
        QVERIFY(sim.process.waitForFinished(5000));
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void brightnessExampleThroughLedctlSendIsLoggedByLedsim() {
        TempProgramDir dir;
        const QString log = dir.file(QStringLiteral("sim.log"));
        LedsimChild sim(dir.path(), Port, {QStringLiteral("--log"), log});
        QVERIFY(sim.waitReady());
        const Ctl r =
            ledctl(dir.path(), {QStringLiteral("send"), QStringLiteral("7"), QStringLiteral("1"),
                                QStringLiteral("1"), QStringLiteral("C8")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("acknowledged\n"));
        QTRY_COMPARE(lines(log).size(), 7);
        QCOMPARE(lines(log),
                 (QStringList{QStringLiteral("faults none"), QStringLiteral("link address=1"),
                              QStringLiteral("answer A5"),
                              QStringLiteral("header address=1 command=7 counter=0x0001 packets=1"),
                              QStringLiteral("answer 07 00 01"),
                              QStringLiteral("packet 1/1 number=1 size=1 checksum=C8 ok data=C8"),
                              QStringLiteral("answer C8")}));
    }

    void ledctlLinkExitCodesFollowTheScreen() {
        TempProgramDir dir;
        {
            LedsimChild sim(dir.path(), Port, {});
            QVERIFY(sim.waitReady());
            const Ctl ok = ledctl(dir.path(), {QStringLiteral("link")});
            QCOMPARE(ok.code, 0);
            QCOMPARE(ok.out, QStringLiteral("link ok\n"));
        }
        {
            LedsimChild sim(dir.path(), Port,
                            {QStringLiteral("--fault"), QStringLiteral("silent-link")});
            QVERIFY(sim.waitReady());
            QElapsedTimer t;
            t.start();
            const Ctl silent = ledctl(dir.path(), {QStringLiteral("link")});
            QCOMPARE(silent.code, 1);
            QCOMPARE(silent.out, QStringLiteral("link failed\n"));
            QVERIFY(t.elapsed() >= 1000);
        }
        const Ctl usage = ledctl(dir.path(), {QStringLiteral("link"), QStringLiteral("extra")});
        QCOMPARE(usage.code, 2);
    }

    void boardsAtSeveralAddressesAnswerOnOneLink() {
        TempProgramDir dir;
        const QString log = dir.file(QStringLiteral("sim.log"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--address"), QStringLiteral("1,2"),
                         QStringLiteral("--address"), QStringLiteral("600"),
                         QStringLiteral("--log"), log});
        QVERIFY(sim.waitReady());
        for (const char *address : {"1", "2", "600"}) {
            const Ctl r = ledctl(dir.path(),
                                 {QStringLiteral("--address"), QLatin1String(address),
                                  QStringLiteral("send"), QStringLiteral("7"), QStringLiteral("1"),
                                  QStringLiteral("1"), QStringLiteral("33")});
            QCOMPARE(r.code, 0);
        }
        QTRY_VERIFY(lines(log).contains(
            QStringLiteral("header address=600 command=7 counter=0x0001 packets=1")));
        QVERIFY(lines(log).contains(
            QStringLiteral("header address=2 command=7 counter=0x0001 packets=1")));
        // Address 600 is heard but never answered: its frames have no answer lines.
        const QStringList l = lines(log);
        const qsizetype at = l.indexOf(QStringLiteral("link address=600"));
        QVERIFY(at > 0);
        QCOMPARE(l.mid(at).filter(QStringLiteral("answer")).size(), 0);
    }

    void numbersAreDecimalAndHighAddressesAreSentUnacknowledged() {
        TempProgramDir dir;
        const QString log = dir.file(QStringLiteral("sim.log"));
        LedsimChild sim(
            dir.path(), Port,
            {QStringLiteral("--address"), QStringLiteral("10,600"), QStringLiteral("--log"), log});
        QVERIFY(sim.waitReady());
        const Ctl ten = ledctl(dir.path(), {QStringLiteral("--address"), QStringLiteral("010"),
                                            QStringLiteral("brightness"), QStringLiteral("010")});
        QCOMPARE(ten.code, 0);
        QCOMPARE(ten.out, QStringLiteral("acknowledged\n"));
        QTRY_VERIFY(lines(log).contains(
            QStringLiteral("packet 1/1 number=1 size=1 checksum=0A ok data=0A")));
        QVERIFY(lines(log).contains(QStringLiteral("link address=10")));
        const Ctl call = ledctl(
            dir.path(), {QStringLiteral("--address"), QStringLiteral("10"), QStringLiteral("call"),
                         QStringLiteral("upper"), QStringLiteral("A"), QStringLiteral("--speed"),
                         QStringLiteral("08"), QStringLiteral("--stay"), QStringLiteral("09")});
        QCOMPARE(call.code, 0);
        QCOMPARE(call.out, QStringLiteral("sent\n"));
        QTRY_VERIFY(lines(log).filter(QStringLiteral("data=1E 00 08 09")).size() == 1);
        const Ctl high = ledctl(dir.path(), {QStringLiteral("--address"), QStringLiteral("600"),
                                             QStringLiteral("power"), QStringLiteral("on")});
        QCOMPARE(high.code, 0);
        QCOMPARE(high.out,
                 QStringLiteral("sent (not acknowledged at addresses of 512 and more)\n"));
        // The window number is acknowledged at any address.
        const Ctl window =
            ledctl(dir.path(), {QStringLiteral("--address"), QStringLiteral("600"),
                                QStringLiteral("window-number"), QStringLiteral("\\1")});
        QCOMPARE(window.code, 0);
        QCOMPARE(window.out, QStringLiteral("acknowledged\n"));
    }

    void aCommandToBoardTwoChangesOnlyBoardTwoInTheStateFile() {
        TempProgramDir dir;
        const QString state = dir.file(QStringLiteral("state.json"));
        const QString snapshot = dir.file(QStringLiteral("board.png"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--address"), QStringLiteral("1,2"),
                         QStringLiteral("--size"), QStringLiteral("128x32,64x16"),
                         QStringLiteral("--state"), state, QStringLiteral("--snapshot"), snapshot});
        QVERIFY(sim.waitReady());
        QCOMPARE(ledctl(dir.path(), {QStringLiteral("--address"), QStringLiteral("2"),
                                     QStringLiteral("brightness"), QStringLiteral("9")})
                     .code,
                 0);
        QCOMPARE(ledctl(dir.path(),
                        {QStringLiteral("--address"), QStringLiteral("1"), QStringLiteral("call"),
                         QStringLiteral("upper"), QStringLiteral("欢迎光临")})
                     .code,
                 0);
        auto boards = [&] {
            QFile f(state);
            return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll())
                                                     .object()
                                                     .value(QStringLiteral("boards"))
                                                     .toArray()
                                               : QJsonArray();
        };
        QTRY_COMPARE(boards().at(0).toObject().value(QStringLiteral("lastExchange")).toString(),
                     QStringLiteral("显示 第1幅图 30秒"));
        const QJsonObject one = boards().at(0).toObject(), two = boards().at(1).toObject();
        QCOMPARE(one.value(QStringLiteral("address")).toInt(), 1);
        QCOMPARE(one.value(QStringLiteral("brightness")).toInt(), 255);
        QCOMPARE(two.value(QStringLiteral("brightness")).toInt(), 9);
        QCOMPARE(two.value(QStringLiteral("size")).toArray(), (QJsonArray{64, 16}));
        QVERIFY(two.value(QStringLiteral("pictures")).toObject().isEmpty());
        const QJsonObject picture =
            one.value(QStringLiteral("pictures")).toObject().value(QStringLiteral("1")).toObject();
        QCOMPARE(picture.value(QStringLiteral("text")).toString(), QStringLiteral("欢迎光临"));
        QCOMPARE(picture.value(QStringLiteral("bytes")).toString(),
                 QStringLiteral("93BBB6D3ADB9E2C1D9"));
        QCOMPARE(one.value(QStringLiteral("list")).toArray(),
                 QJsonArray{QStringLiteral("1E000202")});
        for (const char *key : {"baudCode", "power", "clock", "startPicture", "properties",
                                "windowNumber", "uploads", "radio"})
            QVERIFY2(one.contains(QLatin1String(key)), key);
        const QImage dots(snapshot);
        QCOMPARE(dots.size(), QSize(128, 32));
        QCOMPARE(dots.pixel(127, 0), qRgb(0, 255, 0)); // the green background of colour 147
    }

    void propertiesAndAddressChangesFollowTheRegistryWithScreen() {
        TempProgramDir dir;
        {
            // Two screens on the test's port: 收费窗口 at address 1, 二号 at 2.
            QFile ini(dir.file(QStringLiteral("ledfile.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            QStringEncoder gbk("GBK");
            ini.write(gbk.encode(QStringLiteral(
                "[屏总数]\r\nSUM=2\r\nDQPSign=1\r\n"
                "[第 1号屏]\r\nPname=收费窗口\r\nPcode=102\r\nPbtl=9600\r\nPadr=1\r\n"
                "[第 2号屏]\r\nPname=二号\r\nPcode=102\r\nPbtl=9600\r\nPadr=2\r\n")));
        }
        LedsimChild sim(dir.path(), Port, {QStringLiteral("--address"), QStringLiteral("1,2")});
        QVERIFY(sim.waitReady());
        const Ctl taken =
            ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("收费窗口"),
                                QStringLiteral("set-address"), QStringLiteral("2")});
        QCOMPARE(taken.code, 2);
        QVERIFY2(taken.err.contains(QStringLiteral("板卡号码重复，请输入合适的卡号")),
                 qPrintable(taken.err));
        const Ctl moved =
            ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("收费窗口"),
                                QStringLiteral("set-address"), QStringLiteral("3"),
                                QStringLiteral("--new-baud"), QStringLiteral("9600")});
        QCOMPARE(moved.code, 0);
        const Ctl read =
            ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("收费窗口"),
                                QStringLiteral("properties"), QStringLiteral("--store")});
        QCOMPARE(read.code, 0);
        QVERIFY2(read.out.startsWith(QStringLiteral("38,85,165,90,1,79,")), qPrintable(read.out));
        QFile ini(dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QStringDecoder dec("GBK");
        const QString text = dec.decode(ini.readAll());
        QVERIFY2(text.contains(QStringLiteral("Padr=3\r\nPchang=128\r\n")), qPrintable(text));
        const Ctl silent = ledctl(dir.path(), {QStringLiteral("--address"), QStringLiteral("1"),
                                               QStringLiteral("properties")});
        QCOMPARE(silent.code, 1);
        QVERIFY(silent.out.isEmpty());
    }

    void anImageForAScreenGoesAfterItsWindowNumberAsThePanelSendsIt() {
        TempProgramDir dir;
        const QString state = dir.file(QStringLiteral("state.json"));
        {
            QFile ini(dir.file(QStringLiteral("ledfile.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(QStringEncoder("GBK").encode(QStringLiteral(
                "[屏总数]\r\nSUM=1\r\nDQPSign=1\r\n[第 1号屏]\r\nPname=一号\r\nPcode=102\r\n"
                "Pbtl=9600\r\nPadr=1\r\nPchang=128\r\nPgao=16\r\nPcolor=0\r\nwindowNo=\\3\r\n")));
        }
        QImage picture(200, 16, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QString file = dir.file(QStringLiteral("logo.png"));
        QVERIFY(picture.save(file));
        LedsimChild sim(
            dir.path(), Port,
            {QStringLiteral("--size"), QStringLiteral("128x16"), QStringLiteral("--state"), state});
        QVERIFY(sim.waitReady());
        auto board = [&] { return firstBoard(state); };
        // One colour: window number red on black, the picture 32 dots narrower.
        const Ctl stored = ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("1"),
                                               QStringLiteral("image"), file});
        QVERIFY2(stored.code == 0, qPrintable(stored.err));
        QTRY_COMPARE(board()
                         .value(QStringLiteral("pictures"))
                         .toObject()
                         .value(QStringLiteral("1"))
                         .toObject()
                         .value(QStringLiteral("width")),
                     QJsonValue(96));
        QCOMPARE(
            board().value(QStringLiteral("windowNumber")).toObject().value(QStringLiteral("cols")),
            QJsonValue(32));
        QCOMPARE(board()
                     .value(QStringLiteral("windowNumber"))
                     .toObject()
                     .value(QStringLiteral("colour")),
                 QJsonValue(1));
        QCOMPARE(board()
                     .value(QStringLiteral("pictures"))
                     .toObject()
                     .value(QStringLiteral("1"))
                     .toObject()
                     .value(QStringLiteral("planes")),
                 QJsonValue(1));
        const Ctl none = ledctl(
            dir.path(), {QStringLiteral("--screen"), QStringLiteral("1"), QStringLiteral("image"),
                         file, QStringLiteral("--window-number"), QStringLiteral("无")});
        QVERIFY2(none.code == 0, qPrintable(none.err));
        QTRY_COMPARE(board()
                         .value(QStringLiteral("pictures"))
                         .toObject()
                         .value(QStringLiteral("1"))
                         .toObject()
                         .value(QStringLiteral("width")),
                     QJsonValue(128));
        QCOMPARE(
            board().value(QStringLiteral("windowNumber")).toObject().value(QStringLiteral("cols")),
            QJsonValue(0));
    }

    void uploadAndRadioGoThroughLedctl() {
        TempProgramDir dir;
        const QString state = dir.file(QStringLiteral("state.json"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--state"), state, QStringLiteral("--radio"),
                         QStringLiteral("1.5:22")});
        QVERIFY(sim.waitReady());
        QFile f(dir.file(QStringLiteral("font.bin")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(100000));
        f.close();
        const Ctl up =
            ledctl(dir.path(), {QStringLiteral("upload"), QStringLiteral("font"), f.fileName()});
        QCOMPARE(up.code, 0);
        QVERIFY2(up.err.contains(QStringLiteral("391/391 packets  100%")), qPrintable(up.err));
        QCOMPARE(ledctl(dir.path(), {QStringLiteral("upload"), QStringLiteral("fpga"),
                                     dir.file(QStringLiteral("missing.bin"))})
                     .code,
                 2);
        const Ctl read = ledctl(dir.path(), {QStringLiteral("radio"), QStringLiteral("read")});
        QCOMPARE(read.code, 0);
        QCOMPARE(read.out, QStringLiteral("1.50?32417>\n"));
        QCOMPARE(ledctl(dir.path(),
                        {QStringLiteral("radio"), QStringLiteral("channel"), QStringLiteral("30")})
                     .code,
                 0);
        QCOMPARE(ledctl(dir.path(),
                        {QStringLiteral("radio"), QStringLiteral("channel"), QStringLiteral("120")})
                     .code,
                 2);
        auto board = [&] {
            QFile json(state);
            return json.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(json.readAll()).object()
                                                  : QJsonObject();
        };
        QTRY_COMPARE(board()
                         .value(QStringLiteral("radio"))
                         .toObject()
                         .value(QStringLiteral("channel"))
                         .toInt(),
                     30);
        const QJsonObject upload = board()
                                       .value(QStringLiteral("boards"))
                                       .toArray()
                                       .at(0)
                                       .toObject()
                                       .value(QStringLiteral("uploads"))
                                       .toObject()
                                       .value(QStringLiteral("5"))
                                       .toObject();
        QCOMPARE(upload.value(QStringLiteral("packets")).toInt(), 391);
        QCOMPARE(upload.value(QStringLiteral("packetSize")).toInt(), 256);
    }

    void windowNumberPowerOnTextAndMessageKeepWhatTheWindowKeepsWithScreen() {
        TempProgramDir dir;
        QStringEncoder gbk("GBK");
        {
            // A one-colour screen: its lists after the refill give the colours.
            QFile ini(dir.file(QStringLiteral("ledfile.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(gbk.encode(QStringLiteral("[屏总数]\r\nSUM=1\r\nDQPSign=1\r\n[第 1号屏]\r\n"
                                                "Pname=A\r\nPcode=102\r\nPbtl=9600\r\nPadr=1\r\n"
                                                "Pcolor=0\r\nwindowNo=\\5\r\n")));
        }
        const QString state = dir.file(QStringLiteral("state.json"));
        LedsimChild sim(dir.path(), Port, {QStringLiteral("--state"), state});
        QVERIFY(sim.waitReady());
        QCOMPARE(ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("A"),
                                     QStringLiteral("power-on-text"), QStringLiteral("欢迎")})
                     .code,
                 0);
        QCOMPARE(ledctl(dir.path(),
                        {QStringLiteral("--screen"), QStringLiteral("A"), QStringLiteral("message"),
                         QStringLiteral("你好"), QStringLiteral("--store"), QStringLiteral("4")})
                     .code,
                 0);
        QFile kept(dir.file(QStringLiteral("MapDepot/A/ 4.txt")));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), gbk.encode(QStringLiteral("黄色 你好\r\n")));
        QJsonObject board;
        QTRY_VERIFY(
            (board = firstBoard(state),
             board.value(QStringLiteral("pictures")).toObject().contains(QStringLiteral("2"))));
        // power-on-text sent the stored window number (\5) before its text.
        QCOMPARE(board.value(QStringLiteral("windowNumber"))
                     .toObject()
                     .value(QStringLiteral("bytes"))
                     .toString(),
                 QStringLiteral("FF052020"));
        QCOMPARE(board.value(QStringLiteral("windowNumber"))
                     .toObject()
                     .value(QStringLiteral("colour"))
                     .toInt(),
                 1);
        const QJsonObject powerOn = board.value(QStringLiteral("pictures"))
                                        .toObject()
                                        .value(QStringLiteral("3"))
                                        .toObject();
        QCOMPARE(powerOn.value(QStringLiteral("text")).toString(), QStringLiteral("欢迎"));
        QCOMPARE(powerOn.value(QStringLiteral("colour")).toInt(), 17);
        QCOMPARE(ledctl(dir.path(), {QStringLiteral("--screen"), QStringLiteral("A"),
                                     QStringLiteral("window-number"), QStringLiteral("\\6")})
                     .code,
                 0);
        QFile ini(dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(
            ini.readAll().endsWith("Pcolor=0\r\nwindowNo=\\6\r\nwindowlen=0\r\nwindowhzcolor=1\r\n"
                                   "windowasccolor=1\r\nwindowcombo1color=0\r\n"));
    }

    void batchRunsItsPartsInItsOwnOrderAndTheScreenFollowsTheMove() {
        TempProgramDir dir;
        {
            QFile ini(dir.file(QStringLiteral("ledfile.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(QStringEncoder("GBK").encode(
                QStringLiteral("[屏总数]\r\nSUM=1\r\nDQPSign=1\r\n[第 1号屏]\r\nPname=A\r\n"
                               "Pcode=102\r\nPbtl=9600\r\nPadr=1\r\nPchang=128\r\n")));
        }
        const QString state = dir.file(QStringLiteral("state.json"));
        LedsimChild sim(dir.path(), Port, {QStringLiteral("--state"), state});
        QVERIFY(sim.waitReady());
        // Given out of order: the address moves first, every later part follows it.
        const Ctl r =
            ledctl(dir.path(), {QStringLiteral("--screen"),   QStringLiteral("A"),
                                QStringLiteral("batch"),      QStringLiteral("image"),
                                QStringLiteral("list"),       QStringLiteral("start"),
                                QStringLiteral("open"),       QStringLiteral("properties"),
                                QStringLiteral("baud115200"), QStringLiteral("--password"),
                                QStringLiteral("tavorel"),    QStringLiteral("--new-address"),
                                QStringLiteral("3"),          QStringLiteral("--effect"),
                                QStringLiteral("9"),          QStringLiteral("--speed"),
                                QStringLiteral("3"),          QStringLiteral("--stay"),
                                QStringLiteral("5"),          QStringLiteral("--start-picture"),
                                QStringLiteral("7"),          QStringLiteral("--height"),
                                QStringLiteral("32")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.endsWith(QStringLiteral("更新: 更新成功\n")), qPrintable(r.err));
        QJsonObject board;
        QTRY_VERIFY(
            (board = firstBoard(state),
             board.value(QStringLiteral("pictures")).toObject().contains(QStringLiteral("1"))));
        QCOMPARE(board.value(QStringLiteral("address")).toInt(), 3);
        QCOMPARE(board.value(QStringLiteral("baudCode")).toInt(), 19);
        QVERIFY(board.value(QStringLiteral("power")).toBool());
        QCOMPARE(board.value(QStringLiteral("startPicture")).toInt(), 7);
        QCOMPARE(board.value(QStringLiteral("list")).toArray(),
                 QJsonArray{QStringLiteral("01090305")});
        QCOMPARE(board.value(QStringLiteral("size")).toArray(), (QJsonArray{128, 32}));
        const QJsonObject welcome = board.value(QStringLiteral("pictures"))
                                        .toObject()
                                        .value(QStringLiteral("1"))
                                        .toObject();
        QCOMPARE(welcome.value(QStringLiteral("text")).toString(), QStringLiteral("欢迎使用1a☆◆"));
        QFile ini(dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("Pbtl=115200\r\nPadr=3\r\n"));
    }

    void radioCheckShowsTheFieldsAndAutoSetsUntilTerminated() {
        TempProgramDir dir;
        const QString state = dir.file(QStringLiteral("state.json"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--state"), state, QStringLiteral("--radio"),
                         QStringLiteral("1.5:22")});
        QVERIFY(sim.waitReady());
        const Ctl check = ledctl(dir.path(), {QStringLiteral("radio"), QStringLiteral("check")});
        QCOMPARE(check.code, 0);
        QCOMPARE(check.out,
                 QStringLiteral("版本号=1.5\n包大小=15\n波特率=3\n空中波特率=2\n功率档=4\n"
                                "收发切换范围=1\n信道号=22\n"));
        QProcess autoSet;
        autoSet.start(binDir + QStringLiteral("/ledctl"),
                      {QStringLiteral("--dir"), dir.path(), QStringLiteral("--port"),
                       QString::number(Port), QStringLiteral("radio"), QStringLiteral("auto"),
                       QStringLiteral("31"), QStringLiteral("--interval"), QStringLiteral("100")});
        auto settings = [&] {
            QFile json(state);
            return json.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(json.readAll())
                                                        .object()
                                                        .value(QStringLiteral("radio"))
                                                        .toObject()
                                                        .value(QStringLiteral("settings"))
                                                        .toArray()
                                                  : QJsonArray();
        };
        // Two ticks: S1, channel 31 + 104 in nibbles, 40; then S20?36.
        QTRY_VERIFY_WITH_TIMEOUT(
            QVariant(settings().toVariantList()).toStringList().count(QStringLiteral("S18740")) >=
                2,
            10000);
        autoSet.terminate();
        QVERIFY(autoSet.waitForFinished(10000));
        QCOMPARE(autoSet.exitStatus(), QProcess::NormalExit);
        QCOMPARE(autoSet.exitCode(), 0);
        QVERIFY(QString::fromUtf8(autoSet.readAllStandardError())
                    .endsWith(QStringLiteral("设置完信道，请务必给无线模块断电重新上电！\n")));
    }

    void aPacedLedsimStillCarriesATransfer() {
        TempProgramDir dir;
        LedsimChild sim(
            dir.path(), Port,
            {QStringLiteral("--pace"), QStringLiteral("--baud"), QStringLiteral("9600")});
        QVERIFY(sim.waitReady());
        const Ctl r =
            ledctl(dir.path(), {QStringLiteral("send"), QStringLiteral("2"), QStringLiteral("2"),
                                QStringLiteral("64"), QString(QStringLiteral("AB")).repeated(128)});
        QCOMPARE(r.code, 0);
    }

    // Boards at two rates on one paced line: each is found at its own rate
    // only; a rate with nothing on it costs just the broadcast. No port: 1.
    void scanFindsEachBoardAtItsOwnRateOnly() {
        TempProgramDir empty;
        const Ctl none = ledctl(empty.path(), {QStringLiteral("scan")});
        QCOMPARE(none.code, 1);
        QVERIFY2(none.err.contains(QStringLiteral("无效端口号")), qPrintable(none.err));

        TempProgramDir dir;
        const QString log = dir.file(QStringLiteral("sim.log"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--address"), QStringLiteral("3@9600,17@9600,30@19200"),
                         QStringLiteral("--pace"), QStringLiteral("--log"), log});
        QVERIFY(sim.waitReady());
        const Ctl r = ledctl(dir.path(), {QStringLiteral("scan"), QStringLiteral("--bauds"),
                                          QStringLiteral("9600,19200,38400"),
                                          QStringLiteral("--addresses"), QStringLiteral("0-31")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("3\t9600\n17\t9600\n30\t19200\n"));
        QVERIFY2(r.err.contains(QStringLiteral("96/96")), qPrintable(r.err));
        // Three broadcasts, then 32 addresses at each of the two rates in use.
        QTRY_COMPARE(lines(log).filter(QStringLiteral("link address=")).size(), 3 + 2 * 32);
    }

    void tenCallsStartedAtOnceEachGetTheirTurnWhole() {
        TempProgramDir dir;
        const QString log = dir.file(QStringLiteral("sim.log"));
        const QString state = dir.file(QStringLiteral("state.json"));
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--log"), log, QStringLiteral("--state"), state});
        QVERIFY(sim.waitReady());
        constexpr int Calls = 10;
        QProcess calls[Calls];
        for (int k = 0; k < Calls; ++k)
            calls[k].start(binDir + QStringLiteral("/ledctl"),
                           {QStringLiteral("--dir"), dir.path(), QStringLiteral("--port"),
                            QString::number(Port), QStringLiteral("call"), QStringLiteral("upper"),
                            QStringLiteral("第%1号").arg(k + 1), QStringLiteral("--stay"),
                            QString::number(k + 1)});
        for (QProcess &call : calls) {
            QVERIFY(call.waitForFinished(30000));
            QCOMPARE(call.exitCode(), 0);
        }
        // Every picture is followed by its own display block, never by another call's.
        QTRY_COMPARE(lines(log).filter(QStringLiteral("header ")).size(), 2 * Calls);
        const QStringList headers = lines(log).filter(QStringLiteral("header "));
        for (int i = 0; i < headers.size(); ++i)
            QVERIFY2(headers.at(i).contains(i % 2 ? QStringLiteral("command=2 ")
                                                  : QStringLiteral("command=17 ")),
                     qPrintable(headers.at(i)));
        const QString lastBlock = lines(log).filter(QStringLiteral("data=1E 00 02 ")).constLast();
        const int last = lastBlock.section(QLatin1Char(' '), -1).toInt(nullptr, 16);
        QTRY_COMPARE(
            firstBoard(state).value(QStringLiteral("list")).toArray(),
            QJsonArray{QStringLiteral("1E0002%1").arg(last, 2, 16, QLatin1Char('0')).toUpper()});
        QCOMPARE(firstBoard(state)
                     .value(QStringLiteral("pictures"))
                     .toObject()
                     .value(QStringLiteral("1"))
                     .toObject()
                     .value(QStringLiteral("text")),
                 QStringLiteral("第%1号").arg(last));
    }

    void aPortHeldLongerThanTheWaitSaysAlreadyOpenAfterTheWait() {
        TempProgramDir dir;
        LedsimChild sim(dir.path(), Port, {});
        QVERIFY(sim.waitReady());
        QProcess holder;
        holder.start(QStringLiteral(LEDCOUNTER_PORTHOLD),
                     {dir.file(QStringLiteral("ports/COM%1").arg(Port))});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        QElapsedTimer t;
        t.start();
        const Ctl r = ledctl(dir.path(), {QStringLiteral("--port-wait"), QStringLiteral("700"),
                                          QStringLiteral("call"), QStringLiteral("upper"),
                                          QStringLiteral("A")});
        const qint64 took = t.elapsed();
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("串口已经打开")), 1);
        QVERIFY2(took >= 700 && took < 5000, qPrintable(QString::number(took)));
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(5000));
    }

    void anUnpluggedScreenFailsLedctlWithOneMessage() {
        TempProgramDir dir;
        LedsimChild sim(dir.path(), Port,
                        {QStringLiteral("--fault"), QStringLiteral("unplug-after:2")});
        QVERIFY(sim.waitReady());
        const Ctl r =
            ledctl(dir.path(), {QStringLiteral("send"), QStringLiteral("7"), QStringLiteral("1"),
                                QStringLiteral("1"), QStringLiteral("C8")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("通讯失败")), 1);
        QTRY_VERIFY(sim.process.canReadLine());
        QCOMPARE(QString::fromUtf8(sim.process.readLine()).trimmed(),
                 QStringLiteral("unplugged ") + dir.path() +
                     QStringLiteral("/ports/COM%1").arg(Port));
    }

    void aFileSizeLimitIsReportedAndLeavesTheRegistryAsItWas() {
        TempProgramDir dir;
        QStringEncoder gbk("GBK");
        const QByteArray registry =
            gbk.encode(QStringLiteral("[屏总数]\r\nSUM=1\r\nDQPSign=1\r\n[第 1号屏]\r\nPname=A\r\n"
                                      "Pcode=1\r\nPbtl=9600\r\nPadr=1\r\nPchang=128\r\nTSUM=0\r\n"
                                      "[备注]\r\nnote=%1\r\n")
                           .arg(QString(5000, QLatin1Char('x'))));
        QFile ini(dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(registry) == registry.size());
        ini.close();
        const Ctl r =
            ledctl(dir.path(),
                   {QStringLiteral("--screen"), QStringLiteral("A"), QStringLiteral("pool"),
                    QStringLiteral("add"), QStringLiteral("欢迎光临")},
                   4096);
        QVERIFY2(r.code > 0, qPrintable(r.err)); // -1: ended by the signal
        QVERIFY2(r.err.contains(QStringLiteral("(error ")), qPrintable(r.err));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), registry);
        // The text written before the registry refused is taken back.
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("MapDepot/A/ 1.txt"))));
    }

    void ledsimRefusesBadArgumentsWithExitCodeTwo() {
        QProcess p;
        p.start(binDir + QStringLiteral("/ledsim"),
                {QStringLiteral("--fault"), QStringLiteral("flaky")});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().startsWith("ledsim: unknown fault: flaky\n"));
    }
};

QTEST_GUILESS_MAIN(LedctlWithLedsimTest)
#include "tst_ledctl_with_ledsim.moc"
