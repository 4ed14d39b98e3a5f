#pragma once

class CEditor;
class CMainFrame;

// Builds the simulation into the main window: "Simulation" in the main
// menu, "Simulate with ZEPH" in the RBT and DBT views' context menus and
// on the explorer's RBT, DBT and EVT rows.
void InstallSimulate(CMainFrame &frame, CEditor &editor);
