#include "kellinkshape.h"

#include "editortexts.h"
#include "kelnodeshape.h"

CKELLinkShape::CKELLinkShape(CKELNodeShape *parent, CKELNodeShape *child, int kind, int evolutionStatus)
    : CLinkShape(parent, CKELNodeShape::BottomPort, child, CKELNodeShape::TopPort)
{
    SetObjectName(QStringLiteral("KELConnection"));
    SetObjectCaption(QString());
    // the head first, so that the bends are worked out once
    Configure(kind, evolutionStatus);
    SetRouted(true);
}

CKELLinkShape::CLook CKELLinkShape::LookOf(int kind, int evolutionStatus)
{
    CLook look;
    look.arrowType = kind == Atomic ? NoArrow : FilledArrow;
    look.colour = evolutionStatus == -1 ? Canvas::FromColorRef(0xD2D2D2) : QColor(Qt::black);
    look.lineWidth = evolutionStatus == 1 ? 3 : 1;
    return look;
}

void CKELLinkShape::Configure(int kind, int evolutionStatus)
{
    m_kind = kind;
    m_evolutionStatus = evolutionStatus;
    const CLook look = LookOf(kind, evolutionStatus);
    SetEndArrowType(look.arrowType);
    if (look.arrowType != NoArrow) {
        SetEndArrowWidth(look.arrowWidth);
        SetEndArrowLength(look.arrowLength);
    }
    setToolTip(kind == Atomic ? EditorTexts::AtomicLinkToolTip : EditorTexts::LinkToolTip);
    SetLineColor(look.colour);
    SetLineWidth(look.lineWidth);
    update();
}
