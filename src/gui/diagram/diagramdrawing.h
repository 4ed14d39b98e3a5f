#pragma once

#include "derive/cid.h"
#include "derive/cin.h"

#include <QList>
#include <QString>

class CCanvasScene;
class CKELDataManager;

// Puts the geometry that core computed for a derived diagram on a canvas,
// as it stands: the canvas adds nothing of its own to the places.
namespace DiagramDrawing {

inline const QString kConnectionName = QStringLiteral("CIN Connection");
inline const QString kCidLinkName = QStringLiteral("CID Link");
inline const QString kVersionTip = QStringLiteral("Version:");
inline constexpr quint32 kDroppedLine = 0xC0C0C0;
inline constexpr int kAddedLineWidth = 2;

// Each tree of an evolution's version list as "version->tree".
QString VersionsText(const QList<int> &treeIds, const CKELDataManager &manager);

// A box per component and a connection per routed pair.
void DrawNetwork(CCanvasScene &scene, const Cin::Network &network, const CKELDataManager &manager);

// After the user moved boxes of a network: puts each moved box on the
// nearest free place of the grid (or leaves it where it was dropped), takes
// the places into network (a view's own state, never saved), routes every
// connection again and draws the new lines in place of the old ones.
void FollowMovedBoxes(CCanvasScene &scene, Cin::Network &network, const CKELDataManager &manager);

// How the interface's labels measure their text: with the font they are
// drawn in, so that every label fits its text.
QSize MeasureLabelText(const QString &text, int width);

// The component's shape, its interface items and their links; nothing
// when the component changes no state.
void DrawInterface(CCanvasScene &scene, const QString &component, const Cid::Drawing &drawing);

} // namespace DiagramDrawing
