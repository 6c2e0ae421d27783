#pragma once
// ledfile.ini in memory, line by line as it lies on disk. Lookups match
// section and key names without regard to case; edits touch only the lines
// they must, so every other byte of the file survives a write unchanged.
// A file saved as UTF-8 with a byte order mark (an editor's choice) is read
// and written in UTF-8, its mark kept.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class IniDocument {
  public:
    static IniDocument fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    bool hasSection(const QString &section) const;
    // The stored value without the blanks around it, as raw bytes; nullopt
    // when the section or the key is absent.
    std::optional<QByteArray> value(const QString &section, const QString &key) const;
    // Key names of a section in file order, as they are spelled in the file.
    QStringList keys(const QString &section) const;
    // Section names in file order, each once.
    QStringList sections() const;

    // Text to and from the file's bytes, in the file's own encoding.
    QString decode(const QByteArray &bytes) const;
    QByteArray encode(const QString &text) const;
    bool isUtf8() const { return !m_bom.isEmpty(); }

    // Creates the section and the key as needed; an existing value is
    // replaced in place. Returns true when the file's bytes changed.
    bool setValue(const QString &section, const QString &key, const QByteArray &value);
    // Returns true when a line was removed.
    bool removeKey(const QString &section, const QString &key);

  private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n", or empty for a last line without one
    };
    std::optional<QString> sectionNameOf(const Line &line) const;
    std::optional<QString> keyNameOf(const Line &line) const;
    qsizetype findSection(const QString &section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &key) const;
    void ensureLastLineEnded();

    QList<Line> m_lines;
    QByteArray m_bom;
    // First header line of each section by its case-folded name; built on the
    // first lookup, dropped by every edit that moves lines.
    mutable std::optional<QHash<QString, qsizetype>> m_sectionIndex;
};
