#include "config/CIniFile.h"

#include "config/AtomicFile.h"
#include "config/IniCodec.h"
#include "config/ProgramDirLock.h"
#include "protocol/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

// A line break or NUL would split the entry into lines of its own; a ']' or
// '=' in a name would end the header or the key early.
bool CIniFile::fitsTheFormat(const Write &w) {
    const auto breaksLine = [](const QString &s) {
        return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) ||
               s.contains(QChar(0));
    };
    return !w.section.trimmed().isEmpty() && !w.key.trimmed().isEmpty() && !breaksLine(w.section) &&
           !breaksLine(w.key) && !breaksLine(w.value) && !w.section.contains(QLatin1Char(']')) &&
           !w.key.contains(QLatin1Char('='));
}

namespace {
const QString WriteFailed = QStringLiteral("写入失败");

// Decimal integer at the start of the value, as the profile calls read it.
qint32 leadingInteger(const QByteArray &text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '-' || text.at(i) == '+')) negative = text.at(i++) == '-';
    quint32 value = 0;
    for (; i < text.size() && text.at(i) >= '0' && text.at(i) <= '9'; ++i)
        value = value * 10 + quint32(text.at(i) - '0');
    return negative ? qint32(0u - value) : qint32(value);
}
} // namespace

void CIniFile::SpecifyIni(const QString &FilePathName) {
    m_path = FilePathName.trimmed();
}

bool CIniFile::NoIniFile() {
    if (m_path.isEmpty()) {
        ErrorMsg = QStringLiteral("没有指定 INI 文件");
        return true;
    }
    ErrorMsg.clear();
    return false;
}

IniDocument CIniFile::Snapshot() const {
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly)) return IniDocument();
    const QByteArray bytes = file.readAll();
    // Compared byte for byte: a time stamp could miss a change by another process.
    if (bytes != m_parsedBytes || m_parsedBytes.isNull()) {
        m_parsed = IniDocument::fromBytes(bytes);
        m_parsedBytes = bytes;
    }
    return m_parsed;
}

QString CIniFile::ReadString(const QString &Section, const QString &key, qint32 Size) {
    if (NoIniFile()) return QString();
    return ReadString(Snapshot(), Section, key, Size);
}

QString CIniFile::ReadString(const IniDocument &doc, const QString &Section, const QString &key,
                             qint32 Size) {
    const std::optional<QByteArray> value = doc.value(Section, key);
    if (!value || Size <= 1) return QString();
    if (!doc.isUtf8())
        return IniCodec::decode(value->left(IniCodec::wholeCharacterPrefix(*value, Size - 1)));
    // Never half a UTF-8 character: step back over continuation bytes.
    qsizetype cut = qMin<qsizetype>(value->size(), Size - 1);
    while (cut > 0 && cut < value->size() && (quint8(value->at(cut)) & 0xC0) == 0x80)
        --cut;
    return doc.decode(value->left(cut));
}

qint32 CIniFile::ReadInt(const QString &Section, const QString &key) {
    const std::optional<QByteArray> value = Snapshot().value(Section, key);
    if (!value) {
        ErrorMsg = QStringLiteral("不能读取");
        return 0;
    }
    ErrorMsg.clear();
    return leadingInteger(*value);
}

bool CIniFile::WriteString(const QString &Section, const QString &key, const QString &Value) {
    return WriteStrings({{Section, key, Value}});
}

bool CIniFile::WriteStrings(const QList<Write> &writes) {
    if (NoIniFile()) {
        m_writeError = vberr::InvalidCall;
        return false;
    }
    for (const Write &w : writes)
        if (!fitsTheFormat(w)) return refuse(vberr::InvalidCall);
    return Edit([&](IniDocument &doc) {
        for (const Write &w : writes)
            doc.setValue(w.section, w.key, doc.encode(w.value));
        return true;
    });
}

bool CIniFile::Edit(const std::function<bool(IniDocument &)> &change) {
    if (NoIniFile()) {
        m_writeError = vberr::InvalidCall;
        return false;
    }
    // Another process's change between our read and our write would be lost.
    std::optional<ProgramDirLock> lock;
    try {
        lock.emplace();
    } catch (const VbError &e) {
        ErrorMsg = e.text();
        m_writeError = e.number();
        return false;
    }
    QByteArray before;
    bool exists = false;
    if (!readWhole(before, exists)) return false;
    IniDocument doc = IniDocument::fromBytes(before);
    if (!change(doc)) return true;
    const QByteArray after = doc.toBytes();
    // Nothing to change is no reason to touch the file (it may be read-only).
    if (after == before && (exists || after.isEmpty())) {
        m_writeError = 0;
        return true;
    }
    return save(after);
}

bool CIniFile::readWhole(QByteArray &bytes, bool &exists) {
    exists = QFileInfo::exists(m_path);
    if (!exists) return true;
    // A file we cannot read completely must not be replaced by our part of it.
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(vberr::PermissionDenied);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return refuse(vberr::PathFileAccessError);
    return true;
}

std::optional<QByteArray> CIniFile::BytesAfter(const QList<Write> &writes) {
    if (NoIniFile()) {
        m_writeError = vberr::InvalidCall;
        return std::nullopt;
    }
    for (const Write &w : writes)
        if (!fitsTheFormat(w)) return refuse(vberr::InvalidCall), std::nullopt;
    QByteArray bytes;
    bool exists = false;
    if (!readWhole(bytes, exists)) return std::nullopt;
    IniDocument doc = IniDocument::fromBytes(bytes);
    for (const Write &w : writes)
        doc.setValue(w.section, w.key, IniCodec::encode(w.value));
    m_writeError = 0;
    return doc.toBytes();
}

int CIniFile::writeRefusal() const {
    return m_path.isEmpty() ? vberr::InvalidCall : AtomicFile::refusal(m_path);
}

bool CIniFile::refuse(int number) {
    m_writeError = number;
    ErrorMsg = WriteFailed;
    return false;
}

bool CIniFile::save(const QByteArray &bytes) {
    if (const int number = AtomicFile::replace(m_path, bytes)) return refuse(number);
    m_writeError = 0;
    ErrorMsg.clear();
    return true;
}
