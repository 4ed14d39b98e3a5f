#pragma once

#include <QByteArray>

class CKELDataManager;

// A design tree drawn as the tree window shows it, as SVG for a report,
// with an invisible box with id "n" + node id over each node so a link
// "#n42" can point the reader at it.
QByteArray TraceDrawing(CKELDataManager &manager, int treeId);
