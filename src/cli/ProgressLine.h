#pragma once
// The progress of a file upload on stderr, for a person to read: packets
// sent of the total, percent, rate and time left. On a terminal one line is
// rewritten; elsewhere a line is added each second.
#include "protocol/TransferProgress.h"

#include <QElapsedTimer>
#include <QString>

class QTextStream;

namespace cli {

class ProgressLine : public TransferProgress {
  public:
    ProgressLine(QTextStream &err, bool terminal, int packetSize);
    void begin(int maximum) override;
    void step(int value) override;
    // The last line, with every packet counted when the upload succeeded.
    void end(bool acknowledged) override;
    // "95/190 packets  50%  11.2 kB/s  4 s left"
    static QString line(int sent, int total, int packetSize, qint64 elapsedMs);

  private:
    void print(int sent, bool last);
    QTextStream &m_err;
    bool m_terminal;
    int m_packetSize;
    int m_total = 0;
    int m_sent = 0;
    bool m_begun = false;
    QElapsedTimer m_clock;
    qint64 m_lastPrint = -1;
};

} // namespace cli
