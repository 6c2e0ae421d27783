#pragma once
// Keeps what ledsim writes and shows in step with the boards: after every
// exchange, and whenever a board's picture changes by itself (a list entry's
// stay ends, a page time runs out, a shown clock ticks), it writes the state
// file and the snapshot of the first board and hands the new dots to
// whoever shows them. Nothing runs while nothing changes.
#include <QImage>
#include <QObject>
#include <QTimer>
#include <functional>

class VirtualBoard;
class VirtualLine;

class BoardWatcher : public QObject {
    Q_OBJECT
  public:
    explicit BoardWatcher(VirtualLine &line, QObject *parent = nullptr);

    void setStateFile(const QString &path) { m_statePath = path; }
    void setSnapshotFile(const QString &path) { m_snapshotPath = path; }
    // Called with a board's new dots and its last exchange.
    std::function<void(const VirtualBoard &, const QImage &, const QString &)> onPicture;
    // Problems writing the files, one line each.
    std::function<void(const QString &)> onError;

    // The board's dots now: one pixel a dot.
    static QImage dots(const VirtualBoard &board);
    // Writes and shows everything once (at start-up).
    void refreshAll();

  private:
    void exchanged(VirtualBoard *board);
    void scheduleNext();
    void writeFiles();

    VirtualLine &m_line;
    QString m_statePath;
    QString m_snapshotPath;
    QTimer m_next;
    QString m_lastError;
};
