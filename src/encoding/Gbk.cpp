#include "encoding/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace gbk {

QStringList characters(const QString &text) {
    QStringList out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        out.append(text.mid(i, pair ? 2 : 1));
        if (pair) ++i;
    }
    return out;
}

QByteArray characterCode(const QString &character, bool *ok) {
    // A fresh encoder per character, so its error state speaks for this one
    // character only; a lone surrogate comes back empty without an error.
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(character);
    const bool good = !encoder.hasError() && !bytes.isEmpty() && bytes.size() <= 2;
    if (ok) *ok = good;
    return good ? bytes : QByteArray(1, Substitute);
}

namespace {
// One pass over the whole text when every character is representable (the
// usual case); false when some character needs a closer look.
bool encodeWhole(const QString &text, QByteArray &out) {
    if (!text.isValidUtf16()) return false;
    QStringEncoder encoder("GBK");
    out = encoder.encode(text);
    return !encoder.hasError();
}
} // namespace

QByteArray encode(const QString &text) {
    QByteArray out;
    if (encodeWhole(text, out)) return out;
    out.clear();
    out.reserve(text.size() * 2);
    for (const QString &c : characters(text))
        out.append(characterCode(c));
    return out;
}

QString decode(const QByteArray &bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QByteArray codeBytes(const QString &text) {
    QByteArray out;
    // Lead and trail bytes are never below 0x40, so a byte 0 to 13 in the
    // whole encoding is always a control character of its own.
    if (encodeWhole(text, out)) {
        out.removeIf([](char b) { return quint8(b) <= 13; });
        return out;
    }
    out.clear();
    out.reserve(text.size() * 2);
    for (const QString &c : characters(text)) {
        const QByteArray code = characterCode(c);
        if (code.size() == 1 && quint8(code.at(0)) <= 13) continue;
        out.append(code);
    }
    return out;
}

QString unrepresentable(const QString &text) {
    QString out;
    QByteArray whole;
    if (encodeWhole(text, whole)) return out;
    for (const QString &c : characters(text)) {
        bool ok = true;
        characterCode(c, &ok);
        if (!ok && !out.contains(c)) out.append(c);
    }
    return out;
}

} // namespace gbk
