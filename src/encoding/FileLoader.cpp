// Font libraries and firmware images as raw packets, one a table row.
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr int MaxPackets = 32767;
constexpr char Filler = char(0xFF);

// What stands at a path that is there but is no plain file: reading a pipe
// or a device would wait or never end, so it is named instead of loaded.
QString notAFile(const QString &path) {
    if (QFileInfo(path).isDir()) return QStringLiteral("是文件夹，不是文件：") + path;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISFIFO(st.st_mode)) return QStringLiteral("是管道，不是文件：") + path;
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return QStringLiteral("是设备，不是文件：") + path;
        if (S_ISSOCK(st.st_mode)) return QStringLiteral("是套接字，不是文件：") + path;
    }
#endif
    return QStringLiteral("不是普通文件：") + path;
}
} // namespace

qint16 led::filetoarray(const QString &conversionfile, qint16 packagesize) {
    if (packagesize < 1 || packagesize > PacketTable::Columns)
        throw VbError(vberr::Overflow, QStringLiteral("包长超出1到1024：%1").arg(packagesize));
    QFile f(conversionfile);
    const QFileInfo info(conversionfile);
    if (!info.exists())
        throw VbError(vberr::FileNotFound, QStringLiteral("文件不存在：") + conversionfile);
    if (!info.isFile()) throw VbError(vberr::PathFileAccessError, notAFile(conversionfile));
    const qint64 size = f.size();
    const qint64 packets = (size + packagesize - 1) / packagesize;
    if (packets > MaxPackets)
        throw VbError(vberr::Overflow,
                      QStringLiteral("文件太大：%1包（最多%2包）").arg(packets).arg(MaxPackets));
    if (!f.open(QIODevice::ReadOnly))
        throw VbError(vberr::PathFileAccessError, QStringLiteral("文件不能读：") + conversionfile);
    const QByteArray bytes = f.readAll();
    if (bytes.size() != size)
        throw VbError(vberr::PathFileAccessError, QStringLiteral("文件不能读：") + conversionfile);
    for (qint64 k = 0; k < packets; ++k) {
        QByteArray row = bytes.mid(k * packagesize, packagesize);
        // The tail after the file's end is a known value, not an earlier command's.
        row.append(QByteArray(packagesize - row.size(), Filler));
        m_table.setRow(int(k), 0, row);
    }
    return qint16(packets);
}

qint16 led::filetoarray9200(const QString &conversionfile, qint16 packagesize) {
    const qint16 packets = filetoarray(conversionfile, packagesize);
    const quint32 size = quint32(QFileInfo(conversionfile).size());
    for (int i = 0; i < 4; ++i)
        m_table.set(0, 20 + i, quint8(size >> (8 * i)));
    return packets;
}
