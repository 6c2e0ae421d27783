#include "workflows/TextPool.h"

#include "config/AtomicFile.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
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
constexpr int MaxTexts = 251;

void writeText(const Store &store, int k, const QString &line) {
    const int error = AtomicFile::replace(store.directory + ListFiles::textFileName(k),
                                          gbk::encode(line + QStringLiteral("\r\n")));
    if (error) throw VbError(error, QStringLiteral("写入失败"));
}

void writeCount(const Store &store, int count) {
    if (store.section.ini)
        RegistryFile::write(*store.section.ini,
                            {{store.section.name, QStringLiteral("TSUM"), QString::number(count)}});
}
} // namespace

int lineWidth(bool cutToLength, const QString &lengthText, bool is161D) {
    if (cutToLength) return int(NumericText::value(lengthText) / 8);
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

QString attributeEntry(const QString &effect, const QString &speed, const QString &stay) {
    return QStringLiteral("，动作方式：") + effect + QStringLiteral("，动作速度：") + speed +
           QStringLiteral("，停留时间：") + stay;
}

int colourCode(const QString &poolString) {
    if (poolString.startsWith(QStringLiteral("红色"))) return 170;
    if (poolString.startsWith(QStringLiteral("绿色"))) return 85;
    return 165;
}

void add(ScreenLists &lists, const Store &store, const QStringList &lines,
         const QString &colourName, const QString &attribute) {
    QStringList pool = lists.pool.stringList();
    QStringList attributes = lists.attributes.stringList();
    for (const QString &line : lines) {
        const QString entry = colourName + QLatin1Char(' ') + line;
        pool.append(entry);
        lists.pool.setStringList(pool);
        writeText(store, int(pool.size()), entry);
        attributes.append(attribute);
        lists.attributes.setStringList(attributes);
        if (pool.size() >= MaxTexts) break;
    }
    writeCount(store, int(pool.size()));
}

int remove(ScreenLists &lists, const Store &store, int p) {
    QStringList pool = lists.pool.stringList();
    if (p < 0 || p >= pool.size()) return -1;
    QStringList attributes = lists.attributes.stringList();
    if (pool.size() == 1) {
        pool.clear();
        attributes.clear();
    } else {
        pool.removeAt(p);
        if (p < attributes.size()) attributes.removeAt(p);
        // The file of the old last number stays on disk, beyond TSUM.
        for (int m = p; m < pool.size(); ++m)
            writeText(store, m + 1, pool.at(m));
    }
    lists.pool.setStringList(pool);
    lists.attributes.setStringList(attributes);
    writeCount(store, int(pool.size()));
    return pool.isEmpty() ? -1 : qMax(0, p - 1);
}

void clear(ScreenLists &lists, const Store &store) {
    const int n = int(lists.pool.stringList().size());
    for (int k = 1; k <= n; ++k) {
        // A file already gone does not stop the clear.
        const QString path = store.directory + ListFiles::textFileName(k);
        if (QFile::exists(path) && !QFile::remove(path))
            throw VbError(75, QStringLiteral("不能删除：") + path);
    }
    lists.pool.setStringList({});
    lists.attributes.setStringList({});
    lists.messages.clearAll();
    writeCount(store, 0);
}

SendAll sendAll(led &device, OperatorUi &ui, const workflow::Connection &c, ScreenLists &lists,
                bool rebuildList, const QList<bool> &clockOptions, const QString &clockStay) {
    SendAll result;
    const QStringList pool = lists.pool.stringList();
    const QString caption = QStringLiteral("汉字发送");
    if (pool.isEmpty()) {
        ui.message(QStringLiteral("没有发送的汉字"), caption);
        return result;
    }
    bool stop = false;
    result.outcome = workflow::trapped(ui, [&] {
        workflow::connect(device, c);
        bool last = false;
        for (int p = 0; p < pool.size(); ++p) {
            const int k = p + 1;
            if (k > textpicture::LastPicture)
                throw VbError(vberr::Overflow, QStringLiteral("图号超出%1").arg(k));
            const qint16 n = device.Strtoneima(pool.at(p).mid(3), qint16(colourCode(pool.at(p))));
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
    const QStringList attributes = lists.attributes.stringList();
    for (int j = 1; j <= attributes.size(); ++j)
        list.append(QStringLiteral("第%1幅图").arg(j) + attributes.at(j - 1));
    messagelist::upload(device, ui, c, list);
    return result;
}

} // namespace textpool
