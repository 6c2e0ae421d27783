#include "workflows/TextPool.h"

#include "config/CIniFile.h"
#include "config/FileSet.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "encoding/Gbk.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

namespace textpool {

using workflow::Outcome;

namespace {
constexpr int MaxLines = 64;

QByteArray textBytes(const TextPoolModel::Text &text) {
    return gbk::encode(ListFiles::poolLine(text) + QStringLiteral("\r\n"));
}

QString textPath(const Store &store, int k) {
    return store.directory + ListFiles::textFileName(k);
}

void checkRegistry(const Store &store) {
    if (const int error = registryRefusal(store)) throw VbError(error, registryProblem());
}

// The attribute list file and TSUM close the change, in this order, so that
// a set half put in place at a kill has its count last.
void finish(FileSet &change, const Store &store, const ScreenLists &lists,
            const QStringList &attributes, int count) {
    change.replace(store.directory + ListFiles::attributeListName(),
                   ListFiles::bytes({attributes, lists.attributeFlags}));
    if (CIniFile *ini = store.section.ini) {
        const std::optional<QByteArray> bytes =
            ini->BytesAfter({{store.section.name, QStringLiteral("TSUM"), QString::number(count)}});
        if (!bytes)
            throw VbError(ini->lastWriteError() ? ini->lastWriteError() : vberr::InvalidCall,
                          QStringLiteral("写入失败：") + ini->filePath());
        change.replace(ini->filePath(), *bytes);
    }
    change.commit();
}
} // namespace

int lineWidth(bool cutToLength, const QString &lengthText, bool is161D) {
    // A length past any text cuts nothing; bounded so that the cells stay an int.
    if (cutToLength) return int(qBound(-1e9, NumericText::value(lengthText) / 8, 1e9));
    return is161D ? 132 : 66;
}

QStringList cutLines(const QString &text, int width) {
    QStringList lines;
    QString line;
    int cells = 0;
    for (const QString &ch : gbk::characters(text)) {
        const QByteArray code = gbk::characterCode(ch);
        if (code.size() == 1 && quint8(code.at(0)) <= 13) continue;
        const int n = code.size() == 2 ? 2 : 1;
        // A character that does not fit starts the next line; on a screen
        // narrower than one Chinese character it gets a line of its own.
        if (cells + n > width && !line.isEmpty()) {
            lines.append(line);
            line.clear();
            cells = 0;
        }
        line += ch;
        cells += n;
        if (cells >= width) {
            lines.append(line);
            line.clear();
            cells = 0;
        }
        if (lines.size() >= MaxLines) return lines.mid(0, MaxLines);
    }
    if (!line.isEmpty()) lines.append(line);
    return lines.mid(0, MaxLines);
}

QString fileText(const QByteArray &bytes) {
    QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    bool ascii = true;
    for (char c : body)
        ascii = ascii && quint8(c) < 0x80;
    QString text;
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString asUtf8 = utf8.decode(body);
    if (!ascii && !utf8.hasError())
        text = asUtf8;
    else
        text = gbk::decode(bytes.startsWith("\xEF\xBB\xBF") && ascii ? body : bytes);
    // Line breaks are dropped: the lines run together.
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

TextPoolModel::Attributes attributeEntry(const QString &effect, const QString &speed,
                                         const QString &stay) {
    return ListFiles::pictureEntry(QString(), effect, speed, stay);
}

int colourCode(const QString &name) {
    if (name == colourName(0)) return 170;
    if (name == colourName(1)) return 85;
    return 165;
}

int registryRefusal(const Store &store) {
    return store.section.ini ? store.section.ini->writeRefusal() : 0;
}

QString registryProblem() {
    return QStringLiteral(
        "ledfile.ini 不能写入（只读或没有权限），文字数目无法保存，文字库没有改变");
}

QString colourName(int position) {
    static const QStringList names{QStringLiteral("红色"), QStringLiteral("绿色"),
                                   QStringLiteral("黄色")};
    return names.value(position, names.last());
}

void add(ScreenLists &lists, const Store &store, const QStringList &lines,
         const QString &colourName, const TextPoolModel::Attributes &attributes) {
    if (lines.isEmpty()) return;
    const ProgramDirLock lock;
    checkRegistry(store);
    TextPoolModel &pool = lists.pool;
    QList<TextPoolModel::Text> added;
    QStringList attributeLines = pool.attributeLines();
    FileSet change;
    for (const QString &line : lines) {
        const int k = pool.textCount() + int(added.size()) + 1;
        if (k > ScreenLists::MaxTexts) break;
        added.append({colourName, line});
        change.replace(textPath(store, k), textBytes(added.last()));
        attributeLines.append(ListFiles::attributeLine(attributes));
    }
    finish(change, store, lists, attributeLines, pool.textCount() + int(added.size()));
    for (const TextPoolModel::Text &text : added)
        pool.append(text, attributes);
}

int remove(ScreenLists &lists, const Store &store, int p) {
    TextPoolModel &pool = lists.pool;
    if (p < 0 || p >= pool.textCount()) return -1;
    const ProgramDirLock lock;
    checkRegistry(store);
    QStringList attributeLines = pool.attributeLines();
    if (p < attributeLines.size()) attributeLines.removeAt(p);
    FileSet change;
    // The file of the old last number stays on disk, beyond TSUM.
    const int count = pool.textCount() - 1;
    for (int m = p; m < count; ++m)
        change.replace(textPath(store, m + 1), textBytes(pool.text(m + 1)));
    finish(change, store, lists, attributeLines, count);
    pool.removeAt(p);
    return count == 0 ? -1 : qMax(0, p - 1);
}

void clear(ScreenLists &lists, const Store &store) {
    const ProgramDirLock lock;
    checkRegistry(store);
    const int n = lists.pool.textCount();
    // The empty state is on disk before any text file goes.
    FileSet change;
    change.replace(store.directory + ListFiles::messageListName(),
                   ListFiles::bytes({{}, QList<bool>(MessageList::ClockOptions, false)}));
    finish(change, store, lists, {}, 0);
    lists.pool.clear();
    lists.messages.clearAll();
    // Files left behind lie beyond TSUM, where nothing reads them.
    for (int k = 1; k <= n; ++k)
        QFile::remove(textPath(store, k));
}

void setAttribute(ScreenLists &lists, int p, const TextPoolModel::Attributes &attributes) {
    lists.pool.setAttributes(p, attributes);
}

SendAll sendAll(led &device, OperatorUi &ui, const workflow::Connection &c, ScreenLists &lists,
                bool rebuildList, const QList<bool> &clockOptions, const QString &clockStay) {
    SendAll result;
    const TextPoolModel &pool = lists.pool;
    const QString caption = QStringLiteral("汉字发送");
    if (pool.textCount() == 0) {
        ui.message(QStringLiteral("没有发送的汉字"), caption);
        return result;
    }
    bool stop = false;
    result.outcome = workflow::trapped(ui, [&] {
        workflow::connect(device, c);
        bool last = false;
        for (int p = 0; p < pool.textCount(); ++p) {
            const int k = p + 1;
            if (k > textpicture::LastPicture)
                throw VbError(vberr::Overflow, QStringLiteral("图号超出%1").arg(k));
            const TextPoolModel::Text text = pool.text(p);
            const qint16 n = device.Strtoneima(text.text, qint16(colourCode(text.colour)));
            result.width = 8 * (n - 1);
            last = textpicture::send(device, k, n, textpicture::Layout::Plain);
            if (!last &&
                !ui.askYesNoDefaultNo(QStringLiteral("第 %1更新失败，是否继续发送？").arg(k),
                                      QStringLiteral("更新失败"))) {
                stop = true;
                return Outcome::NotAcknowledged;
            }
        }
        if (last) ui.message(QStringLiteral("汉字发送成功"), caption);
        return workflow::acknowledged(last);
    });
    if (stop || result.outcome == Outcome::Refused || !rebuildList) return result;
    MessageList &list = lists.messages;
    list.clearAll();
    for (int d = 0; d < MessageList::ClockOptions; ++d)
        if (clockOptions.value(d)) list.tick(d, clockStay);
    for (int j = 1; j <= pool.attributeCount(); ++j)
        list.append(ListFiles::withPicture(pool.attributes(j - 1), QString::number(j)));
    messagelist::upload(device, ui, c, list);
    return result;
}

} // namespace textpool
