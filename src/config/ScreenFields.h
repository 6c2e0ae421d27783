#pragma once
// What the main window's connection and screen fields hold for the current
// screen. The registry fills it when a screen is selected and reads it when
// a screen is added or saved; the window (or ledctl) mirrors it in widgets.
#include <QString>
#include <QStringList>

struct ScreenFields {
    QString pname = QStringLiteral("第一号屏"); // screen name text box
    QString Pchao;                              // serial-port text ("3", "3 已经占用")
    QString Pbtl = QStringLiteral("9600");      // baud-rate text, one of BaudRate::rates()
    QString Pdizhi = QStringLiteral("1");       // board address text
    QString Pchang;                             // screen length text (dots)
    QString pgao;                               // screen height text (dots)
    // Selected positions of the display-property lists.
    int Pcolor = 1;    // 色彩
    int Pleixing = 0;  // 主控类型
    int POE = 1;       // 极性
    int PDataSign = 0; // 数据极性
    int PCol_F = 0;    // 区内走向
    int PColRule = 0;  // 行加减
    int PQSign = 4;    // 每区行数
    int PScan = 2;     // 扫描方式
};

namespace BaudRate {
QStringList rates();
// Position in `Pbtl`: "9600" 0, "19200" 1, "38400" 2, "115200" 3, any other text 2.
int position(const QString &text);
QString text(int position);
} // namespace BaudRate
