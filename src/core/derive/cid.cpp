#include "cid.h"
#include "gridmath.h"

#include "visitednodes.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QSet>

#include <algorithm>
#include <climits>
#include <vector>

namespace Cid {
namespace {

// The grid of the drawing: one column of 170 per box in a shape 130 high
// whose top-left corner stands at (50, 150).
constexpr int kShapeLeft = 50;
constexpr int kShapeTop = 150;
constexpr int kColumn = 170;
constexpr int kShapeHeight = 130;
constexpr int kLabelInset = 10;
constexpr int kLabelWidth = 120;
constexpr int kLabelHeight = 25;
// a label may widen to the column less its insets, then it wraps
constexpr int kLabelMaxWidth = kColumn - 2 * kLabelInset;
// the text's inner margins in a label, across and along
constexpr int kTextMarginX = 6;
constexpr int kTextMarginY = 4;
// the shape keeps this below its new state label, and the first response
// stands this far below the shape
constexpr int kShapeBelowState = 5;
constexpr int kResponseGap = 50;
constexpr int kPreconditionTop = 15;
constexpr int kNewStateTop = 100;
constexpr int kStimulusTop = 100;
constexpr int kResponseTop = 330;
// room between the two state labels for the component's name and the arrow
constexpr int kBetweenStates = kNewStateTop - kPreconditionTop - kLabelHeight;

const CKELMethod *firstRoot(const CKELTree &tree)
{
    for (const auto &c : tree.Children()) {
        if (c->IsMethod() && static_cast<const CKELMethod *>(c.get())->ParentId() == 0)
            return static_cast<const CKELMethod *>(c.get());
    }
    return nullptr;
}

const CKELMethod *nodeOf(const CKELTree &tree, int id)
{
    const CKELData *e = id > 0 && tree.Manager() ? tree.Manager()->Lookup(id) : nullptr;
    return e && e->IsMethod() && e->GetParent() == &tree ? static_cast<const CKELMethod *>(e) : nullptr;
}

int statusOf(const CKELMethod &node)
{
    return node.IsEvolution() ? node.GetEvStyle() : 0;
}

// Unambiguous whatever the texts hold: each part carries its length.
void appendPart(QString &key, const QString &part)
{
    key += QString::number(part.size());
    key += u':';
    key += part;
}

QString duplicateKey(const Box &box)
{
    QString key;
    appendPart(key, box.PreconditionText());
    appendPart(key, box.NewStateText());
    for (const QStringList *items : {&box.stimulus, &box.responses}) {
        QStringList sorted = *items;
        std::sort(sorted.begin(), sorted.end());
        key += QString::number(sorted.size());
        key += u'|';
        for (const QString &item : std::as_const(sorted))
            appendPart(key, item);
    }
    return key;
}

// The label's size: 120 by 25 for a short text, wider and then wrapped
// for a long one.
QSize labelSize(const QString &text, const TextMeasure &measure)
{
    const int oneLine = measure(text, INT_MAX / 2).width() + kTextMarginX;
    const int width = std::clamp(oneLine, kLabelWidth, kLabelMaxWidth);
    const int height = measure(text, width - kTextMarginX).height() + kTextMarginY;
    return {width, std::max(kLabelHeight, height)};
}

Label label(int left, int top, const QString &text, int status, const QSize &size)
{
    return {{left, top, SaturateToInt(qint64(left) + size.width()), SaturateToInt(qint64(top) + size.height())},
            text,
            status};
}

} // namespace

QString Marker(int status)
{
    return status == -1 ? kDroppedMarker : status == 1 ? kAddedMarker : QString();
}

QString Box::PreconditionText() const
{
    return Marker(preconditionStatus) + precondition;
}

QString Box::NewStateText() const
{
    return Marker(newStateStatus) + newState;
}

QString Item(const CKELMethod &node)
{
    return node.component + QStringLiteral(" [") + node.behavior + u']';
}

QList<Box> CollectBoxes(const CKELTree &source, const QString &component)
{
    QList<Box> boxes;
    const CKELMethod *root = firstRoot(source);
    if (!root)
        return boxes;

    // The precondition handed down is the behavior of the nearest state
    // change of the component above, with the status of the node it came from.
    struct Frame
    {
        const CKELMethod *node;
        QString precondition;
        int status;
    };
    std::vector<Frame> stack{{root, QString(), 0}};
    CVisitedNodes visited(source);
    while (!stack.empty()) {
        Frame f = std::move(stack.back());
        stack.pop_back();
        const CKELMethod &n = *f.node;
        // links are kept acyclic; this only guards a damaged model
        if (!visited.FirstVisit(n.GetId()))
            continue;

        QString handedDown = std::move(f.precondition);
        int handedStatus = f.status;
        if (n.component == component && n.behaviorType != KEL::Selection) {
            Box box;
            box.index = int(boxes.size());
            box.nodeId = n.GetId();
            box.newState = n.behavior;
            box.newStateStatus = statusOf(n);
            box.precondition = handedDown;
            box.preconditionStatus = handedStatus;
            if (const CKELMethod *p = nodeOf(source, n.ParentId()))
                box.stimulus.append(Item(*p));
            for (int id : n.ChildIds()) {
                if (const CKELMethod *c = nodeOf(source, id))
                    box.responses.append(Item(*c));
            }
            boxes.append(std::move(box));
            handedDown = n.behavior;
            handedStatus = statusOf(n);
        }
        // last child first, so that the first child's subtree comes next
        const QList<int> &kids = n.ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            if (const CKELMethod *c = nodeOf(source, kids[i]))
                stack.push_back({c, handedDown, handedStatus});
        }
    }
    return boxes;
}

