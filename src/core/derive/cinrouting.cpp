// Routing of the connections of a component interaction network.
//
// Ports are chosen first, for every connection in creation order, so that the
// lines can then be laid out knowing which ports are in use. A line leaves
// its bottom port straight down by 8 units per place from the nearer end of
// the edge (a place between two ports half-way between their levels), so
// that neighbouring lines run at different heights. A line into
// the row just below then runs across and down into its top port (4 points);
// any other line goes sideways into the gap beside its box, along that gap to
// the row of its target, across above that row and down into the top port
// (6 points). Every horizontal and vertical run is entered in an occupancy
// set of its lane, and a run that would lie on top of another one is moved to
// the next lane: lines may cross but do not share a stretch, unless a very
// crowded network leaves no lane free.
#include "cin.h"
#include "gridmath.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <map>
#include <unordered_map>
#include <vector>

namespace Cin {
namespace {

// Vertical lanes in the gap between two columns, 3 apart. A line first looks
// for lanes that keep kClearance from every other run beside it, then half
// that, then any free lane; no lane lies within kClearance of a box's side.
// The left half belongs to the box on its left, the right half to the box on
// its right, so that stubs from both sides never meet; a crowded gap lends
// its other half, and then the gaps further out.
constexpr int kGap = kColumnPitch - kBoxWidth; // 90
constexpr int kLaneStep = 3;
constexpr int kLanesPerGap = kGap / kLaneStep - 1; // 29
constexpr int kHalf = kLanesPerGap / 2;            // 14
constexpr int kGapsPerSide = 3;
// Lines keep this far from box edges and, while the network leaves room, from
// each other.
constexpr int kClearance = 8;
constexpr int kFirstLane = (kClearance + kLaneStep - 1) / kLaneStep; // 3
constexpr int kLastLane = kLanesPerGap + 1 - kFirstLane;             // 27
// Horizontal lanes above a row, at even distances from its top, between the
// levels at which lines leave the row above (multiples of 8 below the gap's
// top), chosen with the same spacing passes as the vertical lanes.
constexpr int kEntryStep = 2;
constexpr int kDropStep = 8;
constexpr int kRowGap = kRowPitch - kBoxHeight; // 80
// A straight line fills the whole gap below its port.
constexpr int kFullGap = kRowGap / (kDropStep / 2);

int rowOf(const Box &b)
{
    return FloorDivToInt(qint64(b.y) - kTop, kRowPitch);
}

int columnOf(const Box &b)
{
    return FloorDivToInt(qint64(b.x) - kLeft, kColumnPitch);
}

// How far a line drops from its bottom port before it turns, in half places
// (kDropStep / 2): two per place from the nearer end of the edge (2 for ports
// 1 and 9, 10 for the middle); a place between two ports drops half-way
// between its neighbours' levels, so lines past the ninth never share a
// first stretch with a port's line.
constexpr int kHalfDrop = kDropStep / 2;
int dropSteps(int port)
{
    if (port > kPortCount) {
        const int k = port - kPortCount; // between k and k + 1
        return 2 * std::min(k, kPortCount - k) + 1;
    }
    return 2 * std::min(port, kPortCount + 1 - port);
}

// Lane t (1..29) of the gap left of column g.
int laneX(int g, int t)
{
    return SaturateToInt(kLeft + qint64(kColumnPitch) * g - kGap + qint64(kLaneStep) * t);
}

// Left of the first column the gap ends at the canvas edge: only the lanes
// at positive x are used, and there are no gaps further left.
int firstLane(int g)
{
    return g == 0 ? std::max(kFirstLane, (kGap - kLeft) / kLaneStep + 1) : kFirstLane;
}

quint64 key(qint64 a, qint64 b)
{
    return (quint64(quint32(SaturateToInt(a))) << 32) | quint32(SaturateToInt(b));
}

// Closed intervals on one line, kept disjoint.
class CIntervalSet
{
public:
    bool Overlaps(int a, int b) const
    {
        auto it = m_spans.upper_bound(b);
        if (it == m_spans.begin())
            return false;
        --it;
        return it->second >= a;
    }

