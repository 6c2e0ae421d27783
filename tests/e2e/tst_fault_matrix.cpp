// The fault matrix: every command family against every failure the virtual
// screen can put on the line, through the workflows and through ledctl, and
// the device unplugged and plugged back through the window's buttons. In
// each cell the action ends with exactly one message (never a loop of them),
// leaves the port closed, and once the fault is gone (the device plugged
// back) the same action and a link check work again. The led-level behaviour
// of each fault is pinned in tst_failure_modes; this table is about actions.
#include "ScreenRig.h"
#include "app/MainWindow.h"
#include "app/ProgressWindow.h"
#include "app/Startup.h"
#include "config/CIniFile.h"
#include "support/CliRun.h"
#include "workflows/BatchUpdate.h"
#include "workflows/ControlCommands.h"
#include "workflows/DisplayProperties.h"
#include "workflows/FileUpload.h"
#include "workflows/ImageLibrary.h"
#include "workflows/MessageList.h"
#include "workflows/QueueCalling.h"
#include "workflows/Radio.h"
#include "workflows/ScreenLists.h"
#include "workflows/TextPool.h"
#include "workflows/TextSending.h"
#include "workflows/WindowNumber.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using workflow::Outcome;

namespace {
constexpr double Scale = 0.05; // limits of 50, 50 and 100 ms
constexpr int Port = ScreenRig::Port;

// How the family talks to the board, which decides what "silence at each
// stage" and "a wrong byte" mean for it.
// Framed: link, header echo, checksum per packet; Answer: link, echo, then
// an answer instead of packets.
enum class Exchange { Framed, Answer, Escaped, Radio };

struct Rig : ScreenRig {
    CIniFile ini;
    ScreenLists lists;
    QString firmware = dir.file(u"fpga.bin"_s);
    QString picture = dir.file(u"logo.png"_s);
    Rig() {
        QFile f(dir.file(u"ledfile.ini"_s));
        f.open(QIODevice::WriteOnly);
        f.write(QStringEncoder("GBK").encode(u"[屏总数]\r\nSUM=1\r\nDQPSign=1\r\n[第 1号屏]\r\n"
                                             u"Pname=一号\r\nPcode=101\r\nPbtl=9600\r\nPadr=1\r\n"
                                             u"Pchang=64\r\nPgao=16\r\nTSUM=0\r\n"_s));
        f.close();
        ini.SpecifyIni(f.fileName());
        QFile fw(firmware);
        fw.open(QIODevice::WriteOnly);
        fw.write(QByteArray(600, '\x5A')); // three packets of 256
        QImage image(64, 16, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(picture);
        ui.answers = {false, false, false, false}; // "try again?" / "go on?": No
    }
    // Where the board is: an address change that went through moved it.
    QString address() const { return line.board(7) ? u"7"_s : u"1"_s; }
    workflow::Connection row() const { return {Port, u"9600"_s, address()}; }
    // The registry keeps the address the board answers at.
    QString registered() { return ini.ReadString(u"第 1号屏"_s, u"Padr"_s, 100); }
};

struct Family {
    const char *name;
    Exchange exchange;
    QStringList ledctl; // after the port options
    std::function<Outcome(Rig &)> run;
    QStringList takenAnyway = {}; // faults after which the board did take the action
    QStringList ledctlSetup = {}; // run by ledctl before the fault
};

const QList<Family> &families() {
    static const QList<Family> all{
        {"link",
         Exchange::Answer,
         {u"test"_s},
         [](Rig &r) {
             const auto t = displayproperties::connectionTest(r.device, r.ui, r.row(), {},
                                                              {&r.ini, u"第 1号屏"_s});
             return workflow::acknowledged(t.answered);
         }},
        {"text",
         Exchange::Framed,
         {u"message"_s, u"你好"_s},
         [](Rig &r) {
             textsending::Fields f;
             f.text = u"你好"_s;
             return textsending::sendMessage(r.device, r.ui, r.row(), f, r.dir.path() + u'/');
         }},
        {"picture",
         Exchange::Framed,
         {u"image"_s, u"PICTURE"_s, u"--width"_s, u"64"_s, u"--height"_s, u"16"_s},
         [](Rig &r) {
             imagelibrary::Request q;
             q.position = 0;
             q.surface = QImage(r.picture);
             q.height = u"16"_s;
             return imagelibrary::send(r.device, r.ui, r.row(), q, {});
         }},
        {"calling",
         Exchange::Framed,
         {u"call"_s, u"upper"_s, u"你好"_s},
         [](Rig &r) {
             queuecalling::Fields f;
             f.text = u"你好"_s;
             return queuecalling::run(r.device, r.ui, r.row(), f).outcome;
         }},
        {"list",
         Exchange::Framed,
         {u"playlist"_s, u"第1幅图，动作方式：立即显示，动作速度：2，停留时间：2"_s},
         [](Rig &r) {
             MessageList list;
             list.setLines({u"第1幅图，动作方式：立即显示，动作速度：2，停留时间：2"_s});
             return messagelist::upload(r.device, r.ui, r.row(), list);
         }},
        {"property read",
         Exchange::Answer,
         {u"properties"_s},
         [](Rig &r) {
             return displayproperties::readProperties(r.device, r.ui, r.row(), {},
                                                      {&r.ini, u"第 1号屏"_s})
                 .outcome;
         }},
        {"property write",
         Exchange::Framed,
         {u"set-properties"_s},
         [](Rig &r) {
             return displayproperties::writeProperties(r.device, r.ui, r.row(), {},
                                                       {&r.ini, u"第 1号屏"_s});
         }},
        {"address change",
         Exchange::Framed,
         {u"--screen"_s, u"1"_s, u"set-address"_s, u"7"_s},
         [](Rig &r) {
             return displayproperties::changeAddress(r.device, r.ui, r.row(), {u"7"_s, 0}, &r.ini,
                                                     1)
                 .outcome;
         },
         // Only the acknowledgement was lost: the board answers at its new address.
         {u"silent-ack:1"_s, u"wrong-ack:1"_s}},
        {"escaped parameters",
         Exchange::Escaped,
         {u"protocol-switch"_s, u"--oe"_s, u"low"_s, u"--data-polarity"_s, u"positive"_s,
          u"--length"_s, u"64"_s, u"--brightness"_s, u"100"_s},
         [](Rig &r) {
             return controlcommands::protocolSwitch(r.device, r.ui, r.row(),
                                                    {0, 8, u"64"_s, u"100"_s});
         }},
        {"window number",
         Exchange::Framed,
         {u"window-number"_s, u"\\1"_s},
         [](Rig &r) {
             windownumber::Request q;
             q.field = u"\\1"_s;
             return windownumber::set(r.device, r.ui, r.row(), q, {});
         }},
        {"radio",
         Exchange::Radio,
         {u"radio"_s, u"channel"_s, u"5"_s},
         [](Rig &r) {
             return radio::setChannel(r.device, r.ui, r.row(), u"5"_s, [] { return 7; });
         }},
        {"file upload",
         Exchange::Framed,
         {u"upload"_s, u"fpga"_s, u"FIRMWARE"_s},
         [](Rig &r) {
             return fileupload::update(r.device, r.ui, r.row(), r.firmware, fileupload::fpga());
         }},
        {"batch",
         Exchange::Framed,
         {u"batch"_s, u"open"_s, u"start"_s, u"--password"_s, batchupdate::Password},
         [](Rig &r) {
             batchupdate::Inputs in;
             in.ticked[batchupdate::ScreenOn] = in.ticked[batchupdate::StartPicture] = true;
             in.startPicture = u"1"_s;
             r.ui.inputs = {batchupdate::Password};
             return batchupdate::run(r.device, r.ui, r.row(), in).outcome;
         }},
        {"send-all",
         Exchange::Framed,
         {u"--screen"_s, u"1"_s, u"send-all"_s},
         [](Rig &r) {
             if (r.lists.pool.textCount() == 0)
                 textpool::add(r.lists, {r.dir.path() + u'/', {&r.ini, u"第 1号屏"_s}}, {u"你好"_s},
                               u"红色"_s, {});
             return textpool::sendAll(r.device, r.ui, r.row(), r.lists, true, {}, u"2"_s).outcome;
         },
         {},
         {u"--screen"_s, u"1"_s, u"pool"_s, u"add"_s, u"你好"_s}},
    };
    return all;
}

// The faults for an exchange; true where the action still goes through.
QList<QPair<QString, bool>> faults(Exchange e) {
    QList<QPair<QString, bool>> rows;
    switch (e) {
    case Exchange::Framed:
        rows = {{u"silent-link"_s, false},   {u"silent-echo"_s, false}, {u"silent-ack:1"_s, false},
                {u"wrong-link"_s, false},    {u"wrong-echo"_s, false},  {u"wrong-ack:1"_s, false},
                {u"unplug-after:2"_s, false}};
        break;
    case Exchange::Answer:
        rows = {{u"silent-link"_s, false},
                {u"silent-echo"_s, false},
                {u"wrong-link"_s, false},
                {u"wrong-echo"_s, false},
                {u"unplug-after:1"_s, false}};
        break;
    case Exchange::Escaped:
        rows = {{u"silent-param"_s, false}, {u"wrong-param"_s, false}, {u"unplug"_s, false}};
        break;
    case Exchange::Radio:
        rows = {{u"silent-radio"_s, false}, {u"wrong-radio"_s, false}, {u"unplug"_s, false}};
        break;
    }
    return rows + QList<QPair<QString, bool>>{{u"late:150"_s, false},
                                              {u"split:1"_s, true},
                                              {u"merged"_s, false},
                                              {u"garbage:2"_s, false}};
}

void matrixRows() {
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("works");
    for (int i = 0; i < families().size(); ++i)
        for (const auto &[fault, works] : faults(families().at(i).exchange))
            QTest::addRow("%s × %s", families().at(i).name, qPrintable(fault))
                << i << fault << (works || families().at(i).takenAnyway.contains(fault));
}

QStringList ledctlArgs(const Rig &r, const Family &f) {
    QStringList args{u"--dir"_s, r.dir.path()};
    if (!f.ledctl.contains(u"--screen"_s))
        args << u"--port"_s << QString::number(Port);
    else
        args << u"--address"_s << r.address();
    for (const QString &a : f.ledctl)
        args << (a == u"PICTURE"_s ? r.picture : a == u"FIRMWARE"_s ? r.firmware : a);
    return args;
}

// What the operator was told or asked; the password box and the status
// panel's error numbers are no messages.
QStringList toldOf(const RecordingOperator &ui) {
    QStringList told;
    for (const auto &s : ui.shown)
        if (s.kind == u"message"_s || s.kind == u"yesno"_s || s.kind == u"okcancel"_s)
            told << s.text;
    return told;
}

// What a failure tells: one message, and after a vanished device the
// question whether to go on, since it may be plugged back in meanwhile.
qsizetype toldOnFailure(const Family &f, const QString &fault) {
    const bool asks = f.name == QByteArrayView("batch") || f.name == QByteArrayView("send-all");
    return asks && fault.startsWith(u"unplug"_s) ? 2 : 1;
}

// ledctl's message lines on stderr, without the upload's progress lines.
qsizetype messageLines(const QString &err) {
    qsizetype n = 0;
    for (const QString &line : err.split(u'\n', Qt::SkipEmptyParts))
        n += !line.contains(u" packets "_s);
    return n;
}

// The line quiet, the fault gone, the device back: a link check works.
void clearFault(Rig &r) {
    QTRY_VERIFY(!r.line.outputPending());
    r.line.clearFaults();
    if (!r.line.isPlugged()) QVERIFY(r.line.plugIn(r.link, &r.error));
    r.line.clearRecord();
    QVERIFY(r.device.Link_Build(qint16(r.address().toInt())));
    QVERIFY(!r.portOpen());
}
// The whole window on the virtual screen's port.
struct WindowRig {
    TempProgramDir dir;
    VirtualLine line;
    MainWindow w;
    RecordingOperator ui;
    QString link = VirtualLine::portLink(dir.path(), Port);
    WindowRig() {
        line.addBoard(1);
        line.plugIn(link);
        w.setOperator(&ui);
        Startup(w).run();
        w.findChild<QComboBox *>(u"Pchao"_s)->setCurrentText(QString::number(Port));
        type("Pdizhi", u"1"_s);
        w.show();
    }
    void type(const char *name, const QString &text) {
        w.findChild<QLineEdit *>(QString::fromUtf8(name))->setText(text);
    }
    QString file(const QString &name, const QByteArray &bytes) {
        QFile f(dir.file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
};

// Per family: the button, what the fields hold, and what a success says
// (nothing for the connection test).
struct WindowPath {
    const char *button;
    std::function<void(WindowRig &)> fill;
    QString success;
};

const QMap<QString, WindowPath> &windowPaths() {
    static const QMap<QString, WindowPath> paths{
        {u"link"_s, {"屏幕修改", [](WindowRig &) {}, QString()}},
        {u"text"_s,
         {"发送汉字", [](WindowRig &r) { r.type("Text7", u"你好"_s); }, u"汉字发送成功"_s}},
        {u"picture"_s,
         {"发送图像",
          [](WindowRig &r) {
              r.w.toolbarAction(MainWindow::Tool::SendMessage); // fills the colour lists
              if (r.w.screenLists().images.rowCount() > 0) return;
              QImage image(64, 16, QImage::Format_RGB32);
              image.fill(Qt::red);
              image.save(r.dir.file(u"logo.png"_s));
              r.ui.files = {r.dir.file(u"logo.png"_s)};
              r.w.findChild<QPushButton *>(u"添加图像"_s)->click();
          },
          u"更新成功"_s}},
        {u"calling"_s,
         {"Command8", [](WindowRig &r) { r.type("Text6", u"你好"_s); }, u"汉字发送成功"_s}},
        {u"list"_s,
         {"更新列表",
          [](WindowRig &r) {
              if (r.w.screenLists().messages.count() == 0)
                  r.w.findChild<QPushButton *>(u"添加列表"_s)->click();
          },
          u"列表发送成功"_s}},
        {u"property read"_s, {"属性获取", [](WindowRig &) {}, u"版本号：1.0"_s}},
        {u"property write"_s, {"修改属性", [](WindowRig &) {}, u"属性修改成功"_s}},
        {u"address change"_s,
         {"修改地址", [](WindowRig &r) { r.type("Text11", u"7"_s); },
          u"波特率和串口地址修改成功"_s}},
        {u"escaped parameters"_s, {"Command3", [](WindowRig &) {}, u"设置成功"_s}},
        {u"window number"_s,
         {"Command12",
          [](WindowRig &r) {
              r.w.toolbarAction(MainWindow::Tool::SendMessage); // fills the colour lists
              r.type("窗口号", u"\\1"_s);
          },
          QString()}},
        {u"radio"_s,
         {"设置信道", [](WindowRig &r) { r.type("信道号", u"30"_s); },
          u"无线模块属性设置成功，请务必给无线模块断电重新上电！"_s}},
        {u"file upload"_s,
         {"Command6",
          [](WindowRig &r) { r.type("Textasc", r.file(u"fpga.bin"_s, QByteArray(1500, 'Z'))); },
          u"更新成功"_s}},
        {u"batch"_s,
         {"更新",
          [](WindowRig &r) {
              r.w.findChild<QCheckBox *>(u"Check7"_s)->setChecked(true); // 设置开始
              r.ui.inputs = {batchupdate::Password};
              r.ui.answers = {false};
          },
          u"更新成功"_s}},
        {u"send-all"_s,
         {"全部发送",
          [](WindowRig &r) {
              r.w.screenLists().pool.setTextLines({u"绿色 你好"_s});
              r.ui.answers = {false};
          },
          u"汉字发送成功"_s}},
    };
    return paths;
}

bool progressShown() {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::any_of(all.cbegin(), all.cend(), [](QWidget *w) {
        return qobject_cast<ProgressWindow *>(w) && w->isVisible();
    });
}
} // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        // A split answer takes its gaps in real time, which the scaled limits would not allow.
        led::setTimeScale(
            QString::fromLatin1(QTest::currentDataTag()).contains(u"split"_s) ? 0.25 : Scale);
    }
    void cleanup() { led::setTimeScale(1.0); }

