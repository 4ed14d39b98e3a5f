#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class CKELCID;
class CKELDataManager;
class CKELMethod;
class CKELTree;

// Component interface diagram: for one component of a behavior tree, one box
// per state change of that component with the state it leaves, the state it
// enters, the node that triggered it and the nodes that follow it.
namespace Cid {

// Marks in front of a state text: the last version dropped or added it.
inline const QString kDroppedMarker = QStringLiteral("o~");
inline const QString kAddedMarker = QStringLiteral("n~");

struct Box
{
    int index = 0;        // place among all boxes found, before duplicates are dropped
    int nodeId = 0;       // the state-changing node
    QString precondition; // behavior name of the state before; empty for the first
    QString newState;
    int preconditionStatus = 0; // evolution status: -1 dropped, 0, 1 added
    int newStateStatus = 0;
    QStringList stimulus;  // at most one item: the parent node
    QStringList responses; // one item per child node, in child order

    // The state texts with their marker in front, as they are compared.
    QString PreconditionText() const;
    QString NewStateText() const;
};

// "o~", "n~" or nothing, for an evolution status.
QString Marker(int status);

// The interface item of a node: component + " [" + behavior + "]".
QString Item(const CKELMethod &node);

// Every box of component in source, in the order of a depth-first walk from
// the tree's first root (the first node in element order without a parent).
// Selections of the component make no box and pass the precondition on.
QList<Box> CollectBoxes(const CKELTree &source, const QString &component);

// Drops each box that repeats an earlier one: the same marked precondition
// and new state, and the same stimulus and response items in any order.
void DropDuplicateBoxes(QList<Box> &boxes);

// CollectBoxes, then DropDuplicateBoxes.
QList<Box> BuildInterface(const CKELTree &source, const QString &component);

// Drawing, in canvas coordinates. Rectangles are left, top, right, bottom.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect &, const Rect &) = default;
};

struct Label
{
    Rect rect;
    QString text;   // without marker
    int status = 0; // drawn as dropped (-1) or added (1)
};

struct Line
{
    QPoint from;
    QPoint to;
};

struct BoxDrawing
{
    Label precondition;
    Label newState;
    QList<Label> stimulus;            // stacking upwards above the shape
    QList<Label> responses;           // stacking downwards below it
    std::optional<Line> stimulusLink; // from the first stimulus into the shape
    std::optional<Line> responseLink; // from the shape to the first response
};

struct Drawing
{
    Rect shape; // 170 wide per box, 130 high, top-left at (50, 150); empty without boxes
    QList<BoxDrawing> boxes;
    int width = 0;  // the canvas must be at least this wide
    int height = 0; // and this high
};

// Items of a stack are at least 25 high and follow each other without
// overlapping.
inline constexpr int kItemPitch = 25;

// The size a text takes when wrapped at width (in canvas units). The
// screen measures with its font; without one, Cid estimates.
using TextMeasure = std::function<QSize(const QString &text, int width)>;
QSize EstimateText(const QString &text, int width);

// Labels are 120 by 25 unless their text needs more: then they widen up to
// 150 and wrap, and taller labels push the ones after them along.
Drawing DrawInterface(const QList<Box> &boxes, const TextMeasure &measure = EstimateText);

// Builds the interface of component and keeps it as a CID named after the
// component, in the "CIDs" folder of source (made when missing); neither is
// written to the solution file. boxes, when given, receives the kept boxes.
CKELCID *CreateCID(CKELDataManager &manager, CKELTree &source, const QString &component, QList<Box> *boxes = nullptr);

} // namespace Cid
