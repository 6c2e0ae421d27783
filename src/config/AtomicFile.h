#pragma once
// Replacing a file so that it is always the old one or the new one, never
// half of either: ledfile.ini, the list files and the text files all go
// through here.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

namespace AtomicFile {
// 0 after the file was replaced; else the classic error number and the file
// untouched: 76 no such directory (or a relative path), 70 no permission (or a file marked
// read-only), 61 disk full, 75 any other failure.
int replace(const QString &path, const QByteArray &bytes);
// The number replace() would refuse with before writing anything (76, 70),
// 0 when the file can be replaced as far as can be told beforehand.
int refusal(const QString &path);
// A write beyond the process's file-size limit then fails like a full disk
// and is reported, instead of the signal ending the program mid-change.
// Called once by every program's main().
void reportFileSizeLimit();

// Tests put a device of their own between the bytes and every file written
// here (one that fails on cue as a full disk does); a write through it that
// comes out short is reported as a full disk. Null: the file itself.
using WriteDevice = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;
void setWriteDevice(WriteDevice device);
} // namespace AtomicFile
