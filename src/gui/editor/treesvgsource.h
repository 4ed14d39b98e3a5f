#pragma once

#include "canvas/colourscheme.h"
#include "canvas/svgwriter.h"

#include <QHash>

#include <vector>

class CKELDataManager;
class CKELMethod;
class CTessel1Doc;

// A tree drawn straight from its records, for SVG: the boxes where the
// layout put them, made of the same cells as on the canvas, and the links
// routed as the canvas routes them. No canvas is built, so that a picture
// of 10^5 nodes costs what writing it costs.
class CTreeSvgSource : public CSvgSource
{
public:
    // view, when given, is the tree's window: what it hides, marks and
    // formats is drawn as it shows it. scheme gives the boxes' fills.
    CTreeSvgSource(const CKELDataManager &manager, int treeId, const CTessel1Doc *view, ColourScheme::Scheme scheme);

    QRectF Area() const override { return m_area; }
    void Boxes(const QPointF &origin, const std::function<void(const CSvgBox &)> &visit) const override;
    void Links(const std::function<void(const CSvgLink &)> &visit) const override;

    int BoxCount() const { return int(m_boxes.size()); }

private:
    struct Box
    {
        const CKELMethod *node;
        QPoint pos;
        QRect border; // frame and cells, from the origin
        int mark = 0;
        int highlight = 0;
        bool collapsed = false;
        int parent = -1; // index of the parent's box, -1 for none
    };
    // the route of the link into box i, and how it is drawn
    CSvgLink linkInto(const Box &child) const;
    QRect drawnRect(const Box &b) const;

    const CTessel1Doc *m_view;
    ColourScheme::Scheme m_scheme;
    std::vector<Box> m_boxes;
    QRectF m_area;
};
