#pragma once
// ledfile.ini of a hall as the service tests and service_bench use it: screen
// n on port firstPort + (n - 1) / 2 at address 1 + (n - 1) % 2, two screens a
// line, 128 x 32 dots; code page 936 with CR LF, as the window writes it.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>

inline QByteArray hallRegistry(int screens, int firstPort, const QString &baud) {
    QString text = QStringLiteral("[屏总数]\r\nSUM=%1\r\nDQPSign= 1\r\n").arg(screens);
    for (int n = 1; n <= screens; ++n)
        text += QStringLiteral("[第 %1号屏]\r\nPname=窗口%1\r\nPcode=%2\r\nPbtl=%3\r\n"
                               "Padr=%4\r\nPchang=128\r\nTSUM=0\r\nPgao=32\r\nPcolor=1\r\n"
                               "Pleixing=1\r\nPQSign=4\r\nPScan=2\r\n")
                    .arg(n)
                    .arg(firstPort + (n - 1) / 2)
                    .arg(baud)
                    .arg(1 + (n - 1) % 2);
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

// Writes it as DIR/ledfile.ini; false when it could not be written.
inline bool writeHallRegistry(const QString &dir, int screens, int firstPort, const QString &baud) {
    QFile file(dir + QStringLiteral("/ledfile.ini"));
    return file.open(QIODevice::WriteOnly) &&
           file.write(hallRegistry(screens, firstPort, baud)) >= 0 && file.flush();
}
