#include "sim/FaultPlan.h"

namespace {
bool parseArg(const QString &arg, int min, int *value) {
    bool ok = false;
    const int v = arg.toInt(&ok);
    if (!ok || v < min) return false;
    *value = v;
    return true;
}
} // namespace

bool FaultPlan::add(const QString &spec, QString *error) {
    const qsizetype colon = spec.indexOf(QLatin1Char(':'));
    const QString name = spec.left(colon).trimmed();
    const bool hasArg = colon >= 0;
    const QString arg = hasArg ? spec.mid(colon + 1).trimmed() : QString();
    auto fail = [&](const QString &why) {
        if (error) *error = why;
        return false;
    };
    auto flag = [&](bool &f) {
        if (hasArg) return fail(name + QStringLiteral(" takes no argument"));
        f = true;
        return true;
    };
    auto number = [&](int &v, int min, int byDefault, bool required) {
        if (!hasArg) {
            if (required)
                return fail(name + QStringLiteral(" needs a number, e.g. ") + name +
                            QStringLiteral(":2"));
            v = byDefault;
            return true;
        }
        if (!parseArg(arg, min, &v))
            return fail(QStringLiteral("%1 needs a number of at least %2, not %3")
                            .arg(name)
                            .arg(min)
                            .arg(arg));
        return true;
    };
    if (name == QLatin1String("silent-link")) return flag(silentLink);
    if (name == QLatin1String("wrong-link")) return flag(wrongLink);
    if (name == QLatin1String("silent-echo")) return flag(silentEcho);
    if (name == QLatin1String("wrong-echo")) return flag(wrongEcho);
    if (name == QLatin1String("silent-param")) return flag(silentParameters);
    if (name == QLatin1String("wrong-param")) return flag(wrongParameters);
    if (name == QLatin1String("silent-radio")) return flag(silentRadio);
    if (name == QLatin1String("wrong-radio")) return flag(wrongRadio);
    if (name == QLatin1String("merged")) return flag(merged);
    if (name == QLatin1String("silent-ack")) return number(silentAckAt, 1, 0, true);
    if (name == QLatin1String("wrong-ack")) return number(wrongAckAt, 1, 0, true);
    if (name == QLatin1String("late")) return number(lateMs, 1, 0, true);
    if (name == QLatin1String("split")) return number(splitGapMs, 1, 3, false);
    if (name == QLatin1String("garbage")) return number(garbageBytes, 1, 1, false);
    if (name == QLatin1String("unplug-after")) return number(unplugAfter, 0, 0, true);
    if (name == QLatin1String("unplug")) {
        if (hasArg) return fail(QStringLiteral("unplug takes no argument; use unplug-after:K"));
        unplugAfter = 0;
        return true;
    }
    return fail(QStringLiteral("unknown fault: ") + spec);
}

bool FaultPlan::any() const {
    return !names().isEmpty();
}

QStringList FaultPlan::names() const {
    QStringList n;
    if (silentLink) n << QStringLiteral("silent-link");
    if (wrongLink) n << QStringLiteral("wrong-link");
    if (silentEcho) n << QStringLiteral("silent-echo");
    if (wrongEcho) n << QStringLiteral("wrong-echo");
    if (silentParameters) n << QStringLiteral("silent-param");
    if (wrongParameters) n << QStringLiteral("wrong-param");
    if (silentRadio) n << QStringLiteral("silent-radio");
    if (wrongRadio) n << QStringLiteral("wrong-radio");
    if (silentAckAt > 0) n << QStringLiteral("silent-ack:%1").arg(silentAckAt);
    if (wrongAckAt > 0) n << QStringLiteral("wrong-ack:%1").arg(wrongAckAt);
    if (lateMs > 0) n << QStringLiteral("late:%1").arg(lateMs);
    if (splitGapMs > 0) n << QStringLiteral("split:%1").arg(splitGapMs);
    if (merged) n << QStringLiteral("merged");
    if (garbageBytes > 0) n << QStringLiteral("garbage:%1").arg(garbageBytes);
    if (unplugAfter >= 0) n << QStringLiteral("unplug-after:%1").arg(unplugAfter);
    return n;
}

QStringList FaultPlan::synopsis() {
    return {
        QStringLiteral("silent-link        no answer to the link check"),
        QStringLiteral("wrong-link         5A instead of A5 to the link check"),
        QStringLiteral("silent-echo        no header echo (nor property answer)"),
        QStringLiteral("wrong-echo         header echo (or property answer) with byte 3 altered"),
        QStringLiteral("silent-param       no answer to the escaped parameter frame"),
        QStringLiteral("wrong-param        1B instead of 1A to the escaped parameter frame"),
        QStringLiteral("silent-radio       the radio module does not answer"),
        QStringLiteral("wrong-radio        20 characters to the query, 7 to a setting frame"),
        QStringLiteral("silent-ack:K       no answer to data packet K (counting from 1)"),
        QStringLiteral("wrong-ack:K        a wrong checksum back for data packet K"),
        QStringLiteral("late:MS            every answer goes out MS milliseconds late"),
        QStringLiteral("split[:MS]         every answer byte in its own write, MS apart (3)"),
        QStringLiteral("merged             a stray byte in the same write as each answer"),
        QStringLiteral("garbage[:N]        N stray bytes in front of each answer (1)"),
        QStringLiteral("unplug-after:K     the port vanishes once frame K is answered"),
        QStringLiteral("unplug             the port vanishes at the first frame")};
}
