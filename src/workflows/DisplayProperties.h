#pragma once
// The display properties of the parameter panel: "修改属性" (write),
// "属性获取" (read), "修改地址" (address and baud rate) and the connection test
// that ends "添加" and "连接测试". `ledctl properties|set-properties|
// set-address|test` run the same functions.
#include "config/CIniFile.h"
#include "protocol/PortScan.h"
#include "workflows/Workflow.h"

#include <QList>
#include <QString>

class OperatorUi;
class led;

namespace displayproperties {

// What the property part of the panel holds: the positions selected in its
// lists (-1: nothing selected) and the texts of its fields.
struct Fields {
    int board = 0;                         // 主控类型
    int colour = 1;                        // 色彩
    int scan = 2;                          // 扫描方式
    int zone = 4;                          // 每区行数
    int rowShift = 0;                      // 行加减
    int direction = 0;                     // 区内走向
    int oe = 1;                            // 极性
    int dataPolarity = 0;                  // 数据极性
    int clock = 0;                         // 时钟显示
    QString length = QStringLiteral("80"); // Pchang
    QString height = QStringLiteral("16"); // pgao
    QString productId;                     // PID
    QString version;                       // Text18
};

// The member values of a property write: the item codes of the lists, and
// the length and height texts.
struct Codes {
    int board = 1, colour = 0, scan = 0, zone = 16, rowShift = 0, direction = 0;
    int oe = 0, dataPolarity = 0, clock = 0;
    QString length = QStringLiteral("64"), height = QStringLiteral("64");
};
// The codes of the selected items; VbError 381 when a list has nothing selected.
Codes codesOf(const Fields &fields);
// The members every property write sets: PAdress from the connection, the
// size and the layout codes. Board, colour type and clock are left alone.
void setLayout(led &device, const workflow::Connection &c, const Codes &codes);

// The section of the selected screen in ledfile.ini; without an ini the
// keys are not written (ledctl without --screen).
struct Section {
    CIniFile *ini = nullptr;
    QString name;
};

// "修改属性": members, Cxgshuxing, "属性修改成功" or "属性修改失败", and on
// success the ten keys in their order (a code no list item has leaves its key).
workflow::Outcome writeProperties(led &device, OperatorUi &ui, const workflow::Connection &c,
                                  const Codes &codes, const Section &section);

struct Read {
    workflow::Outcome outcome = workflow::Outcome::NotAcknowledged;
    QString properties; // the property string, empty when the screen did not answer
    Fields fields;      // what the panel shows afterwards, also after a bad value
};
// "属性获取": Chqshuxing; the panel's fields from the answer, "版本号：" + the
// version, then the ten keys. "属性获取失败" when nothing came back.
Read readProperties(led &device, OperatorUi &ui, const workflow::Connection &c,
                    const Fields &current, const Section &section);
// The fields a property string selects; VbError 380 for a value no item has.
Fields showProperties(const QString &properties, const Fields &current);
// The same on `shown`, one field after the other in the panel's order (size
// first): after a VbError the fields before the bad value are already set.
void showPropertiesStepwise(const QString &properties, Fields &shown);

struct AddressChange {
    QString newAddress;   // Text11
    int baudPosition = 0; // Combo2
};
struct AddressResult {
    workflow::Outcome outcome = workflow::Outcome::Refused;
    QString address;  // for Pdizhi: set when the board is at the new address
    QString baudText; // for Pbtl, with the address
};
// True when a registered screen other than the one of `ownSection` has the
// address; numbers are compared, as the registry does.
bool addressTaken(CIniFile &ini, const QString &ownSection, const QString &address);
// "修改地址": refuses an address another registered screen has, Cseting to
// the present address, and on success Pbtl and Padr in the section of screen
// `selected` (1-based; 0: none). When the answer is missing or wrong, a link
// check at the new address and rate tells whether the board moved all the
// same; `address` is set whenever it did. A registry that cannot follow the
// board is a failure.
AddressResult changeAddress(led &device, OperatorUi &ui, const workflow::Connection &c,
                            const AddressChange &change, CIniFile *ini, int selected);

struct TestResult {
    bool answered = false;
    QString properties;
    Fields fields;              // the answer shown, when it answered
    QList<PortScanEntry> ports; // the rescanned port list, when it did not
    int portNumber = 0;         // the port text to keep
    bool stored = true;         // false when the keys could not be written
};
// After an acknowledged command the keys are written; a refused write is told
// by its error number and gives false: the screen has the change but the
// registry does not, which every caller counts as a failure.
bool storeAfterSuccess(OperatorUi &ui, const Section &section,
                       const QList<CIniFile::Write> &writes);

// The connection test: an answer fills the fields and writes seven keys
// without a message; no answer shows "连接失败,…" and rescans the ports. It
// raises VbError for its callers' error trap; a refused key write is told by
// its error number and leaves `stored` false.
TestResult connectionTest(led &device, OperatorUi &ui, const workflow::Connection &c,
                          const Fields &current, const Section &section);

} // namespace displayproperties
