#include "kelcinshape.h"

#include "canvas/canvastypes.h"

namespace {

bool inRange(int port)
{
    return port >= 1 && port <= Cin::kPortSlots;
}

} // namespace

CKELCINShape::CKELCINShape(const Cin::Box &box, const QString &toolTip)
    : CCompositeShape(box.nodeId)
    , m_status(box.evolution.isEvolution ? box.evolution.status : 0)
{
    // the user may move a box to untangle the lines; the place is the
    // window's own and the lines are routed again (see FollowMovedBoxes)
    setFlag(ItemIsMovable, true);
    const QRect frame(0, 0, Cin::kBoxWidth, Cin::kBoxHeight);
    Create(frame, QStringLiteral("KELCINShape"));
    SetObjectName(QStringLiteral("KELCINShape"));
    SetType(kShapeType);
    const int comp = AddText(QStringLiteral("Comp"), box.component, frame);
    CLabelCell &cell = Cell(comp);
    cell.faceName = QStringLiteral("Arial");
    cell.pointSize = 9;
    cell.brushType = 1;
    cell.bkColor = Canvas::FromColorRef(m_status == -1 ? kDroppedBackground : kBackground);
    cell.lineWidth = m_status == 1 ? kAddedFrameWidth : 1;
    if (m_status == 1)
        cell.weight = 700;
    SetBkColor(cell.bkColor);

    QList<QPointF> ports;
    for (int k = 1; k <= Cin::kPortCount; ++k)
        ports.append(QPointF(Cin::kPortPitch * k, 0));
    for (int k = 1; k <= Cin::kPortCount; ++k)
        ports.append(QPointF(Cin::kPortPitch * k, Cin::kBoxHeight));
    SetPortPositions(ports);
    setPos(box.x, box.y);
    setToolTip(toolTip);
}

QString CKELCINShape::Component() const
{
    const int comp = FindCell(QStringLiteral("Comp"));
    return comp >= 0 ? Cell(comp).text : QString();
}

bool CKELCINShape::TopUsed(int port) const
{
    return inRange(port) && m_topUsed[port - 1];
}

bool CKELCINShape::BottomUsed(int port) const
{
    return inRange(port) && m_bottomUsed[port - 1];
}

void CKELCINShape::MarkTopUsed(int port)
{
    if (inRange(port))
        m_topUsed[port - 1] = true;
}

void CKELCINShape::MarkBottomUsed(int port)
{
    if (inRange(port))
        m_bottomUsed[port - 1] = true;
}

void CKELCINShape::ClearUsedPorts()
{
    m_topUsed.fill(false);
    m_bottomUsed.fill(false);
}
