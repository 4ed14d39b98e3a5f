#include "diagramdrawing.h"

#include "diagramline.h"
#include "kelcidshape.h"
#include "kelcinshape.h"

#include "canvas/canvasscene.h"
#include "canvas/canvastypes.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

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

void DrawNetwork(CCanvasScene &scene, const Cin::Network &network, const CKELDataManager &manager)
{
    QList<CKELCINShape *> shapes;
    for (const Cin::Box &box : network.boxes) {
        const QString tip = box.evolution.isEvolution
                                ? kVersionTip + VersionsText(box.evolution.versions, manager)
                                : box.component;
        auto *shape = new CKELCINShape(box, tip);
        scene.AddShape(shape);
        shapes.append(shape);
    }
    for (const Cin::Connection &c : network.connections) {
        if (c.from < 0 || c.from >= shapes.size() || c.to < 0 || c.to >= shapes.size())
            continue;
        shapes[c.from]->MarkBottomUsed(c.fromPort);
        shapes[c.to]->MarkTopUsed(c.toPort);
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
    growToItems(scene);
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
