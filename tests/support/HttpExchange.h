#pragma once
// One HTTP/1.1 request on its own loopback connection, with blocking waits:
// usable from any thread, also one without an event loop. The service under
// test runs in another process.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

struct HttpAnswer {
    int status = -1; // -1: no answer
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

inline HttpAnswer httpRequest(quint16 port, const QByteArray &method, const QByteArray &path,
                              const QByteArray &body = QByteArray(),
                              const QByteArray &extraHeaders = QByteArray()) {
    HttpAnswer answer;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000)) return answer;
    QByteArray head = method + ' ' + path +
                      " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extraHeaders;
    if (!body.isEmpty() || method == "POST")
        head +=
            "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\n";
    socket.write(head + "\r\n" + body);
    QByteArray all;
    qsizetype end = -1;
    qsizetype length = -1;
    while (socket.waitForReadyRead(10000)) {
        all += socket.readAll();
        end = all.indexOf("\r\n\r\n");
        if (end < 0) continue;
        const qsizetype at = all.left(end).toLower().indexOf("content-length:");
        if (at < 0) continue;
        const qsizetype eol = all.indexOf("\r\n", at);
        length = all.mid(at + 15, eol - at - 15).trimmed().toLongLong();
        if (all.size() >= end + 4 + length) break;
    }
    if (!all.startsWith("HTTP/1.1 ") || end < 0) return answer;
    answer.status = all.mid(9, 3).toInt();
    answer.body = all.mid(end + 4, length < 0 ? -1 : length);
    return answer;
}
