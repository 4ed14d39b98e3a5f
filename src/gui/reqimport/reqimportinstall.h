#pragma once

class CEditor;
class CMainFrame;

// "Import Requirements" in the main menu: opens the requirements
// translation assistant, one at a time, raising it when it is open.
void InstallReqImport(CMainFrame &frame, CEditor &editor);
