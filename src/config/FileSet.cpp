#include "config/FileSet.h"

#include "config/AtomicFile.h"
#include "config/StoreDirectory.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {
const QString Staged = QStringLiteral(".new");

QString writeFailed(const QString &path) {
    return QStringLiteral("写入失败：") + path;
}

// rename(2) replaces the target in one step; QFile::rename refuses to.
bool putInPlace(const QString &from, const QString &to) {
#ifdef Q_OS_UNIX
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    QFile::remove(to);
    return QFile::rename(from, to);
#endif
}

// A file of ours with what a write leaves beside it: ".new" of a change and
// QSaveFile's ".XXXXXX" of a write that never finished.
bool isLeftover(const QString &name) {
    static const QRegularExpression leftover(
        QStringLiteral("^(ledfile\\.ini|ledfile\\.change|List[12]\\.txt|图像\\.txt| [0-9]+\\.txt)"
                       "(?:\\.new(?:\\.[A-Za-z0-9]{6})?|\\.[A-Za-z0-9]{6})$"));
    return leftover.match(name).hasMatch();
}

int removeLeftovers(const QString &directory) {
    int removed = 0;
    const QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        if (isLeftover(name) && QFile::remove(directory + QLatin1Char('/') + name)) ++removed;
    return removed;
}
} // namespace

QString FileSet::noteName() {
    return QStringLiteral("ledfile.change");
}

FileSet::~FileSet() {
    if (m_committed) return;
    for (const QString &path : std::as_const(m_paths))
        QFile::remove(path + Staged);
}

void FileSet::replace(const QString &path, const QByteArray &bytes) {
    // A file marked read-only keeps its mark's meaning: it is not replaced.
    int error = AtomicFile::refusal(path);
    if (!error) error = AtomicFile::replace(path + Staged, bytes);
    if (error) throw VbError(error, writeFailed(path));
    m_paths.removeAll(path);
    m_paths.append(path);
}

void FileSet::commit() {
    if (m_paths.isEmpty()) return;
    const QDir base(ProgramDir::path());
    QStringList lines;
    for (const QString &path : std::as_const(m_paths))
        lines.append(base.relativeFilePath(path));
    const QString note = ProgramDir::filePath(noteName());
    if (const int error =
            AtomicFile::replace(note, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()))
        throw VbError(error, writeFailed(note));
    m_committed = true;
    for (const QString &path : std::as_const(m_paths))
        if (!putInPlace(path + Staged, path))
            throw VbError(vberr::PathFileAccessError, writeFailed(path));
    QFile::remove(note);
}

FileSet::Recovery FileSet::recover() {
    Recovery r;
    const QDir base(ProgramDir::path());
    QFile note(base.filePath(noteName()));
    if (note.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(note.readAll()).split(QLatin1Char('\n'));
        note.close();
        bool done = true;
        for (const QString &line : lines) {
            if (line.isEmpty()) continue;
            const QString path = base.absoluteFilePath(line);
            if (!QFile::exists(path + Staged)) continue; // put in place before the kill
            if (putInPlace(path + Staged, path))
                ++r.finished;
            else
                done = false;
        }
        // A change that cannot be finished here is finished by a start that can.
        if (done) note.remove();
    }
    if (QFile::exists(note.fileName())) return r;
    r.removed += removeLeftovers(base.path());
    const QString depot = StoreDirectory::depot();
    const QStringList stores = QDir(depot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &store : stores)
        r.removed += removeLeftovers(depot + QLatin1Char('/') + store);
    return r;
}
