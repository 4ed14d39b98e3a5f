#pragma once

#include "canvas/compositeshape.h"
#include "derive/cid.h"

// The component of an interface diagram: one column of 170 per state
// change, each with the state before on top, the state entered below and
// the component's name between them.
class CKELCIDShape : public CCompositeShape
{
public:
    static constexpr int kShapeType = 610;
    static constexpr quint32 kBackground = 0xE3E0BB;
    static constexpr quint32 kPreconditionBackground = 0xC0C0C0;

    CKELCIDShape(int key, const QString &component, const Cid::Drawing &drawing);

    int BoxCount() const { return m_boxCount; }
    // The cell of box k with that name ("PrecondLabel", "NewStateLabel"), or -1.
    int BoxCell(int k, const QString &name) const;

protected:
    void PaintDecorations(QPainter *painter, qreal levelOfDetail) override;

private:
    int m_boxCount = 0;
    QList<int> m_firstCell; // index of each box's first cell
};

// An interface item beside the component: the stimulus above a column, a
// response below it.
class CKELCIDTextLabel : public CCompositeShape
{
public:
    CKELCIDTextLabel(int key, const Cid::Label &label);
    QString Text() const;
};

// How a state is told apart when the last version dropped or added it:
// dropped in grey on a dashed frame, added bold in a heavy frame.
void ApplyEvolutionLook(CLabelCell &cell, int status);
