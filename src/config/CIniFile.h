#pragma once
// src/config: INI access, the registry file and the store paths, on top of
// src/protocol; no workflow and no widget.
//
// The one gateway to ledfile.ini. Every operation opens, reads or writes and
// closes the file; every write replaces the whole file atomically (QSaveFile),
// so the file on disk is always either the old or the new one.
#include "config/IniDocument.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class CIniFile {
  public:
    // Reason why the last operation did nothing, or empty.
    QString ErrorMsg;

    void SpecifyIni(const QString &FilePathName);
    bool NoIniFile();
    bool WriteString(const QString &Section, const QString &key, const QString &Value);
    // Size is a byte count in code page 936, as for the system's profile
    // calls: at most Size - 1 bytes come back, never half a character.
    QString ReadString(const QString &Section, const QString &key, qint32 Size);
    qint32 ReadInt(const QString &Section, const QString &key);
    // ReadString on a snapshot already taken: many keys, one read of the file.
    static QString ReadString(const IniDocument &doc, const QString &Section, const QString &key,
                              qint32 Size);

    struct Write {
        QString section;
        QString key;
        QString value;
    };
    // False for a section, key or value the file format cannot hold (empty
    // names, line breaks, ']' in a section or '=' in a key name).
    static bool fitsTheFormat(const Write &write);
    // Several writes in one atomic save: all of them reach the disk or none.
    bool WriteStrings(const QList<Write> &writes);
    // Under the program-directory lock: reads the file as it is now, lets
    // `change` edit it and saves it atomically when the bytes changed. `change` returns false to
    // abandon the edit.
    bool Edit(const std::function<bool(IniDocument &)> &change);
    // The file's bytes after `writes`, for a change that replaces it together
    // with other files; nullopt (lastWriteError() says why) when the file
    // cannot be read whole or a write does not fit the format.
    std::optional<QByteArray> BytesAfter(const QList<Write> &writes);
    // The file as it is now (empty when it is missing or unreadable). Parsed
    // once for as long as its bytes stay the same, so that a large file costs
    // one read per lookup, not one parse.
    IniDocument Snapshot() const;

    QString filePath() const { return m_path; }
    // The number a write would be refused with before anything is written
    // (5 no file named, 76 no folder, 70 read-only file or folder), else 0.
    int writeRefusal() const;
    // Classic error number of the last refused write: 70 permission denied
    // (read-only file or folder), 61 disk full, 76 path not found, 75 any
    // other file access error, 5 a name or value the format cannot hold;
    // 0 after a write that succeeded.
    int lastWriteError() const { return m_writeError; }

  private:
    bool save(const QByteArray &bytes);
    bool refuse(int number);
    // The file's bytes as they are now; false (refused) when it cannot be read whole.
    bool readWhole(QByteArray &bytes, bool &exists);

    QString m_path;
    int m_writeError = 0;
    mutable QByteArray m_parsedBytes;
    mutable IniDocument m_parsed;
};
