#pragma once
// What a panel acts through, and what the call service's line worker will
// offer the same workflows: the device, the operator, the connection row and
// one device action at a time. No widgets.
#include "workflows/Workflow.h"

#include <functional>

class OperatorUi;
class led;

class ActionContext {
  public:
    virtual ~ActionContext() = default;

    // The device object, created on first use.
    virtual led &device() = 0;
    virtual OperatorUi &ui() = 0;
    virtual workflow::Connection connection() const = 0;

    // Runs one device action under the error trap; refuses (and says so)
    // while another one waits for a screen. Returns false when refused.
    virtual bool runDeviceAction(const std::function<void()> &action) = 0;
    // An action that goes on in steps from the event loop: begin refuses
    // (false) while another one runs; end releases the line.
    virtual bool beginDeviceAction() = 0;
    virtual void endDeviceAction() = 0;
    virtual bool actionRunning() const = 0;
    // True, and the operator is told, while a device action runs.
    virtual bool refuseWhileBusy() = 0;

    // The error trap: a typed run-time error ends the step and its number is
    // shown; false when one was raised.
    virtual bool trap(const std::function<void()> &action) = 0;
    // A note for the operator (a success, a refusal in words).
    virtual void showStatus(const QString &text) = 0;
};
