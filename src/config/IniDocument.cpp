#include "config/IniDocument.h"

#include "config/IniCodec.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace {
const QByteArray CrLf("\r\n");
const QByteArray Utf8Bom("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks and tabs are single bytes below every trail byte of code page 936,
// so trimming the raw bytes never splits a character.
QByteArray trimBlanks(const QByteArray &bytes) {
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && isBlank(bytes.at(from)))
        ++from;
    while (to > from && isBlank(bytes.at(to - 1)))
        --to;
    return bytes.mid(from, to - from);
}

bool sameName(const QString &a, const QString &b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}
} // namespace

IniDocument IniDocument::fromBytes(const QByteArray &bytes) {
    IniDocument doc;
    qsizetype start = 0;
    if (bytes.startsWith(Utf8Bom)) {
        doc.m_bom = Utf8Bom;
        start = Utf8Bom.size();
    }
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0) {
            doc.m_lines.append({bytes.mid(start), QByteArray()});
            break;
        }
        const bool cr = lf > start && bytes.at(lf - 1) == '\r';
        const qsizetype textEnd = cr ? lf - 1 : lf;
        doc.m_lines.append({bytes.mid(start, textEnd - start), cr ? CrLf : QByteArray("\n")});
        start = lf + 1;
    }
    return doc;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out = m_bom;
    for (const Line &line : m_lines)
        out += line.text + line.end;
    return out;
}

// A ']' may be the trail byte of a double-byte character, so headers are
// recognised on the decoded text.
QString IniDocument::decode(const QByteArray &bytes) const {
    if (m_bom.isEmpty()) return IniCodec::decode(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return utf8.decode(bytes);
}

QByteArray IniDocument::encode(const QString &text) const {
    if (m_bom.isEmpty()) return IniCodec::encode(text);
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return utf8.encode(text);
}

std::optional<QString> IniDocument::sectionNameOf(const Line &line) const {
    // Looked at for every line on every lookup: no copy until it is a header.
    const char *at = line.text.constData();
    const char *end = at + line.text.size();
    while (at < end && isBlank(*at))
        ++at;
    if (at == end || *at != '[') return std::nullopt;
    const QString text = decode(line.text).trimmed();
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
}

// '=' lies below every trail byte, so the raw bytes can be split on it.
std::optional<QString> IniDocument::keyNameOf(const Line &line) const {
    const qsizetype eq = line.text.indexOf('=');
    if (eq < 0) return std::nullopt;
    return decode(line.text.left(eq)).trimmed();
}

qsizetype IniDocument::findSection(const QString &section) const {
    if (!m_sectionIndex) {
        m_sectionIndex.emplace();
        // A section that appears twice is read where it appears first.
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (const auto name = sectionNameOf(m_lines.at(i));
                name && !m_sectionIndex->contains(name->toCaseFolded()))
                m_sectionIndex->insert(name->toCaseFolded(), i);
    }
    return m_sectionIndex->value(section.toCaseFolded(), -1);
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < m_lines.size() && !sectionNameOf(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, const QString &key) const {
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto name = keyNameOf(m_lines.at(i));
        if (name && sameName(*name, key)) return i;
    }
    return -1;
}

bool IniDocument::hasSection(const QString &section) const {
    return findSection(section) >= 0;
}

std::optional<QByteArray> IniDocument::value(const QString &section, const QString &key) const {
    const qsizetype header = findSection(section);
    if (header < 0) return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0) return std::nullopt;
    const QByteArray &text = m_lines.at(line).text;
    return trimBlanks(text.mid(text.indexOf('=') + 1));
}

QStringList IniDocument::keys(const QString &section) const {
    QStringList out;
    const qsizetype header = findSection(section);
    if (header < 0) return out;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto name = keyNameOf(m_lines.at(i));
        if (!name || name->isEmpty()) continue;
        const bool seen = std::any_of(out.cbegin(), out.cend(),
                                      [&](const QString &k) { return sameName(k, *name); });
        if (!seen) out.append(*name);
    }
    return out;
}

QStringList IniDocument::sections() const {
    QStringList out;
    QSet<QString> seen;
    for (const Line &line : m_lines) {
        const auto name = sectionNameOf(line);
        if (name && !seen.contains(name->toCaseFolded())) {
            seen.insert(name->toCaseFolded());
            out.append(*name);
        }
    }
    return out;
}

void IniDocument::ensureLastLineEnded() {
    if (!m_lines.isEmpty() && m_lines.last().end.isEmpty()) m_lines.last().end = CrLf;
}

bool IniDocument::setValue(const QString &section, const QString &key, const QByteArray &value) {
    const QByteArray entry = encode(key) + '=' + value;
    const qsizetype header = findSection(section);
    m_sectionIndex.reset();
    if (header < 0) {
        ensureLastLineEnded();
        m_lines.append({'[' + encode(section) + ']', CrLf});
        m_lines.append({entry, CrLf});
        return true;
    }
    const qsizetype line = findKey(header, key);
    if (line >= 0) {
        // Keep the key as it is spelled in the file; only the value changes.
        Line &l = m_lines[line];
        const QByteArray replaced = l.text.left(l.text.indexOf('=') + 1) + value;
        if (replaced == l.text) return false;
        l.text = replaced;
        return true;
    }
    // A new key goes after the section's last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && trimBlanks(m_lines.at(at - 1).text).isEmpty())
        --at;
    if (at == m_lines.size())
        ensureLastLineEnded();
    else if (m_lines.at(at - 1).end.isEmpty())
        m_lines[at - 1].end = CrLf;
    m_lines.insert(at, {entry, CrLf});
    return true;
}

bool IniDocument::removeKey(const QString &section, const QString &key) {
    const qsizetype header = findSection(section);
    if (header < 0) return false;
    const qsizetype line = findKey(header, key);
    if (line < 0) return false;
    m_lines.removeAt(line);
    m_sectionIndex.reset();
    return true;
}
