#pragma once
// Several files replaced as one change (a text file, List2.txt and TSUM in
// ledfile.ini; the three list files of a save), so that a failure or a kill
// at any moment leaves the old files or the new ones as a set:
//  1. every new file is written and synced beside its old one ("name.new"),
//     the old files untouched: a failure or a kill here leaves the old set;
//  2. a note in the program directory names the files of the change: from
//     here on the change counts as made;
//  3. each new file takes its old one's place (a rename, atomic on its own),
//     in the order staged, and the note goes.
// A kill during 3 leaves the set half renamed: the next start finds the note
// and finishes the renames. A kill before the note leaves ".new" files the
// next start removes. Callers hold the program-directory lock throughout.
#include <QByteArray>
#include <QList>
#include <QString>

class FileSet {
  public:
    FileSet() = default;
    // Uncommitted: the new files go, the old ones were never touched.
    ~FileSet();
    FileSet(const FileSet &) = delete;
    FileSet &operator=(const FileSet &) = delete;

    // Writes the new bytes of `path` beside it. VbError (70 the file or its
    // folder read-only, 61 disk full, 76 no folder, 75 other) with
    // "写入失败：" and the path; nothing replaced.
    void replace(const QString &path, const QByteArray &bytes);
    // Every staged file takes its place. VbError 61/70/75 when the note cannot
    // be written (nothing replaced); 75 when a rename fails after it (the
    // rest is finished at the next start).
    void commit();

    // The note's name in the program directory.
    static QString noteName();

    struct Recovery {
        int finished = 0; // files put in place from a noted change
        int removed = 0;  // unfinished new files and temporaries removed
    };
    // At start, under the program-directory lock: finishes a noted change and
    // removes the new files and temporaries of changes and saves that never
    // got that far, in the program directory and every store directory. Files
    // it may not remove (a read-only folder) stay; nothing reads them.
    static Recovery recover();

  private:
    QStringList m_paths;
    bool m_committed = false;
};
