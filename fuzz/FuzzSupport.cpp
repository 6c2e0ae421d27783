#include "FuzzSupport.h"

#include "protocol/led.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Kept for the whole run: QEventLoop, QTimer and the codecs want one.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

namespace fuzz {

QByteArray bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString scratchDirectory() {
    static QTemporaryDir dir;
    return dir.path();
}

QString scratchFile(const QString &name, const QByteArray &contents) {
    const QString path = scratchDirectory() + QLatin1Char('/') + name;
    QFile f(path);
    require(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file not writable");
    require(f.write(contents) == contents.size(), "scratch file not written");
    return path;
}

void require(bool condition, const char *what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

qint64 AnswerPort::write(const QByteArray &bytes) {
    if (!m_open) return -1;
    m_input += bytes.startsWith("\xAA\x55") ? QByteArray("\xA5", 1) : answer;
    return bytes.size();
}

QByteArray AnswerPort::readAll() {
    QByteArray all;
    all.swap(m_input);
    return all;
}

namespace {
struct Rig {
    led device;
    AnswerPort *port = new AnswerPort;
    SilentOperator ui;
    Rig() {
        led::setTimeScale(1e-9);
        device.setPort(std::unique_ptr<SerialPortIo>(port));
        device.setOperator(&ui);
        device.PAdress = 1;
    }
};
Rig &rig() {
    static Rig r;
    return r;
}
} // namespace

led &device() {
    return rig().device;
}
AnswerPort &port() {
    return *rig().port;
}

} // namespace fuzz
