#include "treesvgsource.h"

#include "kellinkshape.h"
#include "kelnodeshape.h"
#include "tessel1doc.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <algorithm>

CTreeSvgSource::CTreeSvgSource(const CKELDataManager &manager, int treeId, const CTessel1Doc *view,
                               ColourScheme::Scheme scheme)
    : m_view(view)
    , m_scheme(scheme)
{
    const CKELData *e = manager.Lookup(treeId);
    if (!e || !e->IsTree())
        return;
    const auto &tree = static_cast<const CKELTree &>(*e);
    const QList<const CKELMethod *> nodes = tree.Nodes();
    m_boxes.reserve(size_t(nodes.size()));
    for (const CKELMethod *n : nodes) {
        if (!CTessel1Doc::IsDrawnIn(tree, *n) || (view && !view->IsShown(n->GetId())))
            continue;
        Box b{n, QPoint(n->x, n->y), {}};
        if (view) {
            b.pos = view->ShownPlace(*n);
            b.mark = view->SimulationMark(n->GetId());
            b.highlight = view->IntegrationMarks().CodeOf(n->GetId());
            b.collapsed = view->IsCollapsed(n->GetId());
        }
        b.border = CKELNodeShape::Cells(*n, n->w, n->h, b.mark, scheme).Border();
        m_boxes.push_back(b);
    }
    // the same tree gives the same file
    std::sort(m_boxes.begin(), m_boxes.end(),
              [](const Box &a, const Box &b) { return a.node->GetId() < b.node->GetId(); });
    QHash<int, int> index;
    index.reserve(qsizetype(m_boxes.size()));
    for (size_t i = 0; i < m_boxes.size(); ++i)
        index.insert(m_boxes[i].node->GetId(), int(i));
    for (Box &b : m_boxes)
        b.parent = b.node->ParentId() ? index.value(b.node->ParentId(), -1) : -1;

    QRectF area;
    for (const Box &b : m_boxes) {
        area |= QRectF(drawnRect(b));
        if (b.parent >= 0)
            area |= linkInto(b).path.boundingRect();
    }
    // the canvas's own margin round what it draws
    m_area = area.isNull() ? QRectF(0, 0, 1, 1) : area.adjusted(-10, -10, 10, 10);
}

QRect CTreeSvgSource::drawnRect(const Box &b) const
{
    return CKELNodeShape::DrawnRectOf(b.border.translated(b.pos), b.collapsed);
}

CSvgLink CTreeSvgSource::linkInto(const Box &child) const
{
    const Box &parent = m_boxes[size_t(child.parent)];
    const CKELLinkShape::CLook look = CKELLinkShape::LookOf(
        child.node->atomic ? CKELLinkShape::Atomic : CKELLinkShape::Ordinary, child.node->GetEvStyle());
    CSvgLink link;
    link.colour = look.colour;
    link.width = look.lineWidth;
    if (m_view) {
        if (const CKELLinkShape *shown = m_view->LinkInto(child.node->GetId())) {
            link.colour = shown->EffectiveLineColor();
            link.width = shown->EffectiveLineWidth();
        }
    }
    link.arrowType = look.arrowType;
    link.head = look.arrowType == CLinkShape::NoArrow
                    ? QSizeF(0, 0)
                    : CLinkShape::ArrowHeadSize(look.arrowLength, look.arrowWidth, link.width);
    // from the parent's bottom port to the child's top port, both at the middle
    const QPointF a(parent.pos.x() + parent.border.width() / 2.0, parent.pos.y() + parent.border.height());
    const QPointF b(child.pos.x() + child.border.width() / 2.0, child.pos.y());
    link.path = CLinkShape::RouteDownward(a, QRectF(drawnRect(parent)), b, QRectF(drawnRect(child)), link.head);
    return link;
}

void CTreeSvgSource::Boxes(const QPointF &origin, const std::function<void(const CSvgBox &)> &visit) const
{
    for (const Box &b : m_boxes) {
        const CKELNodeShape::CCells cells = CKELNodeShape::Cells(*b.node, b.node->w, b.node->h, b.mark, m_scheme);
        CSvgBox box;
        box.key = b.node->GetId();
        box.pos = b.pos;
        box.frame = cells.frame;
        box.cells = &cells.cells;
        const CKELNodeShape *shown = m_view ? m_view->NodeShape(b.node->GetId()) : nullptr;
        if (shown)
            box.format = &shown->Format();
        if (b.highlight >= 1 && b.highlight <= 3) {
            box.outline = shown ? shown->Format().lineColor.value_or(CKELNodeShape::MarkColour(b.highlight, m_scheme))
                                : CKELNodeShape::MarkColour(b.highlight, m_scheme);
            box.outlineWidth = CKELNodeShape::kMarkLineWidth;
            box.outlineStyle = CKELNodeShape::MarkLineStyle(b.highlight);
        }
        if (b.collapsed)
            box.decorations = CKELNodeShape::CollapseMarkSvg(QRectF(b.border.translated(b.pos)).translated(-origin));
        visit(box);
    }
}

void CTreeSvgSource::Links(const std::function<void(const CSvgLink &)> &visit) const
{
    for (const Box &b : m_boxes) {
        if (b.parent >= 0)
            visit(linkInto(b));
    }
}