    void workflows_data() { matrixRows(); }
    void workflows() {
        QFETCH(int, family);
        QFETCH(QString, fault);
        QFETCH(bool, works);
        const Family &f = families().at(family);
        Rig r;
        QVERIFY2(r.plugged(), qPrintable(r.error));
        r.setFault(fault);
        const Outcome outcome = f.run(r);
        const QStringList told = toldOf(r.ui);
        QVERIFY(!r.portOpen());
        QCOMPARE(r.registered(), r.address());
        clearFault(r);
        r.ui.shown.clear();
        QCOMPARE(f.run(r), Outcome::Done);
        QVERIFY(!r.portOpen());
        QCOMPARE(outcome, works ? Outcome::Done : Outcome::NotAcknowledged);
        // A failure is told once; an action that went through is told as without the fault.
        QVERIFY2(told.size() == (works ? toldOf(r.ui).size() : toldOnFailure(f, fault)),
                 qPrintable(told.join(u" | ")));
    }

    void ledctl_data() { matrixRows(); }
    void ledctl() {
        QFETCH(int, family);
        QFETCH(QString, fault);
        QFETCH(bool, works);
        const Family &f = families().at(family);
        Rig r;
        if (!f.ledctlSetup.isEmpty())
            QCOMPARE(runLedctl(QStringList{u"--dir"_s, r.dir.path()} + f.ledctlSetup).code, 0);
        r.setFault(fault);
        const CliRun failed = runLedctl(ledctlArgs(r, f));
        QCOMPARE(r.registered(), r.address());
        clearFault(r);
        const CliRun again = runLedctl(ledctlArgs(r, f));
        QVERIFY2(again.code == 0, qPrintable(again.err));
        QVERIFY2(failed.code == (works ? 0 : 1), qPrintable(failed.out + failed.err));
        const qsizetype lines = messageLines(failed.err);
        QVERIFY2(lines == (works ? messageLines(again.err) : toldOnFailure(f, fault)),
                 qPrintable(failed.err));
    }

