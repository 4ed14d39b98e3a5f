#pragma once

#include "canvas/compositeshape.h"
#include "derive/cin.h"

#include <array>

// One component of an interaction network: a box of 150 by 50 with the
// component's name and nine ports on its top edge and nine on its bottom
// edge. The box is keyed by its CIN node record.
class CKELCINShape : public CCompositeShape
{
public:
    static constexpr int kShapeType = 610;
    static constexpr quint32 kBackground = 0xE3E0BB;
    static constexpr quint32 kDroppedBackground = 0xD2D2D2;
    static constexpr int kAddedFrameWidth = 3;

    CKELCINShape(const Cin::Box &box, const QString &toolTip);

    int NodeId() const { return Key(); }
    QString Component() const;
    int Status() const { return m_status; }

    // Ports are numbered 1 to 9 from the left on each edge; 10 to 17 lie
    // between them (see Cin::PortOffset).
    static int TopPortIndex(int port) { return port - 1; }
    static int BottomPortIndex(int port) { return Cin::kPortCount + port - 1; }
    bool TopUsed(int port) const;
    bool BottomUsed(int port) const;
    void MarkTopUsed(int port);
    void MarkBottomUsed(int port);
    void ClearUsedPorts();

private:
    std::array<bool, Cin::kPortSlots> m_topUsed{};
    std::array<bool, Cin::kPortSlots> m_bottomUsed{};
    int m_status = 0;
};
