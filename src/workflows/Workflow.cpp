#include "workflows/Workflow.h"

#include "config/NumericText.h"
#include "encoding/TextChecks.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <algorithm>

namespace workflow {

void connect(led &device, const Connection &connection, bool strictAddress) {
    try {
        device.PAdress = VbNumbers::int16Of(connection.address);
    } catch (const VbError &) {
        if (strictAddress) throw;
    }
    device.serieinit(qint16(connection.port), connection.baud);
}

void tellFailure(const led &device, OperatorUi &ui, const QString &text, const QString &caption) {
    if (!device.portFailureTold()) ui.message(text, caption);
}

void tellResult(const led &device, OperatorUi &ui, bool ok, const QString &success,
                const QString &failure, const QString &caption) {
    if (ok)
        ui.message(success, caption);
    else
        tellFailure(device, ui, failure, caption);
}

Outcome trapped(OperatorUi &ui, const std::function<Outcome()> &steps) {
    try {
        return steps();
    } catch (const VbError &e) {
        ui.statusError(e.number(), e.text());
    }
    return Outcome::Refused;
}

int fieldNumber(const QString &text) {
    return int(VbNumbers::roundHalfEven(std::clamp(NumericText::value(text), -1e6, 1e6)));
}

bool lossyTextAgreed(OperatorUi &ui, const QString &text, const QString &caption) {
    const QString lossy = textchecks::unrepresentableProblem(text);
    // Characters the screen cannot show are never replaced silently.
    return lossy.isEmpty() ||
           ui.askSubstitution(lossy + QStringLiteral("，是否继续发送？"), caption);
}

} // namespace workflow
