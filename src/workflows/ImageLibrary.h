#pragma once
// The image panel "发送上电信息": a screen's image list, the drawing surface
// the encoders read (the screen's size, less the window number's 32 dots,
// the picture at the top left on black), and the power-on information sent
// as a picture or a text. `ledctl image` runs the same encoding and send.
#include "protocol/Command.h"
#include "workflows/Workflow.h"

#include <QImage>
#include <QString>
#include <functional>

class OperatorUi;
class led;

namespace imagelibrary {

// The surface for `path`; "图像不存在" (caption "图像") and a black surface
// when the file is missing or no picture Qt can read.
QImage surface(OperatorUi &ui, const QString &path, int length, int height, bool windowNumberShown);
// Bands of 16 rows times the planes of the colour type (色彩: 0 one, 1 two, 2 three).
int packetCount(int colourType, int height);

struct Request {
    bool picture = true; // 图片, else 文本
    int position = -1;   // the selected image, -1: none
    QImage surface;      // the last preview's surface
    int colourType = 1;  // position of 色彩
    QString height;      // pgao
    QString text;        // Text1
    int colour = 0;      // the line colour byte (combo1, ASC颜色, 字库颜色)
    // Command byte of the first image.
    int picture0 = command::picture(1);
};

// Runs `windowNumber` first (the window-number operation; false ends the
// send without a message), then sends and tells "更新成功" or "更新失败".
workflow::Outcome send(led &device, OperatorUi &ui, const workflow::Connection &c,
                       const Request &request, const std::function<bool()> &windowNumber);

// The dots of the planes the last encoding left in the table, as the board
// shows them (one plane red, two red and green, three RGB).
QImage dots(const led &device, int planes, int bands, int planeSize);

} // namespace imagelibrary
