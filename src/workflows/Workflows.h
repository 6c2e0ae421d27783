#pragma once
// Connects the panels' controls to their workflows.
class MainWindow;

void installWorkflows(MainWindow &window);
