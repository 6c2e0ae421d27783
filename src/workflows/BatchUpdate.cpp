#include "workflows/BatchUpdate.h"

#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"
#include "workflows/DisplayProperties.h"
#include "workflows/FileUpload.h"

namespace batchupdate {
namespace {

using workflow::Outcome;

const QString Caption = QStringLiteral("更新");

struct Question {
    const char16_t *text;
    const char16_t *caption;
};
// Asked when a part was not acknowledged; Yes tries that part again.
constexpr Question Questions[PartCount] = {
    {u"波特率发送失败，是否继续发送？", u"更新失败"},
    {u"开屏失败，是否继续发送？", u"开屏"},
    {u"属性设置失败，是否继续发送？", u"属性设置"},
    {u"列表发送失败，是否继续发送？", u"列表发送"},
    {u"更新ASC吗失败，是否继续发送？", u"更新失败"},
    {u"设置开始图号失败，是否继续发送？", u"设置开始图号"},
    {u"更新字库失败，是否继续发送？", u"更新失败"},
    {u"波特率384发送失败，是否继续发送？", u"更新失败"},
    {u"发送图像失败，是否继续发送？", u"列表发送"},
};

enum class Step { Ok, Failed, EndBatch };

Step stepOf(bool ok) {
    return ok ? Step::Ok : Step::Failed;
}

class Batch {
  public:
    Batch(led &device, OperatorUi &ui, const Inputs &in, Result &r)
        : m_device(device), m_ui(ui), m_in(in), m_r(r) {}
    void reread(const Inputs &in) { m_in = in; }

    Step run(int part) {
        switch (part) {
        case Baud115200:
            return baudAndAddress(19, 3, QStringLiteral("115200"));
        case ScreenOn:
            // The board address stays the one of the command before.
            reopen();
            return stepOf(m_device.CAutokgSet(1));
        case Properties:
            return properties();
        case List:
            return list();
        case AscFont:
            return upload(m_in.ascFile, fileupload::fpga().emptyMessage,
                          command::byte(Command::AscUpload));
        case StartPicture:
            workflow::connect(m_device, m_r.connection);
            return stepOf(m_device.Ckaitkh(VbNumbers::int16Of(m_in.startPicture)));
        case FontLibrary:
            return upload(m_in.fontFile, fileupload::arm().emptyMessage,
                          command::byte(Command::FontUpload));
        case Baud38400:
            return baudAndAddress(59, 2, QStringLiteral("38400"));
        default:
            return welcome();
        }
    }

  private:
    void reopen() { m_device.serieinit(qint16(m_r.connection.port), m_r.connection.baud); }
    void store(const QList<CIniFile::Write> &writes) {
        if (!m_in.ini) return;
        displayproperties::storeAfterSuccess(m_ui, {m_in.ini, m_in.section}, writes);
    }

    Step baudAndAddress(int baudCode, int position, const QString &baudText) {
        // As "修改地址": never an address another registered screen has.
        if (m_in.ini && displayproperties::addressTaken(*m_in.ini, m_in.section, m_in.newAddress)) {
            m_ui.message(QStringLiteral("板卡号码重复，请输入合适的卡号"),
                         QStringLiteral("波特率和串口地址修改"));
            return Step::EndBatch;
        }
        m_r.baudPosition = position;
        workflow::connect(m_device, m_r.connection);
        if (!m_device.Cseting(qint16(baudCode), VbNumbers::int16Of(m_in.newAddress)))
            return Step::Failed;
        // The parts after this one reach the board at its new address and rate;
        // those that keep the last address (screen on, the list) too, since the
        // board no longer answers at the old one.
        m_device.PAdress = VbNumbers::int16Of(m_in.newAddress);
        m_r.connection.address = m_in.newAddress;
        m_r.connection.baud = baudText;
        store({{m_in.section, QStringLiteral("Pbtl"), baudText},
               {m_in.section, QStringLiteral("Padr"), m_in.newAddress}});
        return Step::Ok;
    }

