#include "config/IniCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
// "GBK" is Windows code page 936 in ICU's tables (€ is 0x80); "GB2312" is not.
constexpr const char *CodePage = "GBK";
} // namespace

QByteArray IniCodec::encode(const QString &text) {
    QStringEncoder encoder(CodePage);
    return encoder.encode(text);
}

QString IniCodec::decode(const QByteArray &bytes) {
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

bool IniCodec::canEncode(const QString &text) {
    QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && decode(bytes) == text;
}

qsizetype IniCodec::wholeCharacterPrefix(const QByteArray &bytes, qsizetype limit) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = quint8(bytes.at(i));
        const qsizetype width = (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) ? 2 : 1;
        if (i + width > limit) break;
        i += width;
    }
    return i;
}
