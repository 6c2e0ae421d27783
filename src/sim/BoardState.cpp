#include "sim/BoardState.h"

#include <QStringDecoder>

namespace {
int fromBcd(char c) {
    return (quint8(c) >> 4) * 10 + (quint8(c) & 0x0F);
}
constexpr quint8 CodeIntroducer = 0xFF;
constexpr int BandRows = 16;
} // namespace

StoredPicture StoredPicture::decode(quint8 parameter, const QList<QByteArray> &rows,
                                    int boardHeight) {
    StoredPicture p;
    p.parameter = parameter;
    p.rows = rows;
    const QByteArray first = rows.value(0);
    if (rows.size() == 1 && first.size() == parameter + 2) {
        p.colour = quint8(first.at(0));
        p.codes = first.mid(1);
    } else if (rows.size() == 1 && first.size() == parameter + 5) {
        p.withEffect = true;
        p.effect = quint8(first.at(0));
        p.speed = quint8(first.at(1));
        p.stay = quint8(first.at(2));
        p.colour = quint8(first.at(3));
        p.codes = first.mid(4);
    } else {
        p.kind = Kind::Image;
        const int bands = qMax(1, (boardHeight + BandRows - 1) / BandRows);
        const int n = int(rows.size());
        p.planes = (n % bands == 0 && n / bands >= 1 && n / bands <= 3) ? n / bands : 1;
        p.bytesPerRow = int(first.size()) / BandRows;
        return p;
    }
    QStringDecoder gbk("GBK");
    p.text = gbk.decode(p.codes);
    return p;
}

QByteArray WindowNumber::displayCodes() const {
    QByteArray out;
    for (int i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes.at(i));
        if (b != CodeIntroducer || i + 1 >= bytes.size()) {
            out.append(char(b));
            continue;
        }
        const int code = quint8(bytes.at(++i));
        if (code <= 9)
            out.append(char('0' + code));
        else if (code <= 19)
            out.append('0').append(char('0' + code - 10));
        else if (code <= 109)
            out.append(QByteArray::number(code - 10));
        else
            out.append("--"); // the custom window number the board keeps itself
    }
    return out;
}

BoardState::BoardState() {
    // As the board leaves the factory: 128 x 32 dots, two colours, board type 1.
    parameterBlock = QByteArray::fromHex("AA55A55A"
                                         "01"
                                         "4F"
                                         "10"
                                         "00"
                                         "00"
                                         "0F"
                                         "03"
                                         "00"
                                         "10"
                                         "00"
                                         "00"
                                         "00"
                                         "01"
                                         "EF");
}

int BoardState::width() const {
    return (quint8(parameterBlock.at(9)) + 1) * 8;
}

int BoardState::height() const {
    return (quint8(parameterBlock.at(10)) + 1) * 8;
}

void BoardState::setSize(int widthDots, int heightDots) {
    parameterBlock[9] = char(qBound(1, widthDots / 8, 256) - 1);
    parameterBlock[10] = char(qBound(1, heightDots / 8, 256) - 1);
}

QDateTime BoardState::clockTime() const {
    if (clock.size() < 6) return QDateTime();
    const QDate date(2000 + fromBcd(clock.at(5)), fromBcd(clock.at(4)), fromBcd(clock.at(3)));
    const QTime time(fromBcd(clock.at(2)), fromBcd(clock.at(1)), fromBcd(clock.at(0)));
    return QDateTime(date, time);
}

QDateTime BoardState::clockAt(qint64 nowMs) const {
    const QDateTime set = clockTime();
    return set.isValid() ? set.addMSecs(qMax<qint64>(0, nowMs - clockSetMs)) : set;
}

int BoardState::clockWeekday() const {
    return clock.size() < 7 ? -1 : quint8(clock.at(6));
}

int BoardState::codeOfRate(int rate) {
    for (int code : {239, 119, 59, 19})
        if (baudRate(code) == rate) return code;
    return 0;
}

int BoardState::baudRate(int baudCode) {
    switch (baudCode) {
    case 239:
        return 9600;
    case 119:
        return 19200;
    case 59:
        return 38400;
    case 19:
        return 115200;
    }
    return 0;
}
