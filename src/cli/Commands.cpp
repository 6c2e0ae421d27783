// Every ledctl command in one table: its name, what it does in one line, its
// options and its handler. --help lists them in this order.
#include "cli/Cli.h"
#include "cli/Handlers.h"

namespace cli {
namespace {

QCommandLineOption option(const char *name, const char *description, const char *value = "") {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                              QString::fromLatin1(value));
}

// The options the text panel's entry fields give.
QList<QCommandLineOption> messageOptions() {
    return {option("colour", "the colour byte (default 51)", "BYTE"),
            option("effect", "the effect code (default 0)", "CODE"),
            option("speed", "the speed (default 2)", "S"),
            option("stay", "the stay time (default 2)", "T")};
}

QList<QCommandLineOption> queueOptions() {
    return {
        option("colour", "the colour byte (default 147: yellow, red, green background)", "BYTE"),
        option("page", "the page time", "P"), option("effect", "the effect code", "CODE"),
        option("speed", "the speed", "S"), option("stay", "the stay time", "T")};
}

QList<QCommandLineOption> serviceOptions() {
    return {option("token-file",
                   "with --service: the file holding the service's token (default: "
                   "LEDCOUNTER_TOKEN)",
                   "FILE")};
}

QList<Command> table() {
    const auto text = [](const char *utf8) { return QString::fromUtf8(utf8); };
    QList<QCommandLineOption> message = messageOptions();
    message << option("with-effect", "with its own effect, at the address + 512")
            << option("store", "with --screen, keep the text as text file K (default 1)", "K");
    return {
        {text("ports"),
         {},
         text("the ports the window offers, each with the device, link or network address "
              "it opens"),
         {},
         portsCommand},
        {text("link"), {}, text("the link check"), {}, linkCommand},
        {text("send"),
         text("COMMAND COUNTER SIZE [HEX...]"),
         text("raw transfer: HEX bytes fill rows 0, 1, ... of SIZE bytes"),
         {},
         sendCommand},
        {text("scan"),
         {},
         text("the bus scan: per rate the broadcast link check, then each address; prints "
              "ADDRESS<TAB>BAUD per board found"),
         {option("bauds", "the rates, in order (default 9600,19200,38400,115200)", "LIST"),
          option("addresses", "the addresses, 0-511 (default 0-255)", "A-B"),
          option("wait", "the wait per address, 10-1000 (default 60)", "MS")},
         scanCommand},
        {text("screens"),
         {},
         text("the registered screens: number, name, port, baud, address"),
         {},
         screensCommand},
        {text("brightness"),
         text("V"),
         text("brightness as \"设置亮度\" reads it: above 255 is 255, below 0 is 0"),
         {},
         brightnessCommand},
        {text("power"), text("on|off"), text("screen on or off"), {}, powerCommand},
        {text("start-picture"),
         text("N"),
         text("the start picture number, 0-255"),
         {},
         startPictureCommand},
        {text("clock"),
         {},
         text("set the screen clock to this computer's time"),
         {option("offset", "seconds added to this computer's time", "SECONDS")},
         clockCommand},
        {text("list"),
         text("HEX..."),
         text("upload raw list bytes (at most 1024)"),
         {},
         listCommand},
        {text("protocol-switch"),
         {},
         text("the escaped parameter frame to --address (0-255)"),
         {option("oe", "OE polarity: low or high", "low|high"),
          option("data-polarity", "data polarity: negative or positive", "negative|positive"),
          option("length", "the screen length, 8-2055", "DOTS"),
          option("brightness", "the brightness, 0-255", "V")},
         protocolSwitchCommand},
        {text("properties"),
         {},
         text("read the display properties as a 27-field string"),
         {option("store", "with --screen, write the keys as \"属性获取\" does")},
         propertiesCommand},
        {text("set-properties"),
         {},
         text("write the display properties (\"修改属性\"); an option not given keeps its "
              "initial value"),
         {option("board", "主控类型: 128 9 11 12 2 1", "CODE"),
          option("colour", "色彩: 0 64 128", "CODE"), option("scan", "扫描方式: 3 7 15", "CODE"),
          option("zone", "每区行数: 0 1 3 7 15 31", "CODE"),
          option("row-shift", "行加减: 0 32 64 160 192", "CODE"),
          option("direction", "区内走向: 0 1", "0|1"), option("width", "the width", "DOTS"),
          option("height", "the height", "DOTS"), option("oe", "极性: 0 4", "CODE"),
          option("data-polarity", "数据极性: 0 8", "CODE"),
          option("clock", "时钟显示: 0 64 128 192", "CODE")},
         setPropertiesCommand},
        {text("set-address"),
         text("NEW"),
         text("move the board to address NEW (0-255); with --screen the registry follows"),
         {option("new-baud", "the board's new rate: 9600, 19200, 38400 or 115200", "RATE")},
         setAddressCommand},
        {text("message"), text("TEXT"),
         text("what \"发送信息\" sends: picture 11 with its list entry, then picture 2"), message,
         messageCommand},
        {text("logo"), text("TEXT"),
         text("what \"发送logo\" sends: up to ten pictures and the list that plays them"),
         messageOptions(), logoCommand},
        {text("pool"),
         text("list | add TEXT... | set K | delete K | clear"),
         text("the text pool of the screen of --screen (add: --file, --colour, --161d; add and "
              "set: --effect, --speed, --stay)"),
         {option("file", "add the text of this file too", "FILE.txt"),
          option("colour", "the texts' colour: 红色, 绿色 or 黄色", "COLOUR"),
          option("effect", "a \"动作方式\" name (default 立即显示)", "NAME"),
          option("speed", "the speed, 0-255 (default 2)", "S"),
          option("stay", "the stay time, 0-255 (default 2)", "T"),
          option("161d", "lines of 132 cells instead of 66")},
         poolCommand},
        {text("send-all"),
         {},
         text("(with --screen) every pool text as its picture, as \"全部发送\""),
         {option("clock-stay", "the stay time of the rebuilt clock entries (default 2)", "T")},
         sendAllCommand},
        {text("image"),
         text("FILE"),
         text("encode a picture as the image panel does and send it (with --screen the window "
              "number first)"),
         {option("picture", "the picture number, 1-239 (default 1)", "N"),
          option("colour-type", "single, two or full", "single|two|full"),
          option("width", "the width, 8-512", "DOTS"),
          option("height", "the height, 1-2048", "DOTS"),
          option("window-number", "the window number sent first", "TEXT"),
          option("preview", "write the dots that would be sent instead", "OUT.png")},
         imageCommand},
        {text("window-number"),
         text("TEXT"),
         text("the window number as the field \"窗口号：\" takes it (\\12, 请到\\3号窗口, 无, "
              "自定义)"),
         {option("colour", "16 x background + digits (default: the screen's colour lists)",
                 "BYTE")},
         windowNumberCommand},
        {text("power-on-text"),
         text("TEXT"),
         text("\"发送上电信息\" as text: the window number, then TEXT"),
         {option("window-number", "the window number (default: the screen's, else \\1)", "TEXT"),
          option("colour", "the text's colour byte", "BYTE"),
          option("window-colour", "the window number's colour byte", "BYTE")},
         powerOnTextCommand},
        {text("batch"),
         text("PART..."),
         text("\"更新\": parts baud115200 open properties list asc start font baud38400 image, "
              "in that order"),
         {option("password", "the update password", "P"),
          option("new-address", "the address after a baud change", "A"),
          option("height", "the height (default 64)", "DOTS"),
          option("161d", "the board is a 161D"), option("asc", "the ASC font file", "FILE"),
          option("font", "the font library file", "FILE"),
          option("start-picture", "the start picture (default 0)", "N"),
          option("effect", "the effect code (default 0)", "CODE"),
          option("speed", "the speed (default 2)", "S"),
          option("stay", "the stay time (default 2)", "T")},
         batchCommand},
        {text("playlist"),
         text("ENTRY... | add | delete K | modify K | clear | "
              "clock date128|clock128|date64|clock64 on|off"),
         text("upload a message list, or edit the stored list of --screen as the list panel "
              "does"),
         {option("from-screen", "upload the list stored for the screen of --screen"),
          option("show", "print that stored list, one entry a line"),
          option("picture", "add, modify: 列表图号", "N"),
          option("effect", "add, modify: a \"动作方式\" name", "NAME"),
          option("speed", "add, modify: 动作速度", "S"),
          option("stay", "add, modify, clock: 停留时间", "T")},
         playlistCommand},
        {text("test"),
         {},
         text("the connection test: the property string, or the failure and the ports found"),
         {},
         testCommand},
        {text("text"),
         text("N TEXT"),
         text("store TEXT as picture N (1-239)"),
         {option("colour", "the colour byte", "BYTE"),
          option("effect", "with this effect code", "CODE"),
          option("speed", "with --effect: the speed", "S"),
          option("stay", "with --effect: the stay time", "T")},
         textCommand},
        {text("upload"),
         text("font|asc|arm|fpga FILE"),
         text("send a font library, ASC font or firmware in packets, with a progress line"),
         {option("packet-size", "256, 512 or 528", "SIZE"),
          option("length-word", "write the file's length into bytes 20-23 of the first packet")},
         uploadCommand},
        {text("radio"),
         text("read | check | channel N | auto N"),
         text("the radio module: read it, \"检测模块\", \"设置信道\", \"自动设置\" until Ctrl+C"),
         {option("interval", "auto: milliseconds between settings (default 3000)", "MS")},
         radioCommand},
        {text("call"), text("upper|lower TEXT"),
         text("a calling message on the upper or lower line (with --service: prints the call's "
              "id and waits until it is shown)"),
         queueOptions() << serviceOptions()
                        << option("id", "with --service: the caller's id of the call", "ID")
                        << option("min-display", "with --service: the call's minimum display time",
                                  "MS"),
         callCommand},
        {text("default"), text("upper|lower TEXT"),
         text("the default message of the upper or lower line"), queueOptions() << serviceOptions(),
         defaultCommand},
        {text("serve"),
         {},
         text("the call service: owns the lines of ledfile.ini's screens, queues calls per "
              "screen, serves HTTP until SIGTERM"),
         {option("listen", "the address to listen on (default 127.0.0.1:8356)", "HOST:PORT"),
          option("token-file", "the bearer token requests must carry; required beyond loopback",
                 "FILE"),
          option("min-display", "the minimum display time of a call (default 5000)", "MS"),
          option("max-age", "queued calls older than this at start expire (default 600)", "S"),
          option("voice", "speak each shown call with espeak-ng (Mandarin)"),
          option("voice-repeat", "with --voice: how often each call is spoken (default 1)", "N"),
          option("voice-wav", "with --voice: write each announcement as a WAV file there", "DIR")},
         serveCommand},
    };
}

} // namespace

const QList<Command> &commands() {
    static const QList<Command> all = table();
    return all;
}

} // namespace cli
