#include "workflows/TextPool.h"

#include "config/AtomicFile.h"
#include "config/ListFiles.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "config/RegistryFile.h"
#include "encoding/Gbk.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringDecoder>

namespace textpool {

using workflow::Outcome;

namespace {
constexpr int MaxLines = 64;
constexpr int MaxTexts = 251;

QByteArray textBytes(const QString &poolString) {
    return gbk::encode(poolString + QStringLiteral("\r\n"));
}

QString textPath(const Store &store, int k) {
    return store.directory + ListFiles::textFileName(k);
}

// Several files replaced as one change: each file's old bytes are kept, so
// that a failed write, or a failure after the writes, puts every file back.
class FileChange {
  public:
    ~FileChange() {
        if (!m_committed) undo();
    }
    void replace(const QString &path, const QByteArray &bytes) {
        Old old{path, QFileInfo::exists(path), {}};
        if (old.existed) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                throw VbError(vberr::PathFileAccessError, WriteFailed + path);
            old.bytes = file.readAll();
        }
        if (const int error = AtomicFile::replace(path, bytes))
            throw VbError(error, WriteFailed + path);
        m_done.append(old);
    }
    void commit() { m_committed = true; }

  private:
    struct Old {
        QString path;
        bool existed;
        QByteArray bytes;
    };
    void undo() {
        for (auto old = m_done.crbegin(); old != m_done.crend(); ++old) {
            if (old->existed)
                AtomicFile::replace(old->path, old->bytes);
            else
                QFile::remove(old->path);
        }
    }
    const QString WriteFailed = QStringLiteral("写入失败：");
    QList<Old> m_done;
    bool m_committed = false;
};

void checkRegistry(const Store &store) {
    if (const int error = registryRefusal(store)) throw VbError(error, registryProblem());
}

// The attribute list file and TSUM close the change; when TSUM cannot be
// written the change (text files and list file) is undone by its owner.
void finish(FileChange &change, const Store &store, const ScreenLists &lists,
            const QStringList &attributes, int count) {
    change.replace(store.directory + ListFiles::attributeListName(),
                   ListFiles::bytes({attributes, lists.attributeFlags}));
    if (store.section.ini)
        RegistryFile::write(*store.section.ini,
                            {{store.section.name, QStringLiteral("TSUM"), QString::number(count)}});
    change.commit();
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

QString textOf(const QString &poolString) {
    if (poolString.size() >= 3 && poolString.at(2) == QLatin1Char(' ')) return poolString.mid(3);
    // Strings of other makes (an empty colour name) lose nothing of the text.
    return poolString.startsWith(QLatin1Char(' ')) ? poolString.mid(1) : poolString;
}

void add(ScreenLists &lists, const Store &store, const QStringList &lines,
         const QString &colourName, const QString &attribute) {
    if (lines.isEmpty()) return;
    const ProgramDirLock lock;
    checkRegistry(store);
    QStringList pool = lists.pool.stringList();
    QStringList attributes = lists.attributes.stringList();
    FileChange change;
    for (const QString &line : lines) {
        if (pool.size() >= MaxTexts) break;
        pool.append(colourName + QLatin1Char(' ') + line);
        change.replace(textPath(store, int(pool.size())), textBytes(pool.last()));
        attributes.append(attribute);
    }
    finish(change, store, lists, attributes, int(pool.size()));
    lists.pool.setStringList(pool);
    lists.attributes.setStringList(attributes);
}

int remove(ScreenLists &lists, const Store &store, int p) {
    QStringList pool = lists.pool.stringList();
    if (p < 0 || p >= pool.size()) return -1;
    const ProgramDirLock lock;
    checkRegistry(store);
    QStringList attributes = lists.attributes.stringList();
    pool.removeAt(p);
    if (p < attributes.size()) attributes.removeAt(p);
    FileChange change;
    // The file of the old last number stays on disk, beyond TSUM.
    for (int m = p; m < pool.size(); ++m)
        change.replace(textPath(store, m + 1), textBytes(pool.at(m)));
    finish(change, store, lists, attributes, int(pool.size()));
    lists.pool.setStringList(pool);
    lists.attributes.setStringList(attributes);
    return pool.isEmpty() ? -1 : qMax(0, p - 1);
}

void clear(ScreenLists &lists, const Store &store) {
    const ProgramDirLock lock;
    checkRegistry(store);
    const int n = int(lists.pool.stringList().size());
    // The empty state is on disk before any text file goes.
    FileChange change;
    change.replace(store.directory + ListFiles::messageListName(),
                   ListFiles::bytes({{}, QList<bool>(MessageList::ClockOptions, false)}));
    finish(change, store, lists, {}, 0);
    lists.pool.setStringList({});
    lists.attributes.setStringList({});
    lists.messages.clearAll();
    // Files left behind lie beyond TSUM, where nothing reads them.
    for (int k = 1; k <= n; ++k)
        QFile::remove(textPath(store, k));
}

void setAttribute(ScreenLists &lists, int p, const QString &attribute) {
    QStringList attributes = lists.attributes.stringList();
    if (p < 0 || p >= attributes.size()) return;
    attributes[p] = attribute;
    lists.attributes.setStringList(attributes);
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
            const qint16 n = device.Strtoneima(textOf(pool.at(p)), qint16(colourCode(pool.at(p))));
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