    void Insert(int a, int b)
    {
        auto it = m_spans.upper_bound(b);
        while (it != m_spans.begin()) {
            auto prev = std::prev(it);
            if (prev->second < a)
                break;
            a = std::min(a, prev->first);
            b = std::max(b, prev->second);
            it = m_spans.erase(prev);
        }
        m_spans.emplace(a, b);
    }

private:
    std::map<int, int> m_spans;
};

// Intervals that may overlap each other; counts those that meet a query.
class CReservations
{
public:
    void Add(int a, int b)
    {
        m_lefts.push_back(a);
        m_rights.push_back(b);
    }
    void Seal()
    {
        std::sort(m_lefts.begin(), m_lefts.end());
        std::sort(m_rights.begin(), m_rights.end());
    }
    qsizetype CountMeeting(int a, int b) const
    {
        const auto startedBefore = std::upper_bound(m_lefts.begin(), m_lefts.end(), b) - m_lefts.begin();
        const auto endedBefore = std::lower_bound(m_rights.begin(), m_rights.end(), a) - m_rights.begin();
        return startedBefore - endedBefore;
    }

private:
    std::vector<int> m_lefts;
    std::vector<int> m_rights;
};

enum class Side { Left, Right };

// After the nine ports, the places between them in the same order.
constexpr int kFromFirst[kPortSlots] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr int kFromSixth[kPortSlots] = {6, 7, 8, 9, 1, 2, 3, 4, 5, 15, 16, 17, 10, 11, 12, 13, 14};

// Distances above a row's top at which lines may run across to their port,
// nearest first; the levels of lines leaving the row above are left out.
const std::vector<int> &entryOffsets()
{
    static const std::vector<int> offsets = [] {
        std::vector<int> out;
        for (int offset = kClearance; offset < kRowGap; offset += kEntryStep) {
            if (offset >= kRowGap - kDropStep * kMiddlePort && offset % (kDropStep / 2) == 0)
                continue;
            out.push_back(offset);
        }
        return out;
    }();
    return offsets;
}

int takePort(std::array<bool, kPortSlots> &used, const int (&order)[kPortSlots])
{
    for (int port : order) {
        if (!used[size_t(port - 1)]) {
            used[size_t(port - 1)] = true;
            return port;
        }
    }
    // every place on the edge is taken: share the first one of the order
    return order[0];
}

class CConnectionRouter
{
public:
    explicit CConnectionRouter(Network &network) : m_net(network), m_straight(size_t(network.connections.size()), false)
    {}

    void Run()
    {
        for (qsizetype i = 0; i < m_net.connections.size(); ++i)
            choosePorts(i);
        reserve();
        for (qsizetype i = 0; i < m_net.connections.size(); ++i)
            draw(i);
    }

private:
    const Box &from(const Connection &c) const { return m_net.boxes[c.from]; }
    const Box &to(const Connection &c) const { return m_net.boxes[c.to]; }

    // A box straight below its source in the next row is reached through the
    // two middle ports; everything else takes the first free port of a
    // search order that favours the side the target lies on.
    void choosePorts(qsizetype i)
    {
        Connection &c = m_net.connections[i];
        Box &a = m_net.boxes[c.from];
        Box &b = m_net.boxes[c.to];
        const int middle = kMiddlePort - 1;
        if (c.from != c.to && a.x == b.x && qint64(b.y) == qint64(a.y) + kRowPitch && !a.bottomUsed[middle]
            && !b.topUsed[middle]) {
            a.bottomUsed[middle] = true;
            b.topUsed[middle] = true;
            c.fromPort = c.toPort = kMiddlePort;
            m_straight[size_t(i)] = true;
            return;
        }
        const bool targetLeft = b.x < a.x;
        c.fromPort = takePort(a.bottomUsed, targetLeft ? kFromFirst : kFromSixth);
        c.toPort = takePort(m_net.boxes[c.to].topUsed, targetLeft ? kFromSixth : kFromFirst);
    }

    Side sideOf(const Connection &c) const
    {
        if (c.fromPort != kMiddlePort)
            return c.fromPort < kMiddlePort ? Side::Left : Side::Right;
        return to(c).x < from(c).x ? Side::Left : Side::Right;
    }

    // The lanes a stub may go to: the gap beside the box on the port's side
    // (its own half first), the gap on the other side, then the gaps further
    // out in turn; within a gap, the lanes nearest the box first.
    std::vector<std::pair<int, int>> lanesFor(const Connection &c) const
    {
        std::vector<std::pair<int, int>> lanes; // (gap, lane)
        const int col = columnOf(from(c));
        const bool right = sideOf(c) == Side::Right;
        const auto addGap = [&](qint64 g) {
            if (g < 0 || g > INT_MAX)
                return;
            const int gap = int(g);
            if (gap > col) {
                for (int t = firstLane(gap); t <= kLastLane; ++t)
                    lanes.emplace_back(gap, t);
            } else {
                for (int t = kLastLane; t >= firstLane(gap); --t)
                    lanes.emplace_back(gap, t);
            }
        };
        for (int step = 0; step < kGapsPerSide; ++step) {
            const qint64 rightGap = qint64(col) + 1 + step;
            const qint64 leftGap = qint64(col) - step;
            addGap(right ? rightGap : leftGap);
            addGap(right ? leftGap : rightGap);
        }
        if (lanes.empty()) // a box moved far left of the grid
            addGap(0);
        return lanes;
    }

