#pragma once
// "更新" of the update panel: the password, then the nine ticked parts in
// their order, each one command; a failed part asks whether to try it again.
#include "config/CIniFile.h"
#include "workflows/DisplayProperties.h"
#include "workflows/Workflow.h"

#include <QString>
#include <array>
#include <functional>

class OperatorUi;
class led;

namespace batchupdate {

// The check boxes in running order.
enum Part {
    Baud115200,   // C1152 "波修改115200"
    ScreenOn,     // Check3 "开屏"
    Properties,   // Check4 "属性设置"
    List,         // Check5 "发送列表"
    AscFont,      // Casc "更新ASC"
    StartPicture, // Check7 "设置开始"
    FontLibrary,  // Cziku "更新字库"
    Baud38400,    // C384 "波修改38400"
    Welcome,      // Check6 "发送图像"
    PartCount
};

struct Inputs {
    std::array<bool, PartCount> ticked{};
    QString ascFile, fontFile; // Textasc, Textziku
    bool is161D = false;       // at45161d: 512-byte file packets instead of 256
    QString newAddress;        // Text11
    // The parameter panel's property lists and Pchang, with the update
    // frame's Text15 as the height.
    displayproperties::Fields properties;
    QString startPicture;    // Text4
    int effectCode = 0;      // item data of Combo8
    QString speed, stay;     // Text2, Text3
    int welcomeColour = 165; // item data of the third combo1 item
    CIniFile *ini = nullptr; // ledfile.ini; nullptr: no keys written nor addresses compared
    QString section;         // the selected screen's section
};

struct Result {
    workflow::Outcome outcome = workflow::Outcome::Refused;
    workflow::Connection connection; // Pdizhi and Pbtl after the batch
    int baudPosition = -1;           // Combo2 after the batch; -1: not moved
    int partsRun = 0;                // parts acknowledged, repeats counted once
};

inline const QString Password = QStringLiteral("tavorel");
inline const QString WelcomeText = QStringLiteral("欢迎使用1a☆◆");

// The panel's check boxes and fields as they are now; read at the start and
// again before a failed part is repeated.
using InputReader = std::function<Inputs()>;

// The whole button: password, parts, final message.
Result run(led &device, OperatorUi &ui, const workflow::Connection &c, const InputReader &read);
// The same with inputs that do not change while it runs.
Result run(led &device, OperatorUi &ui, const workflow::Connection &c, const Inputs &in);

} // namespace batchupdate
