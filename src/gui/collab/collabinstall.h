#pragma once

class CCollabCommands;
class CEditor;
class CMainFrame;

// Collaboration in a main window: one shared-solution client for the
// frame's model, the connect, disconnect and open-shared entries, and the
// file commands' shared saves. Everything it makes belongs to the frame.
CCollabCommands *InstallCollab(CMainFrame &frame, CEditor &editor);
