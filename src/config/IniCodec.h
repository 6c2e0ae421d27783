#pragma once
// Code page 936 for ledfile.ini: the file must stay byte-compatible with the
// files existing installations wrote, so every text crossing the file goes
// through here.
#include <QByteArray>
#include <QString>

namespace IniCodec {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// True when every character of `text` has a code in code page 936.
bool canEncode(const QString &text);
// Length of the longest prefix of `bytes`, at most `limit` bytes long, that
// does not end inside a double-byte character.
qsizetype wholeCharacterPrefix(const QByteArray &bytes, qsizetype limit);
} // namespace IniCodec
