#pragma once
// src/encoding: the text, bitmap, file and window-number encoders and the GBK
// codec, on top of src/protocol only.
//
// Code page 936 (GBK) as the screens and the files know it: the text codec of
// the whole system. Characters are taken as code points, so a character
// outside the Basic Multilingual Plane counts once.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gbk {

// Byte a character that code page 936 cannot represent is sent as.
constexpr char Substitute = '?';

// The characters of a text, one code point each.
QStringList characters(const QString &text);
// The code of one character: one byte (single-byte character) or two (lead,
// trail). An unrepresentable character gives Substitute and *ok = false.
QByteArray characterCode(const QString &character, bool *ok = nullptr);
// Whole text in code page 936; unrepresentable characters become Substitute.
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// The code bytes sent for a text: its codes with the control characters
// 0 to 13 (tab, line feed, carriage return ...) dropped.
QByteArray codeBytes(const QString &text);
// Every character of the text that code page 936 cannot represent, each once,
// in the order they first appear; empty when the whole text is representable.
QString unrepresentable(const QString &text);

} // namespace gbk
