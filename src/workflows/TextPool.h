#pragma once
// A screen's text pool: short texts, each with its colour name and its own
// effect, speed and stay time; text k is stored on the screen as picture k
// and kept in the text file " k.txt", their number in the key TSUM. Adding
// cuts a text into lines that fit the screen; "全部发送" stores every text and
// may rebuild and upload the message list from the pool. The text panel and
// `ledctl pool|send-all` run these.
#include "workflows/DisplayProperties.h"
#include "workflows/ScreenLists.h"

#include <QString>
#include <QStringList>

class OperatorUi;
class led;

namespace textpool {

// Half-width cells of a line: the screen length / 8 when cutting to the
// screen length, else 132 with "161D", else 66.
int lineWidth(bool cutToLength, const QString &lengthText, bool is161D);
// The text in lines of at most `width` cells (a Chinese character two; on a
// narrower line it stands alone), control characters dropped, at most 64 lines.
QStringList cutLines(const QString &text, int width);
// A text file's lines joined without a separator: UTF-8 when the bytes are
// valid UTF-8 (with or without a byte-order mark) and not plain ASCII, else
// code page 936.
QString fileText(const QByteArray &bytes);

TextPoolModel::Attributes attributeEntry(const QString &effect, const QString &speed,
                                         const QString &stay);
// 170 for "红色", 85 for "绿色", 165 for any other colour name.
int colourCode(const QString &name);

// Where the pool lives: the screen's store directory (ends in '/') and its
// section for TSUM.
struct Store {
    QString directory;
    displayproperties::Section section;
};

// A count that could not be stored would lose the texts at the next start:
// the number a write of ledfile.ini would be refused with (0: none), and the
// words for the operator. Every change below checks it before any file.
int registryRefusal(const Store &store);
QString registryProblem();

// The colour name a text added in colour 0 红色, 1 绿色, 2 黄色 keeps in the
// pool, whatever the colour lists of the window hold at the time.
QString colourName(int position);

// Each change below is one step under the program-directory lock: the text
// files, the attribute list file and TSUM are all replaced, or none (a kill
// at any moment included) and the lists left as they were, with VbError
// carrying the number.

// Appends each line in the colour with its text file and the attributes;
// stops at 251 texts; then TSUM.
void add(ScreenLists &lists, const Store &store, const QStringList &lines,
         const QString &colourName, const TextPoolModel::Attributes &attributes);
// Removes text p; the texts after it move down one picture, their files
// rewritten; TSUM. Returns the position to select (-1 when empty).
int remove(ScreenLists &lists, const Store &store, int position);
// Empties the pool, its attributes and the message list, with their files
// and TSUM 0, then deletes the text files.
void clear(ScreenLists &lists, const Store &store);
// Replaces the attribute entry of text p.
void setAttribute(ScreenLists &lists, int position, const TextPoolModel::Attributes &attributes);

struct SendAll {
    workflow::Outcome outcome = workflow::Outcome::Refused;
    int width = -1; // Text9 after the last text sent, -1: leave it
};
// "全部发送": every text as its picture, the question per refused text
// ("第 k更新失败，是否继续发送？", No ends at once), "汉字发送成功" when the last
// one was stored; then, with `rebuildList`, the message list made of the
// ticked clock options and one entry per text, uploaded.
// `clockStay`: the stay time the clock entries get (the list panel's field).
SendAll sendAll(led &device, OperatorUi &ui, const workflow::Connection &c, ScreenLists &lists,
                bool rebuildList, const QList<bool> &clockOptions,
                const QString &clockStay = QStringLiteral("2"));

} // namespace textpool
