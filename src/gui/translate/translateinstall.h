#pragma once

class CEditor;
class CMainFrame;

// The model-checking translations in the main window: "Tool" > "Model
// Checking" in the main menu, "Translate to SAL" in the explorer's tree
// menus, and "Translate to SAL" / "Translate to UPPAAL" in the RBT and IBT
// views' context menus. The commands object is a child of the frame.
void InstallTranslate(CMainFrame &frame, CEditor &editor);
