#pragma once

#include "canvas/colourscheme.h"
#include "canvas/compositeshape.h"

class CKELDataManager;
class CKELMethod;

// One node of a behavior tree on the canvas: the requirement tag on the
// left, the component above the behavior on the right, an optional extra
// tag column and extra-information rows below. It holds the id of its node
// and draws what the node record says.
class CKELNodeShape : public CCompositeShape
{
public:
    static constexpr int kShapeType = 610;
    static constexpr int kDefaultWidth = 200;
    static constexpr int kDefaultHeight = 50;
    static constexpr int kInfoRowHeight = 25;
    enum Port { TopPort = 0, BottomPort = 1 };
    // Colours as 0xBBGGRR values, like the stored ones: orange for the
    // simulation's current step, violet for earlier steps, a magenta
    // outline for matching nodes.
    static constexpr quint32 kCurrentStepFill = 0x00A0FF;
    static constexpr quint32 kEarlierStepFill = 0xFF82B4;
    static constexpr quint32 kMatchingOutline = 0xFF00FF;
    static constexpr int kMarkLineWidth = 4;

    // What a node's box is made of, the same on the canvas and in a picture
    // drawn straight from the model: the frame and the cells, with the
    // index of each cell by role (-1 where the node shows none).
    struct CCells
    {
        QRect frame;
        QList<CLabelCell> cells;
        int frameCell = -1, innerFrame = -1, tag = -1, com = -1, sta = -1, extraTag = -1;
        QList<int> infoTags, infoNames, infoExtTags;
        // frame and cells together, from the origin
        QRect Border() const;
    };
    static CCells Cells(const CKELMethod &node, int w, int h, int simulationMark, ColourScheme::Scheme scheme);

    explicit CKELNodeShape(int nodeId);

    int NodeId() const { return nNodeId; }

    // Rebuilds the cells and ports from the node record. The simulation
    // mark (0 none, 1 to 3 while a simulation runs) and the integration
    // highlight (CIntegration::Highlight) are view state.
    void RefreshFromModel(const CKELDataManager &manager, int simulationMark = 0, int highlightCode = 0);
    void BuildLabels(const CKELMethod &node, int w, int h, int simulationMark);

    // The frame and cells together
    int GetShapeWidth() const { return GetBorderArea().width(); }
    int GetShapeHeight() const { return GetBorderArea().height(); }
    int GetShapeLeft() const { return GetBoundRect().left(); }
    int GetShapeTop() const { return GetBoundRect().top(); }

    // Codes 1 (integration point), 2 (missing precondition) and 3 (matching
    // node) draw a wide coloured outline; other codes keep the colour.
    void Highlight(int code);
    // Takes the outline away and gives the frame back its own width.
    void ClearHighlight();
    int HighlightCode() const { return m_highlight; }

    // A collapsed node hides its descendants and shows a mark below.
    void SetCollapsed(bool on);
    bool IsCollapsed() const { return m_collapsed; }

    // Cells by role; null when the node does not show one.
    const CLabelCell *FrameCell() const { return cellAt(m_frame); }
    const CLabelCell *InnerFrameCell() const { return cellAt(m_innerFrame); }
    const CLabelCell *TagCell() const { return cellAt(m_tag); }
    const CLabelCell *ComCell() const { return cellAt(m_com); }
    const CLabelCell *StaCell() const { return cellAt(m_sta); }
    const CLabelCell *ExtraTagCell() const { return cellAt(m_extraTag); }
    int ExtraInfoRows() const { return int(m_infoTags.size()); }
    const CLabelCell *ExtraInfoTagCell(int row) const { return cellAt(m_infoTags.value(row, -1)); }
    const CLabelCell *ExtraInfoNameCell(int row) const { return cellAt(m_infoNames.value(row, -1)); }
    const CLabelCell *ExtraInfoExtTagCell(int row) const { return cellAt(m_infoExtTags.value(row, -1)); }

    // The texts of the three main cells
    static QString TagText(const CKELMethod &node);
    static QString ComText(const CKELMethod &node);
    static QString StaText(const CKELMethod &node);
    // The frame's colour: simulation mark, else the missing type; a dropped
    // evolution node is grey over either.
    static QColor StatusColour(const CKELMethod &node, int simulationMark);
    static QColor StatusColour(const CKELMethod &node, int simulationMark, ColourScheme::Scheme scheme);
    // The outline that goes with the fill (0 solid, 1 dash, 2 dot, 3 dash-dot)
    // and with a mark command's highlight, so that no mark is told by colour alone.
    static int StatusPenStyle(const CKELMethod &node, int simulationMark);
    static Qt::PenStyle MarkLineStyle(int highlightCode);
    // The outline colour of highlight codes 1 to 3.
    static QColor MarkColour(int highlightCode, ColourScheme::Scheme scheme);
    // The collapse mark below a box whose frame and cells cover border, as
    // SVG elements in the same coordinates.
    static QByteArray CollapseMarkSvg(const QRectF &border);
    // What a box whose frame and cells cover border draws, collapse mark included.
    static QRect DrawnRectOf(const QRect &border, bool collapsed);
    static QString ToolTipFor(const CKELMethod &node, const CKELDataManager &manager);

    QString HoverText() const override;

    QRectF boundingRect() const override;
    QRect DrawnRect() const override;
    QByteArray SvgDecorations(const QPointF &origin) const override;

protected:
    void PaintDecorations(QPainter *painter, qreal levelOfDetail) override;

private:
    static QRectF collapseMark(const QRectF &border);
    const CLabelCell *cellAt(int index) const { return index >= 0 && index < CellCount() ? &Cell(index) : nullptr; }

    int nNodeId;
    // where HoverText looks the node up; set by RefreshFromModel
    const CKELDataManager *m_manager = nullptr;
    int m_frame = -1;
    int m_innerFrame = -1;
    int m_tag = -1;
    int m_com = -1;
    int m_sta = -1;
    int m_extraTag = -1;
    QList<int> m_infoTags;
    QList<int> m_infoNames;
    QList<int> m_infoExtTags;
    int m_highlight = 0;
    bool m_collapsed = false;
};
