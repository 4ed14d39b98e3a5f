#include "kelnodeshape.h"

#include "editortexts.h"

#include "canvas/canvasscene.h"
#include "canvas/colourscheme.h"
#include "explorer/explorertooltip.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QPainter>
#include <QPointF>

namespace {

using Canvas::FromColorRef;

// Cells are given as left, top, right, bottom.
QRect box(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

constexpr int kCollapseMark = 12;

} // namespace

CKELNodeShape::CKELNodeShape(int nodeId) : CCompositeShape(nodeId), nNodeId(nodeId)
{
    SetType(30);
    SetBkColor(FromColorRef(0xE3E0BB));
    SetType(kShapeType);
}

QString CKELNodeShape::TagText(const CKELMethod &node)
{
    QString text = node.requirementTag;
    if (node.missType == 1)
        text += QStringLiteral(" +");
    else if (node.missType == 2)
        text += QStringLiteral(" -");
    return text;
}

QString CKELNodeShape::ComText(const CKELMethod &node)
{
    QString text = node.component;
    if (!node.qualifier.isEmpty())
        text += u' ' + node.qualifier;
    if (node.jumpType == 1)
        text += QStringLiteral(" ^");
    else if (node.jumpType == 2)
        text += QStringLiteral(" =");
    return text;
}

QString CKELNodeShape::StaText(const CKELMethod &node)
{
    return (node.nonDeterministic ? QStringLiteral("[] ") : QString())
           + KEL::Decorate(node.behavior, node.behaviorType);
}

QColor CKELNodeShape::StatusColour(const CKELMethod &node, int simulationMark)
{
    return StatusColour(node, simulationMark, ColourScheme::Current());
}

QColor CKELNodeShape::StatusColour(const CKELMethod &node, int simulationMark, ColourScheme::Scheme scheme)
{
    const ColourScheme::NodeColours &colours = ColourScheme::Nodes(scheme);
    QColor c = colours.plain;
    switch (simulationMark) {
    case 1: c = colours.ready; break;
    // the steps use hues no node fill has, light enough for black text
    case 2: c = colours.currentStep; break;
    case 3: c = colours.earlierStep; break;
    default:
        switch (node.missType) {
        case 0: c = colours.implemented; break;
        case 1: c = colours.implied; break;
        case 2: c = colours.missing; break;
        default: break;
        }
    }
    if (node.GetEvStyle() == -1)
        c = colours.evolution;
    return c;
}

Qt::PenStyle CKELNodeShape::MarkLineStyle(int highlightCode)
{
    switch (highlightCode) {
    case 1: return Qt::DashLine;    // integration point
    case 2: return Qt::DotLine;     // missing precondition
    case 3: return Qt::DashDotLine; // matching node
    default: return Qt::SolidLine;
    }
}

QColor CKELNodeShape::MarkColour(int highlightCode, ColourScheme::Scheme scheme)
{
    return ColourScheme::Nodes(scheme).marks[qBound(1, highlightCode, 3) - 1];
}

int CKELNodeShape::StatusPenStyle(const CKELMethod &node, int simulationMark)
{
    // same order as StatusColour: a simulation step outranks the node's kind
    switch (simulationMark) {
    case 2: return 1; // the step just reported: dashed
    case 3: return 2; // earlier steps: dotted
    case 1: return 0;
    default: break;
    }
    switch (node.missType) {
    case 1: return 3; // implied: dash-dot
    case 2: return 2; // missing: dotted
    default: return 0;
    }
}

QString CKELNodeShape::ToolTipFor(const CKELMethod &node, const CKELDataManager &manager)
{
    if (!node.IsEvolution())
        return ExplorerToolTip::ForNode(manager, node);
    // each version the node occurs in, named by its version and tree
    QStringList versions;
    for (int id : node.EvTags()) {
        const CKELData *tree = manager.Lookup(id);
        if (!tree) {
            versions.append(QStringLiteral("#%1").arg(id));
            continue;
        }
        const CKELVersion *v = manager.VersionOf(tree);
        versions.append((v ? v->GetName() : QStringLiteral("?")) + QStringLiteral("->") + tree->GetName());
    }
    return EditorTexts::EvolutionToolTip + versions.join(QStringLiteral(", "));
}

QString CKELNodeShape::HoverText() const
{
    const auto *node = m_manager ? m_manager->LookupAs<CKELMethod>(nNodeId, KEL::Method) : nullptr;
    return node ? ToolTipFor(*node, *m_manager) : QString();
}

void CKELNodeShape::RefreshFromModel(const CKELDataManager &manager, int simulationMark, int highlightCode)
{
    const auto *node = manager.LookupAs<CKELMethod>(nNodeId, KEL::Method);
    if (!node)
        return;
    BuildLabels(*node, node->w, node->h, simulationMark);
    const QRect border = GetBorderArea();
    SetPortPositions({QPointF(border.width() / 2.0, 0), QPointF(border.width() / 2.0, border.height())});
    SetObjectCaption(QStringLiteral("KELMethod"));
    SetObjectName(QStringLiteral("KELNode"));
    m_manager = &manager;
    if (highlightCode >= 1 && highlightCode <= 3)
        Highlight(highlightCode);
    else
        ClearHighlight();
}

QRect CKELNodeShape::CCells::Border() const
{
    QRect r = QRect(QPoint(0, 0), frame.size());
    for (const CLabelCell &c : cells)
        r = r.united(c.rect);
    return r;
}

CKELNodeShape::CCells CKELNodeShape::Cells(const CKELMethod &node, int w, int h, int simulationMark,
                                           ColourScheme::Scheme scheme)
{
    if (w <= 0)
        w = kDefaultWidth;
    if (h <= 0)
        h = kDefaultHeight;
    const int q = w / 4;
    const bool showExtTag = node.hasExtendedTag && node.displayExtendedTag;
    const int W = showExtTag ? w + q : w;

    CCells out;
    out.frame = box(0, 0, W, h);
    // a large tree holds these for every box: no room beyond what it draws
    const qsizetype infoRows =
        node.displayExtraInfo ? std::min(node.extraInfoTags.size(), node.extraInfoNames.size()) : 0;
    out.cells.reserve(5 + (node.doubleLine ? 1 : 0) + (showExtTag ? 1 : 0) + infoRows * (showExtTag ? 3 : 2));
    auto add = [&out](const QString &name, const QString &text, const QRect &rect) -> CLabelCell & {
        CLabelCell cell;
        cell.name = name;
        cell.text = text;
        cell.rect = rect;
        out.cells.append(cell);
        return out.cells.last();
    };
    auto last = [&out] { return int(out.cells.size()) - 1; };

    {
        CLabelCell &f = add(QString(), QString(), box(0, 0, W, h));
        out.frameCell = last();
        f.nullPen = false;
        f.selectProtect = true;
        f.brushType = 1;
        f.bkColor = StatusColour(node, simulationMark, scheme);
        f.penStyle = StatusPenStyle(node, simulationMark);
        f.lineWidth = node.GetEvStyle() == 1 ? 3 : 1;
    }

    const int m = node.doubleLine ? 3 : 0;
    if (node.doubleLine) {
        CLabelCell &c = add(QString(), QString(), box(3, 3, W - 3, h - 3));
        out.innerFrame = last();
        c.penStyle = 0;
        c.nullPen = false;
        c.selectProtect = true;
    }

    {
        CLabelCell &c = add(QStringLiteral("Tag"), TagText(node), box(m, m, q, h - m));
        out.tag = last();
        c.pointSize = 9;
        c.penStyle = 0;
        c.nullPen = false;
        c.selectProtect = true;
    }
    {
        CLabelCell &c = add(QStringLiteral("Com"), ComText(node), box(q, m, w - m, h / 2));
        out.com = last();
        c.faceName = QStringLiteral("Arial");
        c.pointSize = 9;
        c.nullPen = true;
        c.selectProtect = true;
    }
    {
        CLabelCell &c = add(QStringLiteral("Sta"), StaText(node), box(q, h / 2, w - m, h - m));
        out.sta = last();
        c.faceName = QStringLiteral("Arial");
        c.pointSize = 8;
        c.nullPen = true;
        c.selectProtect = true;
    }
    if (showExtTag) {
        CLabelCell &c = add(QStringLiteral("ExtraTag"), node.extendedTag, box(w - m, m, W - m, h - m));
        out.extraTag = last();
        c.pointSize = 9;
        c.nullPen = false;
        c.selectProtect = true;
    }

    if (node.displayExtraInfo) {
        const qsizetype rows = std::min(node.extraInfoTags.size(), node.extraInfoNames.size());
        for (qsizetype i = 0; i < rows; ++i) {
            const int y = h + int(i) * kInfoRowHeight;
            auto row = [&](const QString &name, const QString &text, const QRect &r) {
                CLabelCell &c = add(name, text, r);
                c.brushType = 1;
                c.bkColor = Qt::white;
                c.selectProtect = true;
                return last();
            };
            out.infoTags.append(
                row(QStringLiteral("ExtraInfoTag"), node.extraInfoTags[i], box(0, y, 50, y + kInfoRowHeight)));
            out.infoNames.append(
                row(QStringLiteral("ExtraInfoName"), node.extraInfoNames[i], box(50, y, 200, y + kInfoRowHeight)));
            if (showExtTag)
                out.infoExtTags.append(
                    row(QStringLiteral("ExtraInfoExtTag"), QString(), box(200, y, 250, y + kInfoRowHeight)));
        }
    }

    // the overlay that takes the frame's place when the user clicks the box
    CLabelCell &o = add(QString(), QString(), box(0, 0, W, h));
    o.penStyle = 0;
    o.nullPen = false;
    o.selectProtect = true;
    return out;
}

void CKELNodeShape::BuildLabels(const CKELMethod &node, int w, int h, int simulationMark)
{
    CCells made = Cells(node, w, h, simulationMark, ColourScheme::Current());
    SetCells(made.frame, made.cells);
    m_frame = made.frameCell;
    m_innerFrame = made.innerFrame;
    m_tag = made.tag;
    m_com = made.com;
    m_sta = made.sta;
    m_extraTag = made.extraTag;
    m_infoTags = std::move(made.infoTags);
    m_infoNames = std::move(made.infoNames);
    m_infoExtTags = std::move(made.infoExtTags);
    update();
}

void CKELNodeShape::Highlight(int code)
{
    // magenta for matches: the default fill is green, and no fill is near magenta
    if (code >= 1 && code <= 3)
        SetLineColor(MarkColour(code, ColourScheme::Current()));
    // the kind of mark shows in the outline too, for readers who cannot
    // tell the colours apart
    SetLineStyle(MarkLineStyle(code));
    SetLineWidth(kMarkLineWidth);
    SetNullPen(false);
    m_highlight = code;
    update();
}

void CKELNodeShape::ClearHighlight()
{
    SetLineColor(Qt::black);
    SetLineStyle(Qt::SolidLine);
    SetNullPen(true);
    m_highlight = 0;
    update();
}

void CKELNodeShape::SetCollapsed(bool on)
{
    if (on == m_collapsed)
        return;
    prepareGeometryChange();
    m_collapsed = on;
    update();
}

QRectF CKELNodeShape::boundingRect() const
{
    QRectF r = CCompositeShape::boundingRect();
    if (m_collapsed)
        r.setBottom(std::max<qreal>(r.bottom(), GetBorderArea().bottom() + kCollapseMark + 4));
    return r;
}

QRect CKELNodeShape::DrawnRect() const
{
    return DrawnRectOf(GetBoundRect(), m_collapsed);
}

QRect CKELNodeShape::DrawnRectOf(const QRect &border, bool collapsed)
{
    QRect r = border;
    if (collapsed)
        r.setBottom(r.bottom() + kCollapseMark + 3);
    return r;
}

QRectF CKELNodeShape::collapseMark(const QRectF &border)
{
    return QRectF(border.left() + border.width() / 2.0 - kCollapseMark / 2.0, border.bottom() + 1.0, kCollapseMark,
                  kCollapseMark);
}

QByteArray CKELNodeShape::CollapseMarkSvg(const QRectF &border)
{
    const QRectF mark = collapseMark(border);
    const QPointF c = mark.center();
    const auto n = [](qreal v) { return QByteArray::number(v, 'f', 1); };
    return "<rect x=\"" + n(mark.x()) + "\" y=\"" + n(mark.y()) + "\" width=\"" + n(mark.width()) + "\" height=\""
           + n(mark.height()) + "\" style=\"fill:#ffffff;stroke:#000000\"/>\n<path d=\"M" + n(c.x() - 3.5) + ' '
           + n(c.y()) + 'H' + n(c.x() + 3.5) + 'M' + n(c.x()) + ' ' + n(c.y() - 3.5) + 'V' + n(c.y() + 3.5)
           + "\" style=\"stroke:#000000\"/>\n";
}

QByteArray CKELNodeShape::SvgDecorations(const QPointF &origin) const
{
    if (!m_collapsed)
        return QByteArray();
    return CollapseMarkSvg(QRectF(GetBorderArea()).translated(pos() - origin));
}

void CKELNodeShape::PaintDecorations(QPainter *painter, qreal)
{
    if (!m_collapsed)
        return;
    // a small box with a plus below the node says that its subtree is hidden
    const QRectF mark = collapseMark(QRectF(GetBorderArea()));
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(Qt::white);
    painter->drawRect(mark);
    const QPointF c = mark.center();
    painter->drawLine(QPointF(c.x() - 3.5, c.y()), QPointF(c.x() + 3.5, c.y()));
    painter->drawLine(QPointF(c.x(), c.y() - 3.5), QPointF(c.x(), c.y() + 3.5));
}
