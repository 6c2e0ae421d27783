#include "workflows/DisplayProperties.h"

#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "config/ScreenFields.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"
#include "workflows/Choices.h"

#include <QStringList>
#include <cmath>

namespace displayproperties {

using workflow::Outcome;

namespace {
const Choice &list(const char16_t *name) {
    return choice(QString::fromUtf16(name));
}

// Position of `code` in the list, as text; empty when no item has it.
QString positionText(const char16_t *name, int code) {
    const int p = list(name).positionOf(code);
    return p < 0 ? QString() : QString::number(p);
}

// The ten keys of "修改属性" and "属性获取", in their order.
QList<CIniFile::Write> propertyKeys(const Codes &c, const QString &section) {
    const std::pair<const char *, QString> keys[] = {
        {"Pchang", c.length},
        {"POE", positionText(u"极性", c.oe)},
        {"PDataSign", positionText(u"数据极性", c.dataPolarity)},
        {"PColRule", positionText(u"行加减", c.rowShift)},
        {"PCol_F", positionText(u"区内走向", c.direction)},
        {"Pgao", c.height},
        {"Pcolor", positionText(u"色彩", c.colour)},
        {"Pleixing", positionText(u"主控类型", c.board)},
        {"PQSign", positionText(u"每区行数", c.zone)},
        {"PScan", positionText(u"扫描方式", c.scan)},
    };
    QList<CIniFile::Write> writes;
    for (const auto &[key, value] : keys)
        if (!value.isEmpty()) writes.append({section, QString::fromLatin1(key), value});
    return writes;
}

void store(const Section &section, const QList<CIniFile::Write> &writes) {
    if (section.ini && !writes.isEmpty()) RegistryFile::write(*section.ini, writes);
}

// A position read from the screen's answer must name an item of its list.
int checked(const char16_t *name, int position) {
    if (position < 0 || position >= list(name).items.size())
        throw VbError(
            vberr::InvalidPropertyValue,
            QStringLiteral("%1的属性值无效：%2").arg(QString::fromUtf16(name)).arg(position));
    return position;
}
} // namespace

bool storeAfterSuccess(OperatorUi &ui, const Section &section,
                       const QList<CIniFile::Write> &writes) {
    try {
        store(section, writes);
        return true;
    } catch (const VbError &e) {
        ui.statusError(e.number(), e.text());
    }
    return false;
}

Codes codesOf(const Fields &f) {
    Codes c;
    c.board = list(u"主控类型").codeAt(f.board);
    c.colour = list(u"色彩").codeAt(f.colour);
    c.scan = list(u"扫描方式").codeAt(f.scan);
    c.zone = list(u"每区行数").codeAt(f.zone);
    c.rowShift = list(u"行加减").codeAt(f.rowShift);
    c.direction = list(u"区内走向").codeAt(f.direction);
    c.oe = list(u"极性").codeAt(f.oe);
    c.dataPolarity = list(u"数据极性").codeAt(f.dataPolarity);
    c.clock = list(u"时钟显示").codeAt(f.clock);
    c.length = f.length;
    c.height = f.height;
    return c;
}

void setLayout(led &device, const workflow::Connection &conn, const Codes &c) {
    device.PAdress = VbNumbers::int16Of(conn.address);
    device.PWidth = VbNumbers::int16Of(c.length);
    device.PHeight = VbNumbers::int16Of(c.height);
    device.PQSign = qint16(c.zone);
    device.PScan = qint16(c.scan);
    device.POE = qint16(c.oe);
    device.PDataSign = qint16(c.dataPolarity);
    device.PColRule = qint16(c.rowShift);
    device.PCol_F = qint16(c.direction);
}

Outcome writeProperties(led &device, OperatorUi &ui, const workflow::Connection &conn,
                        const Codes &c, const Section &section) {
    return workflow::trapped(ui, [&] {
        setLayout(device, conn, c);
        device.PClock_Show = qint16(c.clock);
        device.PBoard = qint16(c.board);
        device.PColorSign = qint16(c.colour);
        device.serieinit(qint16(conn.port), conn.baud);
        const bool ok = device.Cxgshuxing();
        const QString caption = QStringLiteral("属性修改");
        workflow::tellResult(device, ui, ok, QStringLiteral("属性修改成功"),
                             QStringLiteral("属性修改失败"), caption);
        return workflow::acknowledged(
            ok && storeAfterSuccess(ui, section, propertyKeys(c, section.name)));
    });
}

Fields showProperties(const QString &properties, const Fields &current) {
    Fields f = current;
    showPropertiesStepwise(properties, f);
    return f;
}

void showPropertiesStepwise(const QString &properties, Fields &f) {
    const QStringList parts = properties.split(QLatin1Char(','));
    // A board answers bytes; a text may carry any number, and one that no int
    // holds overflows as it would in the panel's own arithmetic.
    auto e = [&](int i) {
        const double v = NumericText::value(parts.value(i));
        if (!(std::fabs(v) < 2147483648.0))
            throw VbError(vberr::Overflow, QStringLiteral("属性值超出范围：") + parts.value(i));
        return int(v);
    };
    f.length = QString::number((qint64(e(9)) + 1) * 8);
    f.height = QString::number((qint64(e(10)) + 1) * 8);
    f.colour = checked(u"色彩", e(5) / 64);
    f.direction = checked(u"区内走向", e(8));
    const int board = list(u"主控类型").positionOf(e(4));
    if (board >= 0) f.board = board;
    f.oe = (e(14) / 4) % 2;
    f.dataPolarity = (e(14) / 8) % 2;
    const int rowShift = list(u"行加减").positionOf(e(7));
    if (rowShift >= 0) f.rowShift = rowShift;
    f.clock = checked(u"时钟显示", e(12) / 64);
    switch (e(6)) {
    case 31:
        f.zone = 5;
        break;
    case 15:
        f.zone = 4;
        break;
    case 7:
        f.zone = 3;
        break;
    case 3:
        f.zone = 2;
        break;
    case 1:
        f.zone = 1;
        break;
    default:
        f.zone = 0;
        break;
    }
    switch (e(5) % 64) {
    case 15:
        f.scan = 2;
        break;
    case 7:
        f.scan = 1;
        break;
    case 3:
        f.scan = 0;
        break;
    }
    if (e(0) != led::PropertyAnswerSize) {
        f.version.clear();
        return;
    }
    QString id;
    for (int i = 15; i <= 24; ++i)
        id += QString(QChar(e(i))).trimmed();
    f.productId = id;
    f.version = QStringLiteral("%1.%2").arg(e(25)).arg(e(26));
}

Read readProperties(led &device, OperatorUi &ui, const workflow::Connection &conn,
                    const Fields &current, const Section &section) {
    Read read;
    read.fields = current;
    read.outcome = workflow::trapped(ui, [&] {
        workflow::connect(device, conn);
        read.properties = device.Chqshuxing();
        const QString caption = QStringLiteral("属性获取");
        if (read.properties.isEmpty()) {
            workflow::tellFailure(device, ui, QStringLiteral("属性获取失败"), caption);
            return Outcome::NotAcknowledged;
        }
        // A value no list has stops the read where it stands: what was
        // shown before it (the size first) stays on the panel.
        showPropertiesStepwise(read.properties, read.fields);
        if (!read.fields.version.isEmpty())
            ui.message(QStringLiteral("版本号：") + read.fields.version, caption);
        return workflow::acknowledged(
            storeAfterSuccess(ui, section, propertyKeys(codesOf(read.fields), section.name)));
    });
    return read;
}

bool addressTaken(CIniFile &ini, const QString &ownSection, const QString &address) {
    const double wanted = NumericText::value(address);
    const int count = RegistryFile::screenCount(ini).count;
    for (int i = 1; i <= count; ++i) {
        const QString section = RegistryFile::sectionName(i);
        if (section == ownSection) continue;
        const QString stored =
            ini.ReadString(section, QStringLiteral("Padr"), RegistryFile::ScreenSize);
        if (!stored.trimmed().isEmpty() && NumericText::value(stored) == wanted) return true;
    }
    return false;
}

AddressResult changeAddress(led &device, OperatorUi &ui, const workflow::Connection &conn,
                            const AddressChange &change, CIniFile *ini, int selected) {
    AddressResult result;
    const QString caption = QStringLiteral("波特率和串口地址修改");
    result.outcome = workflow::trapped(ui, [&] {
        const QString own = selected > 0 ? RegistryFile::sectionName(selected) : QString();
        if (ini && addressTaken(*ini, own, change.newAddress)) {
            ui.message(QStringLiteral("板卡号码重复，请输入合适的卡号"), caption);
            return Outcome::Refused;
        }
        workflow::connect(device, conn);
        const int code = choice(QStringLiteral("Combo2")).codeAt(change.baudPosition);
        const qint16 newAddress = VbNumbers::int16Of(change.newAddress);
        const QString baudText = BaudRate::text(change.baudPosition);
        if (device.Cseting(qint16(code), newAddress)) {
            ui.message(QStringLiteral("波特率和串口地址修改成功"), caption);
        } else {
            // A port that failed (the device unplugged) was told already and
            // answers nowhere.
            if (device.portFailureTold()) return Outcome::NotAcknowledged;
            // The board may have taken the change and only its answer was
            // lost: where it answers now is where it is.
            device.serieinit(qint16(conn.port), baudText);
            if (!device.Link_Build(newAddress)) {
                ui.message(QStringLiteral("波特率和串口地址修改失败"), caption);
                return Outcome::NotAcknowledged;
            }
            ui.message(QStringLiteral("未收到修改确认，但显示屏已在新地址%1、波特率%2应答")
                           .arg(change.newAddress, baudText),
                       caption);
        }
        result.address = change.newAddress;
        result.baudText = baudText;
        if (!ini || selected <= 0) return Outcome::Done;
        const QString section = RegistryFile::sectionName(selected);
        if (storeAfterSuccess(ui, {ini, section},
                              {{section, QStringLiteral("Pbtl"), result.baudText},
                               {section, QStringLiteral("Padr"), result.address}}))
            return Outcome::Done;
        ui.message(
            QStringLiteral("显示屏已在地址%1、波特率%2，但配置文件无法写入，屏幕的记录仍是原地址")
                .arg(change.newAddress, baudText),
            caption);
        return Outcome::NotAcknowledged;
    });
    return result;
}

TestResult connectionTest(led &device, OperatorUi &ui, const workflow::Connection &conn,
                          const Fields &current, const Section &section) {
    TestResult result;
    result.fields = current;
    workflow::connect(device, conn);
    result.properties = device.Chqshuxing();
    if (!result.properties.isEmpty()) {
        result.answered = true;
        result.fields = showProperties(result.properties, current);
        const Fields &f = result.fields;
        const QString &s = section.name;
        result.stored =
            storeAfterSuccess(ui, section,
                              {{s, QStringLiteral("Pchang"), f.length},
                               {s, QStringLiteral("POE"), QString::number(f.oe)},
                               {s, QStringLiteral("PDataSign"), QString::number(f.dataPolarity)},
                               {s, QStringLiteral("PCol_F"), QString::number(f.direction)},
                               {s, QStringLiteral("PColRule"), QString::number(f.rowShift)},
                               {s, QStringLiteral("PQSign"), QString::number(f.zone)},
                               {s, QStringLiteral("PScan"), QString::number(f.scan)}});
        return result;
    }
    workflow::tellFailure(device, ui, QStringLiteral("连接失败,请检查设置或查看硬件连接是否有误"),
                          QStringLiteral("连接测试"));
    result.portNumber = conn.port;
    // From here on nothing stops the test: the scan lists what it finds.
    result.ports = scanPorts(device.MSComm1(), QStringLiteral(" 其他错误"));
    return result;
}

} // namespace displayproperties
