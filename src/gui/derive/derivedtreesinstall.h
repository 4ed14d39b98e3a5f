#pragma once

class CEditor;
class CMainFrame;

// Puts integration, CBTs and evolution trees into the main window: the
// explorer's entries, the tree views' context menus and "View CBT". The
// commands live in a CDerivedTrees child of the frame.
void InstallDerivedTrees(CMainFrame &frame, CEditor &editor);
