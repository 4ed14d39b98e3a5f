#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include <array>

class CKELCIN;
class CKELDataManager;
class CKELTree;

// Component interaction network: one box per component of a behavior tree
// and one connection from component A to component B whenever a node of A
// has a child node of B. Everything here is plain data; the canvas only
// draws it and the command line prints it.
namespace Cin {

// The grid the boxes stand on and the shape of a box.
inline constexpr int kLeft = 50;
inline constexpr int kTop = 80;
inline constexpr int kColumnPitch = 240;
inline constexpr int kRowPitch = 130;
inline constexpr int kBoxWidth = 150;
inline constexpr int kBoxHeight = 50;
// Nine ports on the top edge and nine on the bottom edge, numbered 1 to 9
// from the left, 16 apart (the width divided by nine).
inline constexpr int kPortCount = 9;
inline constexpr int kPortPitch = kBoxWidth / kPortCount;
inline constexpr int kMiddlePort = 5;
// When more lines leave or enter an edge than it has ports, ports 10 to 17
// lie halfway between ports 1 and 2, 2 and 3, ... 8 and 9, so that lines
// keep apart instead of sharing a port.
inline constexpr int kPortSlots = 2 * kPortCount - 1;

// Distance of a port from the box's left edge.
inline constexpr int PortOffset(int port)
{
    return port <= kPortCount ? kPortPitch * port : kPortPitch * (port - kPortCount) + kPortPitch / 2;
}

struct EvolutionMark
{
    bool isEvolution = false;
    int status = 0;      // -1 dropped, 0 kept, 1 added in the last version
    QList<int> versions; // ids of the chosen trees it occurs in
};

struct Box
{
    int nodeId = 0; // the CIN node record, 0 before it is made
    QString component;
    int x = 0;
    int y = 0;
    int row = 0;
    EvolutionMark evolution;
    std::array<bool, kPortSlots> topUsed{};
    std::array<bool, kPortSlots> bottomUsed{};

    QPoint TopPort(int port) const { return {x + PortOffset(port), y}; }
    QPoint BottomPort(int port) const { return {x + PortOffset(port), y + kBoxHeight}; }
};

struct Connection
{
    int linkId = 0; // the link record, 0 before it is made
    int from = 0;   // box indexes
    int to = 0;
    EvolutionMark evolution;
    int fromPort = 0; // 1..17, 0 before routing
    int toPort = 0;
    // Two points (straight down into the box below), else four or six: down
    // from the bottom port, along the gaps between rows and columns, and into
    // the top port from above.
    QList<QPoint> points;
};

struct Network
{
    QList<Box> boxes;              // in order of first appearance
    QList<Connection> connections; // in creation order
};

// Boxes and connections of the tree below its first root (the first node in
// element order without a parent), not yet routed.
Network BuildNetwork(const CKELTree &source);

// Chooses the ports of every connection, in order, and draws its polyline.
void RouteConnections(Network &network);

// The position of the k-th box of a row (both counted from 0).
QPoint BoxPosition(int row, int k);

// Builds and routes the network of source and keeps it as a CIN under the
// tree: one node record per box, one link record per connection, none of
// them written to the solution file. network, when given, receives the
// geometry with the record ids filled in.
CKELCIN *CreateCIN(CKELDataManager &manager, CKELTree &source, Network *network = nullptr);

// The routed network of a CIN made by CreateCIN.
Network NetworkOf(const CKELCIN &cin);

} // namespace Cin
