#include "workflows/Workflows.h"

#include "app/MainWindow.h"
#include "workflows/QueueCallingWorkflow.h"

void installWorkflows(MainWindow &window) {
    new QueueCallingWorkflow(window); // owned by the window
}
