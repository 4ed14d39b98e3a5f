#pragma once

class CEditor;
class CMainFrame;

// Builds every part of the program into the main window: the tree editor,
// then integration and derived trees, diagrams, translation, simulation,
// requirements import and collaboration (left out for a window that only
// shows a copy). Null without a main window.
CEditor *InstallProgramParts(CMainFrame &frame, bool collaboration = true);

// The tree editor alone, filling the main window's places (CEditorHost).
CEditor *InstallEditor(CMainFrame &frame);
