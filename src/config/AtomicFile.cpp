#include "config/AtomicFile.h"

#include "protocol/VbError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace {
AtomicFile::WriteDevice writeDevice;

// A write that stops short without an error of the file's own is the disk
// running full.
int writeAll(QSaveFile &file, const QByteArray &bytes) {
    std::unique_ptr<QIODevice> wrapped = writeDevice ? writeDevice(file) : nullptr;
    QIODevice &out = wrapped ? *wrapped : static_cast<QIODevice &>(file);
    if (out.write(bytes) == bytes.size()) return 0;
    return file.error() == QFileDevice::NoError || file.error() == QFileDevice::ResourceError
               ? vberr::DiskFull
               : vberr::PathFileAccessError;
}

bool syncToDisk(QSaveFile &file) {
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}
} // namespace

int AtomicFile::refusal(const QString &path) {
    // Every file of ours lies in the program directory; a relative path means
    // its directory was never made, and the working directory is no place
    // for the operator's files.
    if (QDir::isRelativePath(path)) return vberr::PathNotFound;
    const QFileInfo info(path);
    const QFileInfo dir(info.absolutePath());
    if (!dir.isDir()) return vberr::PathNotFound;
    // A file marked read-only stays as it is, even for a user who could
    // replace it: the mark is the operator's.
    if (info.exists() && (!info.permission(QFileDevice::WriteOwner) || !info.isWritable()))
        return vberr::PermissionDenied;
    // The new file is made beside the old one.
    if (!dir.isWritable()) return vberr::PermissionDenied;
    return 0;
}

int AtomicFile::replace(const QString &path, const QByteArray &bytes) {
    if (const int number = refusal(path)) return number;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.error() == QFileDevice::ResourceError ? vberr::DiskFull
                                                          : vberr::PermissionDenied;
    // QSaveFile's commit renames even when its last flush or the sync fails,
    // so both are checked here first: a short write must never replace the file.
    if (const int number = writeAll(file, bytes)) {
        file.cancelWriting();
        return number;
    }
    if (!file.flush() || !syncToDisk(file) || !file.commit()) {
        const int number = file.error() == QFileDevice::ResourceError ? vberr::DiskFull
                                                                      : vberr::PathFileAccessError;
        file.cancelWriting();
        return number;
    }
    return 0;
}

void AtomicFile::setWriteDevice(WriteDevice device) {
    writeDevice = std::move(device);
}

void AtomicFile::reportFileSizeLimit() {
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
