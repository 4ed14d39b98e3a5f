#pragma once

#include <QPoint>
#include <QSize>

class CCanvasAction;

// Where the canvas sends the changes a user makes to shapes. A scene
// without one changes its shapes itself; a document whose shapes stand for
// model elements routes the changes to its model and lets the shapes follow.
class CCanvasDelegate
{
public:
    virtual ~CCanvasDelegate() = default;
    // Places a shape (pos: top-left of its frame; size: its frame, or an
    // invalid size to keep it). False when refused; the shape then shows
    // what its owner holds.
    virtual bool SetShapeGeometry(int key, const QPoint &pos, const QSize &size) = 0;
    // The user drew a link from one shape to another.
    virtual void LinkRequested(int startKey, int endKey) = 0;
    // The user dragged the end of a link off its port.
    virtual void LinkCut(int startKey, int endKey) = 0;
    // An owner that keeps the history of its changes itself runs each
    // action here, and the scene keeps no undo step of its own. False
    // from an owner without a history of its own (the scene then runs and
    // keeps the action), or when the owner refused the change.
    virtual bool OwnsHistory() const { return false; }
    virtual bool RunAction(CCanvasAction &action)
    {
        (void)action;
        return false;
    }
};
