#include "workflows/Workflows.h"

#include "app/MainWindow.h"
#include "workflows/ControlCommandsWorkflow.h"
#include "workflows/QueueCallingWorkflow.h"
#include "workflows/ScreenManagementWorkflow.h"

void installWorkflows(MainWindow &window) {
    // Owned by the window.
    new ScreenManagementWorkflow(window);
    new QueueCallingWorkflow(window);
    new ControlCommandsWorkflow(window);
}