void DropDuplicateBoxes(QList<Box> &boxes)
{
    // A box repeats an earlier one when both have the same items, counted
    // with their repetitions: two equal responses are not the same as one of
    // them and another.
    QSet<QString> seen;
    QList<Box> kept;
    for (Box &box : boxes) {
        QString key = duplicateKey(box);
        if (seen.contains(key))
            continue;
        seen.insert(std::move(key));
        kept.append(std::move(box));
    }
    boxes = std::move(kept);
}

QList<Box> BuildInterface(const CKELTree &source, const QString &component)
{
    QList<Box> boxes = CollectBoxes(source, component);
    DropDuplicateBoxes(boxes);
    return boxes;
}

QSize EstimateText(const QString &text, int width)
{
    // a plain sans serif of 9 points: about 7 units a character, 15 a line
    constexpr int kChar = 7;
    constexpr int kLine = 15;
    const int perLine = std::max(1, width / kChar);
    int lines = 1;
    int used = 0;
    int widest = 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const int len = int(std::min<qsizetype>(word.size(), perLine));
        if (used > 0 && used + 1 + len > perLine) {
            widest = std::max(widest, used);
            ++lines;
            used = len;
        } else {
            used += (used > 0 ? 1 : 0) + len;
        }
    }
    widest = std::max(widest, used);
    return {widest * kChar, lines * kLine};
}

Drawing DrawInterface(const QList<Box> &boxes, const TextMeasure &measure)
{
    Drawing drawing;
    if (boxes.isEmpty())
        return drawing;
    const qint64 n = boxes.size();
    // one shape for all boxes: as high as the tallest pair of state labels needs
    int shapeHeight = kShapeHeight;
    for (const Box &box : boxes) {
        const QSize pre = labelSize(box.precondition, measure);
        const QSize state = labelSize(box.newState, measure);
        const int stateTop = std::max(kNewStateTop, kPreconditionTop + pre.height() + kBetweenStates);
        shapeHeight = std::max(shapeHeight, stateTop + state.height() + kShapeBelowState);
    }
    drawing.shape = {kShapeLeft, kShapeTop, SaturateToInt(kShapeLeft + kColumn * n), kShapeTop + shapeHeight};
    drawing.width = SaturateToInt(kColumn * n + kShapeLeft);
    drawing.height = drawing.shape.bottom;
    const int responseTop = std::max(kResponseTop, drawing.shape.bottom + kResponseGap);
    for (qsizetype k = 0; k < boxes.size(); ++k) {
        const Box &box = boxes[k];
        const int left = SaturateToInt(kShapeLeft + kColumn * qint64(k) + kLabelInset);
        const int middle = SaturateToInt(qint64(left) + kLabelWidth / 2);
        BoxDrawing d;
        const QSize pre = labelSize(box.precondition, measure);
        d.precondition = label(left, kShapeTop + kPreconditionTop, box.precondition, box.preconditionStatus, pre);
        const int stateTop = std::max(kNewStateTop, kPreconditionTop + pre.height() + kBetweenStates);
        d.newState =
            label(left, kShapeTop + stateTop, box.newState, box.newStateStatus, labelSize(box.newState, measure));
        // the stimulus stack grows upwards from just above the shape
        qint64 bottom = kStimulusTop + kItemPitch;
        for (const QString &item : box.stimulus) {
            const QSize size = labelSize(item, measure);
            bottom -= size.height();
            d.stimulus.append(label(left, SaturateToInt(bottom), item, 0, size));
        }
        qint64 top = responseTop;
        for (const QString &item : box.responses) {
            const QSize size = labelSize(item, measure);
            d.responses.append(label(left, SaturateToInt(top), item, 0, size));
            top += size.height();
        }
        if (!d.stimulus.isEmpty())
            d.stimulusLink = Line{{middle, d.stimulus.first().rect.bottom}, {middle, kShapeTop}};
        if (!d.responses.isEmpty()) {
            d.responseLink = Line{{middle, drawing.shape.bottom}, {middle, d.responses.first().rect.top}};
            drawing.height = std::max(drawing.height, d.responses.last().rect.bottom);
        }
        drawing.boxes.append(std::move(d));
    }
    return drawing;
}

CKELCID *CreateCID(CKELDataManager &manager, CKELTree &source, const QString &component, QList<Box> *boxes)
{
    CKELData *folder = source.FirstChildOfType<CKELCIDs>(KEL::CIDs);
    if (!folder) {
        std::unique_ptr<CKELData> f = manager.CreateElement(KEL::CIDs);
        manager.RegisterElement(f.get());
        folder = f.get();
        if (!source.AddChild(f))
            return nullptr;
    }
    std::unique_ptr<CKELData> e = manager.CreateElement(KEL::CID);
    manager.RegisterElement(e.get());
    auto *cid = static_cast<CKELCID *>(e.get());
    cid->SetName(component);
    if (!folder->AddChild(e))
        return nullptr;
    if (boxes)
        *boxes = BuildInterface(source, component);
    return cid;
}

} // namespace Cid