    Step properties() {
        const displayproperties::Fields &f = m_in.properties;
        displayproperties::setLayout(m_device, m_r.connection, displayproperties::codesOf(f));
        reopen();
        if (!m_device.Cxgshuxing()) return Step::Failed;
        const QString &s = m_in.section;
        store({{s, QStringLiteral("Pchang"), f.length},
               {s, QStringLiteral("POE"), QString::number(f.oe)},
               {s, QStringLiteral("PDataSign"), QString::number(f.dataPolarity)},
               {s, QStringLiteral("PColRule"), QString::number(f.rowShift)},
               {s, QStringLiteral("PQSign"), QString::number(f.zone)},
               {s, QStringLiteral("PScan"), QString::number(f.scan)}});
        return Step::Ok;
    }

    Step list() {
        QByteArray payload(4, '\0');
        payload[0] = 1;
        payload[1] = char(NumericText::toByte(m_in.effectCode, QStringLiteral("动作方式")));
        payload[2] =
            char(NumericText::toByte(VbNumbers::int16Of(m_in.speed), QStringLiteral("动作速度")));
        payload[3] =
            char(NumericText::toByte(VbNumbers::int16Of(m_in.stay), QStringLiteral("停留时间")));
        // Like screen on, the list goes to the address of the command before.
        reopen();
        return stepOf(m_device.Csendlist(payload, 4));
    }

    Step upload(const QString &file, const QString &emptyMessage, int commandByte) {
        m_device.PAdress = VbNumbers::int16Of(m_r.connection.address);
        if (file.isEmpty()) {
            m_ui.message(emptyMessage);
            return Step::EndBatch;
        }
        reopen();
        const int packetSize = m_in.is161D ? 512 : 256;
        return stepOf(fileupload::send(m_device, m_ui, file, commandByte, packetSize));
    }

    Step welcome() {
        m_device.PAdress = VbNumbers::int16Of(m_r.connection.address);
        const qint16 n = m_device.Strtoneima(WelcomeText, qint16(m_in.welcomeColour));
        reopen();
        qint32 counter = 256 * (n - 2) + 1;
        return stepOf(m_device.senddata(command::picture(1), counter, n));
    }

    led &m_device;
    OperatorUi &m_ui;
    Inputs m_in;
    Result &m_r;
};

} // namespace

Result run(led &device, OperatorUi &ui, const workflow::Connection &c, const Inputs &in) {
    return run(device, ui, c, [&in] { return in; });
}

Result run(led &device, OperatorUi &ui, const workflow::Connection &c, const InputReader &read) {
    Result r;
    r.connection = c;
    QString answer;
    if (!ui.input(QStringLiteral("请输入密码"), QStringLiteral("输入框"), answer) ||
        answer != Password) {
        ui.message(QStringLiteral("密码输入错误"), Caption);
        return r;
    }
    Inputs in = read();
    Batch batch(device, ui, in, r);
    r.outcome = workflow::trapped(ui, [&] {
        for (int part = 0; part < PartCount; ++part) {
            bool ok = false;
            // A repeat reads the check box and the fields again.
            while (in.ticked[static_cast<std::size_t>(part)]) {
                const Step step = batch.run(part);
                if (step == Step::EndBatch) return Outcome::Refused;
                ok = step == Step::Ok;
                if (ok) break;
                const Question &q = Questions[part];
                if (!ui.askYesNoDefaultNo(QString::fromUtf16(q.text),
                                          QString::fromUtf16(q.caption)))
                    return Outcome::NotAcknowledged;
                in = read();
                batch.reread(in);
            }
            if (ok) ++r.partsRun;
        }
        ui.message(r.partsRun > 0 ? QStringLiteral("更新成功") : QStringLiteral("更新失败"),
                   Caption);
        return r.partsRun > 0 ? Outcome::Done : Outcome::Refused;
    });
    return r;
}

} // namespace batchupdate
