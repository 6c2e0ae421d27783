#include "sim/RadioModule.h"

#include <QStringList>

QByteArray nibbleChars(int v) {
    QByteArray out;
    out.append(char(0x30 + ((v >> 4) & 0x0F)));
    out.append(char(0x30 + (v & 0x0F)));
    return out;
}

namespace {
int fromNibbleChars(const QByteArray &two) {
    return ((quint8(two.at(0)) - 0x30) & 0x0F) << 4 | ((quint8(two.at(1)) - 0x30) & 0x0F);
}
constexpr int ChannelOffset = 104;
} // namespace

QByteArray RadioModule::answer() const {
    QByteArray a = QByteArrayLiteral("RD:");
    a += nibbleChars(channel + ChannelOffset);
    a += QByteArrayLiteral(",V");
    a += version.leftJustified(3, ' ', true);
    a += nibbleChars(packetSize);
    a += char('0' + baudIndex % 10);
    a += char('0' + airBaudIndex % 10);
    a += char('0' + powerIndex % 10);
    a += char(0x30 + rangeIndex);
    a += longAnswer ? QByteArrayLiteral(",LEDSIM0001\r\n") : QByteArrayLiteral(",\r\n");
    return a;
}

void RadioModule::apply(const QByteArray &setting) {
    settings.append(setting);
    if (setting.size() < 4) return;
    if (setting.startsWith("S1")) channel = fromNibbleChars(setting.mid(2, 2)) - ChannelOffset;
    if (setting.startsWith("S2")) packetSize = fromNibbleChars(setting.mid(2, 2));
}

bool RadioModule::configure(const QString &spec, QString *error) {
    auto fail = [&] {
        if (error)
            *error = QStringLiteral("--radio needs none or VERSION[:CHANNEL][:long], "
                                    "for example 2.0:22, not ") +
                     spec;
        return false;
    };
    if (spec == QLatin1String("none")) {
        present = false;
        return true;
    }
    const QStringList parts = spec.split(QLatin1Char(':'));
    if (parts.isEmpty() || parts.size() > 3 || parts.at(0).size() != 3) return fail();
    version = parts.at(0).toLatin1();
    if (parts.size() > 1) {
        bool ok = false;
        channel = parts.at(1).toInt(&ok, 10);
        if (!ok || channel < 0 || channel > 151) return fail();
    }
    if (parts.size() > 2) {
        if (parts.at(2) != QLatin1String("long")) return fail();
        longAnswer = true;
    }
    present = true;
    return true;
}
