#pragma once

class CEditor;
class CMainFrame;

// Builds the windows of interaction networks and interface diagrams into
// the main window: "Open" and double clicks on them, their creation from
// the explorer, the tree views and the "Model" menu. What it makes
// (a CDiagramWindows and a CDiagramCommands) are children of the frame.
void InstallDiagrams(CMainFrame &frame, CEditor &editor);
