#include "sim/BoardState.h"

namespace {
int fromBcd(char c) {
    return (quint8(c) >> 4) * 10 + (quint8(c) & 0x0F);
}
} // namespace

BoardState::BoardState() {
    // As the board leaves the factory: 64 x 64 dots, board type 1, clock display off.
    parameterBlock = QByteArray::fromHex("AA55A55A"
                                         "01"
                                         "00"
                                         "10"
                                         "00"
                                         "00"
                                         "07"
                                         "07"
                                         "00"
                                         "10"
                                         "00"
                                         "00"
                                         "00"
                                         "01"
                                         "EF");
}

QDateTime BoardState::clockTime() const {
    if (clock.size() < 6) return QDateTime();
    const QDate date(2000 + fromBcd(clock.at(5)), fromBcd(clock.at(4)), fromBcd(clock.at(3)));
    const QTime time(fromBcd(clock.at(2)), fromBcd(clock.at(1)), fromBcd(clock.at(0)));
    return QDateTime(date, time);
}

int BoardState::clockWeekday() const {
    return clock.size() < 7 ? -1 : quint8(clock.at(6));
}
