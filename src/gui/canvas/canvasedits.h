#pragma once

#include "canvastypes.h"

#include <functional>

class CCanvasScene;

// Edits of the format and align bars on a scene's selection, each one undo step.
namespace CanvasEdits {

// Changes the format of every selected shape and link; false when nothing changed.
bool ApplyFormat(CCanvasScene &scene, const QString &text, const std::function<void(Canvas::CShapeFormat &)> &change);
bool SetFaceName(CCanvasScene &scene, const QString &face);
bool SetPointSize(CCanvasScene &scene, int pointSize);
bool SetFill(CCanvasScene &scene, const QColor &colour);
bool SetLineColor(CCanvasScene &scene, const QColor &colour);
bool SetLineWidth(CCanvasScene &scene, int width);

enum class Alignment { Left, Centre, Right, Top, Middle, Bottom, SameWidth, SameHeight };
// Lines the selected shapes up with the first one selected (their frames);
// false when fewer than two shapes are selected or nothing moves.
bool Align(CCanvasScene &scene, Alignment how);

} // namespace CanvasEdits