    // The device unplugged mid-action and plugged back, through the buttons.
    void window_data() {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("fault");
        for (int i = 0; i < families().size(); ++i) {
            const Exchange e = families().at(i).exchange;
            QTest::addRow("%s", families().at(i).name)
                << i
                << (e == Exchange::Framed   ? u"unplug-after:2"_s
                    : e == Exchange::Answer ? u"unplug-after:1"_s
                                            : u"unplug"_s);
        }
    }
    void window() {
        QFETCH(int, family);
        QFETCH(QString, fault);
        const WindowPath &path = windowPaths()[QString::fromUtf8(families().at(family).name)];
        WindowRig r;
        QVERIFY(r.line.isPlugged());
        path.fill(r);
        FaultPlan faults;
        QVERIFY(faults.add(fault));
        r.line.setFaults(faults);
        r.ui.shown.clear();
        r.w.findChild<QPushButton *>(QString::fromUtf8(path.button))->click();
        const QStringList told = toldOf(r.ui);
        QCOMPARE(told.value(0), u"通讯失败"_s);
        QCOMPARE(told.size(), toldOnFailure(families().at(family), fault));
        QVERIFY(!progressShown());
        QVERIFY(r.w.isEnabled());
        QVERIFY(!r.w.device().MSComm1().isOpen());
        r.line.clearFaults();
        QVERIFY(r.line.plugIn(r.link));
        r.ui.shown.clear();
        path.fill(r);
        r.w.findChild<QPushButton *>(QString::fromUtf8(path.button))->click();
        QCOMPARE(toldOf(r.ui), path.success.isEmpty() ? QStringList() : QStringList{path.success});
        QVERIFY(!r.w.device().MSComm1().isOpen());
    }
};

QTEST_MAIN(FaultMatrixTest)
#include "tst_fault_matrix.moc"
