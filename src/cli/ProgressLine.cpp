#include "cli/ProgressLine.h"

#include <QTextStream>

namespace cli {
namespace {
constexpr qint64 TerminalIntervalMs = 200;
constexpr qint64 LogIntervalMs = 1000;
} // namespace

ProgressLine::ProgressLine(QTextStream &err, bool terminal, int packetSize)
    : m_err(err), m_terminal(terminal), m_packetSize(packetSize) {}

QString ProgressLine::line(int sent, int total, int packetSize, qint64 elapsedMs) {
    const int percent = total > 0 ? int(qint64(sent) * 100 / total) : 100;
    QString text = QStringLiteral("%1/%2 packets  %3%").arg(sent).arg(total).arg(percent);
    if (elapsedMs > 0 && sent > 0) {
        const double perSecond = sent * 1000.0 / double(elapsedMs);
        text += QStringLiteral("  %1 kB/s").arg(perSecond * packetSize / 1000.0, 0, 'f', 1);
        const qint64 left = qint64((total - sent) / perSecond + 0.5);
        text += QStringLiteral("  %1 s left").arg(left);
    }
    return text;
}

void ProgressLine::begin(int maximum) {
    m_total = maximum;
    m_sent = 0;
    m_begun = true;
    m_clock.start();
    m_lastPrint = -1;
    print(0, false);
}

void ProgressLine::step(int value) {
    // Step k comes before packet k + 1 goes out: k packets are acknowledged.
    m_sent = value;
    const qint64 now = m_clock.elapsed();
    const qint64 interval = m_terminal ? TerminalIntervalMs : LogIntervalMs;
    if (m_lastPrint < 0 || now - m_lastPrint >= interval) print(value, false);
}

void ProgressLine::end(bool acknowledged) {
    if (!m_begun) return;
    m_begun = false;
    print(acknowledged ? m_total : m_sent, true);
}

void ProgressLine::print(int sent, bool last) {
    m_lastPrint = m_clock.elapsed();
    const QString text = line(sent, m_total, m_packetSize, m_lastPrint);
    if (m_terminal)
        m_err << '\r' << text.leftJustified(60) << (last ? "\n" : "");
    else
        m_err << text << '\n';
    m_err.flush();
}

} // namespace cli