    // Before any line is drawn: the stretch beside each used bottom port where
    // its stub may run, and how far down each drop reaches. A line that
    // crosses a row's gap straight to the next row keeps clear of both.
    void reserve()
    {
        for (qsizetype i = 0; i < m_net.connections.size(); ++i) {
            const Connection &c = m_net.connections[i];
            const Box &a = from(c);
            const QPoint p = a.BottomPort(c.fromPort);
            const int row = rowOf(a);
            int &depth = m_dropDepth[key(row, p.x())];
            if (m_straight[size_t(i)]) {
                depth = std::max(depth, kFullGap);
                continue;
            }
            const int d = dropSteps(c.fromPort);
            depth = std::max(depth, d);
            const int col = columnOf(a);
            if (sideOf(c) == Side::Left)
                m_reserved[key(row, d)].Add(laneX(col, kHalf + 2), p.x());
            else
                m_reserved[key(row, d)].Add(p.x(), laneX(SaturateToInt(qint64(col) + 1), kHalf));
        }
        for (auto &[k, r] : m_reserved)
            r.Seal();
    }

    static bool overlaps(const std::unordered_map<quint64, CIntervalSet> &lanes, quint64 lane, int a, int b)
    {
        const auto it = lanes.find(lane);
        return it != lanes.end() && it->second.Overlaps(std::min(a, b), std::max(a, b));
    }

    // Whether a run between a and b would lie closer than spacing beside
    // another run: lanes are keyed (group, index), neighbours indexStep
    // apart in the key and units apart on the canvas.
    static bool neighbourBusy(const std::unordered_map<quint64, CIntervalSet> &lanes, int group, int index,
                              int indexStep, int units, int spacing, int a, int b)
    {
        for (int k = 1; k * units < spacing; ++k) {
            if (overlaps(lanes, key(group, qint64(index) - k * indexStep), a, b)
                || overlaps(lanes, key(group, qint64(index) + k * indexStep), a, b))
                return true;
        }
        return false;
    }

    int dropDepth(int row, int x) const
    {
        const auto it = m_dropDepth.find(key(row, x));
        return it == m_dropDepth.end() ? 0 : it->second;
    }

    bool tryFourPoints(Connection &c, QPoint p, QPoint q, int level, int d)
    {
        const Box &a = from(c);
        const Box &b = to(c);
        const int row = rowOf(a);
        if (qint64(rowOf(b)) != qint64(row) + 1 || p.x() == q.x())
            return false;
        const int lo = std::min(p.x(), q.x());
        const int hi = std::max(p.x(), q.x());
        CIntervalSet &exits = m_exitLevels[key(row, d)];
        if (exits.Overlaps(lo, hi))
            return false;
        // its own stub stretch always meets the run; any other one must not
        const auto r = m_reserved.find(key(row, d));
        if (r != m_reserved.end() && r->second.CountMeeting(lo, hi) > 1)
            return false;
        // the run down into the target must not continue a drop from above
        if (dropDepth(row, q.x()) >= d)
            return false;
        exits.Insert(lo, hi);
        c.points = {p, QPoint(p.x(), level), QPoint(q.x(), level), q};
        return true;
    }

