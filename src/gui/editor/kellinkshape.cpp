#include "kellinkshape.h"

#include "editortexts.h"
#include "kelnodeshape.h"

CKELLinkShape::CKELLinkShape(CKELNodeShape *parent, CKELNodeShape *child, int kind, int evolutionStatus)
    : CLinkShape(parent, CKELNodeShape::BottomPort, child, CKELNodeShape::TopPort)
{
    SetObjectName(QStringLiteral("KELConnection"));
    SetObjectCaption(QString());
    SetRouted(true);
    Configure(kind, evolutionStatus);
}

void CKELLinkShape::Configure(int kind, int evolutionStatus)
{
    m_kind = kind;
    m_evolutionStatus = evolutionStatus;
    if (kind == Atomic) {
        SetEndArrowType(NoArrow);
        setToolTip(EditorTexts::AtomicLinkToolTip);
    } else {
        SetEndArrowType(FilledArrow);
        SetEndArrowWidth(2);
        SetEndArrowLength(3);
        setToolTip(EditorTexts::LinkToolTip);
    }
    SetLineColor(evolutionStatus == -1 ? Canvas::FromColorRef(0xD2D2D2) : QColor(Qt::black));
    SetLineWidth(evolutionStatus == 1 ? 3 : 1);
    update();
}
