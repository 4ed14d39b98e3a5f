#pragma once

#include "canvas/linkshape.h"

class CKELNodeShape;

// The link from a parent node's bottom port to a child's top port: an
// arrow, or a plain line when the child is atomic; grey into a dropped
// evolution node, bold into an added one.
class CKELLinkShape : public CLinkShape
{
public:
    enum Kind { Ordinary = 1, Atomic = 2 };

    // How a link of a kind into a node of an evolution status is drawn.
    struct CLook
    {
        int arrowType = NoArrow;
        int arrowWidth = 2;
        int arrowLength = 3;
        int lineWidth = 1;
        QColor colour;
        QSizeF Head() const
        {
            return arrowType == NoArrow ? QSizeF(0, 0) : ArrowHeadSize(arrowLength, arrowWidth, lineWidth);
        }
    };
    static CLook LookOf(int kind, int evolutionStatus);

    CKELLinkShape(CKELNodeShape *parent, CKELNodeShape *child, int kind, int evolutionStatus);

    int LinkKind() const { return m_kind; }
    int EvolutionStatus() const { return m_evolutionStatus; }
    // Applies a kind and a status again, when the child's record changed.
    void Configure(int kind, int evolutionStatus);

private:
    int m_kind = Ordinary;
    int m_evolutionStatus = 0;
};
