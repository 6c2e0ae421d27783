#include "workflows/TextSending.h"

#include "config/AtomicFile.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "encoding/TextChecks.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include "workflows/ScreenLists.h"
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace textsending {

using workflow::Outcome;

namespace {
const QString Caption = QStringLiteral("汉字发送");
constexpr int LogoSegments = 10;
constexpr int LogoSegmentLength = 32;
constexpr int PauseMs = 100;
constexpr int HighAddressOffset = 512;

// Nothing goes out for a text the screen cannot take.
bool refused(OperatorUi &ui, const QString &text) {
    const QString problem = textchecks::textProblem(text);
    if (problem.isEmpty()) return false;
    ui.message(problem, textchecks::isBlank(text) ? QString() : Caption);
    return true;
}

// The calling frame's checks, in its words, before anything is sent: speed
// and stay time must fit a byte (a message), then the question about
// characters code page 936 cannot show.
bool accepted(OperatorUi &ui, const Fields &f) {
    const QString problems[] = {
        textchecks::byteProblem(QStringLiteral("动作速度"), workflow::fieldNumber(f.speed)),
        textchecks::byteProblem(QStringLiteral("停留时间"), workflow::fieldNumber(f.stay)),
    };
    for (const QString &problem : problems) {
        if (problem.isEmpty()) continue;
        ui.message(problem, Caption);
        return false;
    }
    return workflow::lossyTextAgreed(ui, f.text, Caption);
}

void keepMessage(const QString &directory, int picture, const QString &line) {
    const ProgramDirLock lock;
    const int error = AtomicFile::replace(directory + ListFiles::textFileName(picture),
                                          ListFiles::textFileBytes(line));
    if (error) throw VbError(error, QStringLiteral("写入失败"));
}
} // namespace

Outcome sendMessage(led &device, OperatorUi &ui, const workflow::Connection &c, const Fields &f,
                    const QString &directory, TextPoolModel *pool) {
    if (f.text.isEmpty()) {
        ui.message(QStringLiteral("请输入汉字"));
        return Outcome::Refused;
    }
    if (refused(ui, f.text) || !accepted(ui, f)) return Outcome::Refused;
    return workflow::trapped(ui, [&] {
        const quint8 speed =
            NumericText::toByte(NumericText::value(f.speed), QStringLiteral("动作速度"));
        const quint8 stay =
            NumericText::toByte(NumericText::value(f.stay), QStringLiteral("停留时间"));
        workflow::connect(device, c);
        const led::PortTurn turn(device);
        const QByteArray entry =
            QByteArray(1, char(11)) + char(quint8(f.effect)) + char(speed) + char(stay);
        qint16 length = device.Strtoneima(f.text, qint16(f.colour));
        bool stored = textpicture::send(device, 11, length, textpicture::Layout::Plain);
        if (stored) device.Csendlist(entry, 4);
        bool ok = false;
        if (f.withEffect) {
            // Nothing answers at the address + 512: the outcome is that of picture 11.
            device.PAdress = qint16(device.PAdress + HighAddressOffset);
            length = device.Strtoneima1(f.text, qint16(f.colour), qint16(f.effect), speed, stay);
            ok = textpicture::send(device, 2, length, textpicture::Layout::WithEffect) && stored;
        } else {
            length = device.Strtoneima(f.text, qint16(f.colour));
            ok = textpicture::send(device, 2, length, textpicture::Layout::Plain);
        }
        if (ok && !directory.isEmpty()) {
            // The file is named by the picture number, never by free text; a
            // field that is no number costs the kept copy, not the send.
            qint16 keepAs = 0;
            try {
                keepAs = VbNumbers::int16Of(f.pictureField);
            } catch (const VbError &e) {
                ui.statusError(e.number(),
                               QStringLiteral("汉字图号不是数字，信息未保存：") + f.pictureField);
            }
            if (keepAs > 0) {
                const QString line = f.background + QLatin1Char(' ') + f.text;
                keepMessage(directory, keepAs, line);
                // The pool shows what its file now holds.
                if (pool) pool->setText(keepAs - 1, ListFiles::readPoolText(line));
            }
        }
        workflow::tellResult(device, ui, ok, QStringLiteral("汉字发送成功"),
                             QStringLiteral("汉字发送失败"), Caption);
        return workflow::acknowledged(ok);
    });
}

QStringList logoSegments(const QString &text) {
    QStringList segments;
    for (int g = 0; g < LogoSegments; ++g)
        segments.append(text.mid(g * LogoSegmentLength, LogoSegmentLength));
    return segments;
}

LogoSend::LogoSend(led &device, OperatorUi &ui, const workflow::Connection &c, const Fields &f,
                   QObject *parent)
    : QObject(parent), m_device(device), m_ui(ui), m_connection(c), m_fields(f),
      m_segments(logoSegments(f.text)) {}

void LogoSend::start() {
    // Line breaks alone would replace the screen's list with an empty one.
    if (std::none_of(m_segments.begin(), m_segments.end(),
                     [](const QString &s) { return textchecks::textProblem(s).isEmpty(); })) {
        m_ui.message(QStringLiteral("请输入汉字"));
        return finish(Outcome::Refused);
    }
    if (!accepted(m_ui, m_fields)) return finish(Outcome::Refused);
    const Outcome set = workflow::trapped(m_ui, [&] {
        m_speed =
            NumericText::toByte(NumericText::value(m_fields.speed), QStringLiteral("动作速度"));
        m_stay = NumericText::toByte(NumericText::value(m_fields.stay), QStringLiteral("停留时间"));
        workflow::connect(m_device, m_connection);
        return Outcome::Done;
    });
    if (set != Outcome::Done) return finish(set);
    step();
}

void LogoSend::step() {
    bool paused = false;
    const Outcome outcome = workflow::trapped(m_ui, [&] {
        for (; m_next < m_segments.size(); ++m_next) {
            const int g = m_next;
            if (!textchecks::textProblem(m_segments.at(g)).isEmpty()) continue;
            m_list += char(g + 1);
            m_list += char(quint8(m_fields.effect));
            m_list += char(m_speed);
            m_list += char(m_stay);
            const qint16 length = m_device.Strtoneima(m_segments.at(g), qint16(m_fields.colour));
            if (!m_ok) continue; // after a failure the rest is encoded but not sent
            if (textpicture::send(m_device, g + 1, length, textpicture::Layout::Plain)) {
                ++m_next;
                paused = true;
                QTimer::singleShot(qMax(1, int(PauseMs * led::timeScale())), this, &LogoSend::step);
                return Outcome::Done;
            }
            m_ok = false;
            workflow::tellFailure(m_device, m_ui,
                                  QStringLiteral("第%1条Logo信息发送失败 ").arg(g + 1),
                                  QStringLiteral("Logo发送"));
        }
        if (!m_ok) return Outcome::NotAcknowledged;
        if (!m_device.Csendlist(m_list, qint32(m_list.size()))) {
            workflow::tellFailure(m_device, m_ui, QStringLiteral("列表信息发送失败"),
                                  QStringLiteral("Logo发送"));
            return Outcome::NotAcknowledged;
        }
        m_ui.message(QStringLiteral("汉字发送成功"), Caption);
        return Outcome::Done;
    });
    if (!paused) finish(outcome);
}

void LogoSend::finish(Outcome outcome) {
    m_outcome = outcome;
    m_finished = true;
    emit finished(outcome);
}

Outcome sendLogo(led &device, OperatorUi &ui, const workflow::Connection &c, const Fields &f) {
    LogoSend send(device, ui, c, f);
    QEventLoop loop;
    QObject::connect(&send, &LogoSend::finished, &loop, &QEventLoop::quit);
    send.start();
    if (!send.isFinished()) loop.exec();
    return send.outcome();
}

} // namespace textsending
