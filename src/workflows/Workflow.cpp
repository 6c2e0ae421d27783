#include "workflows/Workflow.h"

#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

namespace workflow {

void connect(led &device, const Connection &connection, bool strictAddress) {
    try {
        device.PAdress = VbNumbers::int16Of(connection.address);
    } catch (const VbError &) {
        if (strictAddress) throw;
    }
    device.serieinit(qint16(connection.port), connection.baud);
}

Outcome trapped(OperatorUi &ui, const std::function<Outcome()> &steps) {
    try {
        return steps();
    } catch (const VbError &e) {
        ui.statusError(e.number(), e.text());
    }
    return Outcome::Refused;
}

} // namespace workflow
