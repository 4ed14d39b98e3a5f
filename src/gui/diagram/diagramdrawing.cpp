#include "diagramdrawing.h"

#include "diagramline.h"
#include "kelcidshape.h"
#include "kelcinshape.h"

#include "canvas/canvasscene.h"
#include "canvas/canvastypes.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

#include <QFontMetrics>

#include <algorithm>

namespace DiagramDrawing {
namespace {

// Room kept right of and below the drawing, so that it never touches the
// edge of the page area.
constexpr int kMargin = 50;

QList<QPointF> toF(const QList<QPoint> &points)
{
    QList<QPointF> out;
    out.reserve(points.size());
    for (const QPoint &p : points)
        out.append(QPointF(p));
    return out;
}

void growToItems(CCanvasScene &scene)
{
    const QRectF all = scene.itemsBoundingRect();
    if (!all.isEmpty())
        scene.GrowToReach(QPoint(int(all.right()) + kMargin, int(all.bottom()) + kMargin));
}

} // namespace

QString VersionsText(const QList<int> &treeIds, const CKELDataManager &manager)
{
    QStringList names;
    for (int id : treeIds) {
        const CKELData *tree = manager.Lookup(id);
        if (!tree) {
            names.append(QStringLiteral("#%1").arg(id));
            continue;
        }
        const CKELVersion *v = manager.VersionOf(tree);
        names.append((v ? v->GetName() : QStringLiteral("?")) + QStringLiteral("->") + tree->GetName());
    }
    return names.join(QStringLiteral(", "));
}

namespace {

void drawConnections(CCanvasScene &scene, const Cin::Network &network, const CKELDataManager &manager)
{
    for (const Cin::Connection &c : network.connections) {
        if (c.from < 0 || c.from >= network.boxes.size() || c.to < 0 || c.to >= network.boxes.size())
            continue;
        auto *from = dynamic_cast<CKELCINShape *>(scene.ShapeByKey(network.boxes[c.from].nodeId));
        auto *to = dynamic_cast<CKELCINShape *>(scene.ShapeByKey(network.boxes[c.to].nodeId));
        if (!from || !to)
            continue;
        from->MarkBottomUsed(c.fromPort);
        to->MarkTopUsed(c.toPort);
        auto *line = new CDiagramLine(toF(c.points));
        line->SetObjectName(kConnectionName);
        if (c.evolution.isEvolution) {
            if (c.evolution.status == 1)
                line->SetLineWidth(kAddedLineWidth);
            else if (c.evolution.status == -1)
                line->SetLineColor(Canvas::FromColorRef(kDroppedLine));
            line->setToolTip(kVersionTip + VersionsText(c.evolution.versions, manager));
        }
        scene.addItem(line);
    }
}

} // namespace

void DrawNetwork(CCanvasScene &scene, const Cin::Network &network, const CKELDataManager &manager)
{
    for (const Cin::Box &box : network.boxes) {
        const QString tip =
            box.evolution.isEvolution ? kVersionTip + VersionsText(box.evolution.versions, manager) : box.component;
        scene.AddShape(new CKELCINShape(box, tip));
    }
    drawConnections(scene, network, manager);
    growToItems(scene);
}

void FollowMovedBoxes(CCanvasScene &scene, Cin::Network &network, const CKELDataManager &manager)
{
    for (Cin::Box &box : network.boxes) {
        auto *shape = dynamic_cast<CKELCINShape *>(scene.ShapeByKey(box.nodeId));
        if (!shape)
            continue;
        shape->ClearUsedPorts();
        QPoint at = shape->pos().toPoint();
        if (at == QPoint(box.x, box.y))
            continue;
        // the routes run in the gaps of the grid: a dropped box takes the
        // nearest free place on it, or stays where it was dropped
        const QPoint cell(qRound(double(at.x() - Cin::kLeft) / Cin::kColumnPitch),
                          qRound(double(at.y() - Cin::kTop) / Cin::kRowPitch));
        const QPoint snapped(Cin::kLeft + cell.x() * Cin::kColumnPitch, Cin::kTop + cell.y() * Cin::kRowPitch);
        const bool taken = std::any_of(network.boxes.cbegin(), network.boxes.cend(), [&](const Cin::Box &other) {
            return other.nodeId != box.nodeId && QPoint(other.x, other.y) == snapped;
        });
        if (!taken && snapped.x() >= 0 && snapped.y() >= 0) {
            at = snapped;
            shape->setPos(at);
        }
        box.x = at.x();
        box.y = at.y();
    }
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items) {
        if (item->type() == CDiagramLine::Type && static_cast<CDiagramLine *>(item)->ObjectName() == kConnectionName)
            delete item;
    }
    Cin::RouteConnections(network);
    drawConnections(scene, network, manager);
    growToItems(scene);
}

QSize MeasureLabelText(const QString &text, int width)
{
    // the face and size the label cells are drawn with, bold as the
    // precondition is
    const QFontMetrics metrics(Canvas::FontFor(QStringLiteral("Arial"), 9, 700));
    return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::AlignCenter | Qt::TextWordWrap, text).size();
}

void DrawInterface(CCanvasScene &scene, const QString &component, const Cid::Drawing &drawing)
{
    if (drawing.boxes.isEmpty())
        return;
    int key = 1;
    scene.AddShape(new CKELCIDShape(key++, component, drawing));
    auto addLine = [&scene](const Cid::Line &l) {
        auto *line = new CDiagramLine({QPointF(l.from), QPointF(l.to)});
        line->SetObjectName(kCidLinkName);
        scene.addItem(line);
    };
    for (const Cid::BoxDrawing &b : drawing.boxes) {
        for (const Cid::Label &item : b.stimulus)
            scene.AddShape(new CKELCIDTextLabel(key++, item));
        for (const Cid::Label &item : b.responses)
            scene.AddShape(new CKELCIDTextLabel(key++, item));
        if (b.stimulusLink)
            addLine(*b.stimulusLink);
        if (b.responseLink)
            addLine(*b.responseLink);
    }
    scene.GrowToReach(QPoint(drawing.shape.right + kMargin, drawing.height + kMargin));
}

} // namespace DiagramDrawing
