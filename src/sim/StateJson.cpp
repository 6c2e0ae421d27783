#include "sim/StateJson.h"

#include "sim/VirtualLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
QString hex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QJsonObject pictureJson(const StoredPicture &p) {
    QJsonObject o;
    QByteArray all;
    for (const QByteArray &r : p.rows)
        all.append(r);
    o[QStringLiteral("bytes")] = hex(all);
    o[QStringLiteral("parameter")] = p.parameter;
    if (p.kind == StoredPicture::Kind::Image) {
        o[QStringLiteral("kind")] = QStringLiteral("image");
        o[QStringLiteral("planes")] = p.planes;
        o[QStringLiteral("width")] = p.widthDots();
        o[QStringLiteral("packets")] = int(p.rows.size());
        return o;
    }
    o[QStringLiteral("kind")] = QStringLiteral("text");
    o[QStringLiteral("text")] = p.text;
    o[QStringLiteral("colour")] = p.colour;
    if (p.withEffect) {
        o[QStringLiteral("effect")] = p.effect;
        o[QStringLiteral("speed")] = p.speed;
        o[QStringLiteral("stay")] = p.stay;
    }
    return o;
}

QJsonObject radioJson(const RadioModule &r) {
    QJsonObject o;
    o[QStringLiteral("present")] = r.present;
    o[QStringLiteral("channel")] = r.channel;
    o[QStringLiteral("version")] = QString::fromLatin1(r.version);
    o[QStringLiteral("packetSize")] = r.packetSize;
    QJsonArray settings;
    for (const QByteArray &s : r.settings)
        settings.append(QString::fromLatin1(s));
    o[QStringLiteral("settings")] = settings;
    return o;
}

QJsonObject boardJson(const VirtualBoard &b, const RadioModule &radio, qint64 nowMs) {
    const BoardState &s = b.state();
    QJsonObject o;
    o[QStringLiteral("address")] = b.address();
    o[QStringLiteral("baudCode")] = s.baudCode;
    o[QStringLiteral("brightness")] = s.brightness;
    o[QStringLiteral("power")] = s.screenOn();
    const QDateTime clock = s.clockAt(nowMs);
    o[QStringLiteral("clock")] =
        clock.isValid() ? QJsonValue(clock.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                        : QJsonValue();
    o[QStringLiteral("startPicture")] = s.startPicture;
    QJsonArray properties;
    for (char c : s.parameterBlock)
        properties.append(quint8(c));
    o[QStringLiteral("properties")] = properties;
    o[QStringLiteral("size")] = QJsonArray{s.width(), s.height()};
    QJsonObject pictures;
    for (auto it = s.pictures.constBegin(); it != s.pictures.constEnd(); ++it)
        pictures[QString::number(it.key())] = pictureJson(*it);
    o[QStringLiteral("pictures")] = pictures;
    QJsonArray list;
    for (int k = 0; k + 3 < s.messageList.size(); k += 4)
        list.append(hex(s.messageList.mid(k, 4)));
    o[QStringLiteral("list")] = list;
    o[QStringLiteral("listPlaying")] = s.listPlaying;
    if (s.windowNumber.set) {
        QJsonObject w;
        w[QStringLiteral("cols")] = s.windowNumber.cols;
        w[QStringLiteral("colour")] = s.windowNumber.colour;
        w[QStringLiteral("bytes")] = hex(s.windowNumber.bytes);
        w[QStringLiteral("text")] = QString::fromLatin1(s.windowNumber.displayCodes());
        o[QStringLiteral("windowNumber")] = w;
    } else {
        o[QStringLiteral("windowNumber")] = QJsonValue();
    }
    QJsonObject uploads;
    for (auto it = s.uploads.constBegin(); it != s.uploads.constEnd(); ++it) {
        QJsonObject u;
        u[QStringLiteral("packetSize")] = it->packetSize;
        u[QStringLiteral("packets")] = it->packets;
        u[QStringLiteral("bytes")] = int(it->bytes.size());
        uploads[QString::number(it.key())] = u;
    }
    o[QStringLiteral("uploads")] = uploads;
    if (s.escaped.received) {
        QJsonObject e;
        e[QStringLiteral("address")] = s.escaped.address;
        e[QStringLiteral("polarity")] = s.escaped.polarity;
        e[QStringLiteral("length")] = s.escaped.lengthDots();
        e[QStringLiteral("brightness")] = s.escaped.brightness;
        o[QStringLiteral("parameterFrame")] = e;
    }
    // The module hangs at the host's end of the line; every board sees the same one.
    o[QStringLiteral("radio")] = radioJson(radio);
    o[QStringLiteral("lastExchange")] = s.lastExchange;
    return o;
}
} // namespace

QByteArray stateJson(const VirtualLine &line, qint64 nowMs) {
    QJsonArray boards;
    for (const VirtualBoard *b : line.boards())
        boards.append(boardJson(*b, line.radio(), nowMs));
    QJsonObject root;
    root[QStringLiteral("boards")] = boards;
    root[QStringLiteral("radio")] = radioJson(line.radio());
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}