    void drawSixPoints(Connection &c, QPoint p, QPoint q, int level, int d)
    {
        const Box &b = to(c);
        const int rowA = rowOf(from(c));
        const int rowB = rowOf(b);
        CIntervalSet &exits = m_exitLevels[key(rowA, d)];

        // lanes whose stub is free; a stub keeps out of the stretch of another
        // used port unless the network is so crowded that nothing else is left
        const auto reserved = m_reserved.find(key(rowA, d));
        std::vector<std::pair<int, int>> lanes;
        std::vector<std::pair<int, int>> crowdedLanes;
        for (const auto &lane : lanesFor(c)) {
            const int vx = laneX(lane.first, lane.second);
            const int lo = std::min(p.x(), vx);
            const int hi = std::max(p.x(), vx);
            if (exits.Overlaps(lo, hi))
                continue;
            if (reserved != m_reserved.end() && reserved->second.CountMeeting(lo, hi) > 1)
                crowdedLanes.push_back(lane);
            else
                lanes.push_back(lane);
        }
        const std::vector<int> &entries = entryOffsets();
        // how far down the drop from the port straight above the target reaches
        const int above = dropDepth(SaturateToInt(qint64(rowB) - 1), q.x());
        const qint64 aboveEnd = qint64(b.y) - kRowGap + qint64(kHalfDrop) * above;
        const auto entryY = [&](int offset) { return SaturateToInt(qint64(b.y) - offset); };
        // every entry level makes the run along the gap cover at least this
        const int nearestEntry = std::clamp(level, entryY(entries.back()), entryY(entries.front()));

        std::pair<int, int> lane = !lanes.empty()          ? lanes.front()
                                   : !crowdedLanes.empty() ? crowdedLanes.front()
                                                           : lanesFor(c).front();
        int entry = entries.front();
        bool found = false;
        // spacing kept from neighbouring runs; -1: a crowded stub stretch
        for (const int spacing : {kClearance, kClearance / 2, 0, -1}) {
            for (const auto &candidate : spacing < 0 ? crowdedLanes : lanes) {
                if (neighbourBusy(m_verticalLanes, candidate.first, candidate.second, 1, kLaneStep, spacing, level,
                                  nearestEntry))
                    continue;
                const int vx = laneX(candidate.first, candidate.second);
                const quint64 verticalKey = key(candidate.first, candidate.second);
                if (overlaps(m_verticalLanes, verticalKey, level, nearestEntry))
                    continue; // no entry level can make this lane free
                for (int offset : entries) {
                    // keep the spacing from the levels where lines leave the row above
                    if (spacing > 0 && offset > kRowGap - kDropStep * kMiddlePort - spacing)
                        continue;
                    if (neighbourBusy(m_entryLanes, rowB, offset, kEntryStep, kEntryStep, spacing, vx, q.x()))
                        continue;
                    const int ey = entryY(offset);
                    if (above > 0 && aboveEnd >= ey)
                        continue;
                    if (overlaps(m_entryLanes, key(rowB, offset), vx, q.x()))
                        continue;
                    if (overlaps(m_verticalLanes, verticalKey, level, ey))
                        continue;
                    lane = candidate;
                    entry = offset;
                    found = true;
                    break;
                }
                if (found)
                    break;
            }
            if (found)
                break;
        }
        // Without a free combination (a crowded network) the line takes the
        // nearest lanes and may share a stretch with another one.
        const int vx = laneX(lane.first, lane.second);
        const int ey = entryY(entry);
        exits.Insert(std::min(p.x(), vx), std::max(p.x(), vx));
        m_verticalLanes[key(lane.first, lane.second)].Insert(std::min(level, ey), std::max(level, ey));
        m_entryLanes[key(rowB, entry)].Insert(std::min(vx, q.x()), std::max(vx, q.x()));
        c.points = {p, QPoint(p.x(), level), QPoint(vx, level), QPoint(vx, ey), QPoint(q.x(), ey), q};
    }

    void draw(qsizetype i)
    {
        Connection &c = m_net.connections[i];
        const QPoint p = from(c).BottomPort(c.fromPort);
        const QPoint q = to(c).TopPort(c.toPort);
        if (m_straight[size_t(i)]) {
            c.points = {p, q};
            return;
        }
        const int d = dropSteps(c.fromPort);
        const int level = SaturateToInt(qint64(p.y()) + qint64(kHalfDrop) * d);
        if (!tryFourPoints(c, p, q, level, d))
            drawSixPoints(c, p, q, level, d);
    }

    Network &m_net;
    std::vector<bool> m_straight;
    std::unordered_map<quint64, CIntervalSet> m_exitLevels;    // (row, d): runs at a row's exit levels
    std::unordered_map<quint64, CIntervalSet> m_entryLanes;    // (row, distance above it): runs above a row
    std::unordered_map<quint64, CIntervalSet> m_verticalLanes; // (gap, lane): runs along a gap
    std::unordered_map<quint64, CReservations> m_reserved;     // (row, d): stub stretches
    std::unordered_map<quint64, int> m_dropDepth;              // (row, x): deepest drop
};

} // namespace

void RouteConnections(Network &network)
{
    for (Box &b : network.boxes) {
        b.topUsed.fill(false);
        b.bottomUsed.fill(false);
    }
    CConnectionRouter(network).Run();
}

} // namespace Cin
