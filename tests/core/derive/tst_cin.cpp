#include "clirunner.h"
#include "treesketch.h"

#include "derive/cin.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

QString boxesText(const Cin::Network &net)
{
    QStringList out;
    for (const Cin::Box &b : net.boxes)
        out << u"%1@%2,%3"_qs.arg(b.component).arg(b.x).arg(b.y);
    return out.join(u' ');
}

QString connectionsText(const Cin::Network &net)
{
    QStringList out;
    for (const Cin::Connection &c : net.connections)
        out << net.boxes[c.from].component + u'>' + net.boxes[c.to].component;
    return out.join(u' ');
}

QString pointsText(const Cin::Connection &c)
{
    QStringList out;
    for (const QPoint &p : c.points)
        out << u"(%1,%2)"_qs.arg(p.x()).arg(p.y());
    return out.join(u' ');
}

QString versionsText(const QList<int> &versions)
{
    QStringList out;
    for (int v : versions)
        out << QString::number(v);
    return out.join(u',');
}

Cin::Network routed(const CKELTree &tree)
{
    Cin::Network net = Cin::BuildNetwork(tree);
    Cin::RouteConnections(net);
    return net;
}

struct Segment
{
    QPoint a;
    QPoint b;
    int connection;
};

bool horizontal(const Segment &s)
{
    return s.a.y() == s.b.y();
}

// Two runs on one line that share at least a point.
bool colinearOverlap(const Segment &s, const Segment &t)
{
    if (horizontal(s) && horizontal(t) && s.a.y() == t.a.y())
        return std::max(std::min(s.a.x(), s.b.x()), std::min(t.a.x(), t.b.x()))
               <= std::min(std::max(s.a.x(), s.b.x()), std::max(t.a.x(), t.b.x()));
    if (!horizontal(s) && !horizontal(t) && s.a.x() == t.a.x())
        return std::max(std::min(s.a.y(), s.b.y()), std::min(t.a.y(), t.b.y()))
               <= std::min(std::max(s.a.y(), s.b.y()), std::max(t.a.y(), t.b.y()));
    return false;
}

bool crossesInterior(const Segment &s, const Cin::Box &box)
{
    const int left = box.x, right = box.x + Cin::kBoxWidth, top = box.y, bottom = box.y + Cin::kBoxHeight;
    if (horizontal(s))
        return s.a.y() > top && s.a.y() < bottom
               && std::max(std::min(s.a.x(), s.b.x()), left) < std::min(std::max(s.a.x(), s.b.x()), right);
    return s.a.x() > left && s.a.x() < right
           && std::max(std::min(s.a.y(), s.b.y()), top) < std::min(std::max(s.a.y(), s.b.y()), bottom);
}

// Every rule a drawn connection must keep; the first one broken, or nothing.
QString routeFault(const Cin::Network &net)
{
    std::vector<Segment> segments;
    for (qsizetype i = 0; i < net.connections.size(); ++i) {
        const Cin::Connection &c = net.connections[i];
        const Cin::Box &a = net.boxes[c.from];
        const Cin::Box &b = net.boxes[c.to];
        const QString name = u"connection %1 (%2>%3) %4: "_qs.arg(i).arg(a.component, b.component, pointsText(c));
        if (c.points.size() != 2 && c.points.size() != 4 && c.points.size() != 6)
            return name + u"point count"_qs;
        if (c.fromPort < 1 || c.fromPort > Cin::kPortSlots || c.toPort < 1 || c.toPort > Cin::kPortSlots)
            return name + u"port out of range"_qs;
        if (!a.bottomUsed[size_t(c.fromPort - 1)] || !b.topUsed[size_t(c.toPort - 1)])
            return name + u"port not marked used"_qs;
        if (c.points.first() != a.BottomPort(c.fromPort))
            return name + u"does not leave its bottom port"_qs;
        if (c.points.last() != b.TopPort(c.toPort))
            return name + u"does not enter its top port"_qs;
        const QPoint beforeLast = c.points[c.points.size() - 2];
        if (beforeLast.x() != c.points.last().x() || beforeLast.y() >= c.points.last().y())
            return name + u"does not enter from above"_qs;
        if (c.points.size() > 2) {
            // 8 per place from the nearer end; between two ports half-way between their levels
            const int k = c.fromPort > 9 ? c.fromPort - 9 : 0;
            const int drop = k ? 8 * std::min(k, 9 - k) + 4 : 8 * std::min(c.fromPort, 10 - c.fromPort);
            if (c.points[1] != c.points[0] + QPoint(0, drop))
                return name + u"first drop is not 8 per place from the edge"_qs;
        }
        for (qsizetype k = 1; k < c.points.size(); ++k) {
            const QPoint p = c.points[k - 1], q = c.points[k];
            if (p == q)
                return name + u"empty segment"_qs;
            if (p.x() != q.x() && p.y() != q.y())
                return name + u"slanted segment"_qs;
            segments.push_back({p, q, int(i)});
        }
    }
    for (size_t i = 0; i < segments.size(); ++i) {
        for (const Cin::Box &box : net.boxes) {
            if (crossesInterior(segments[i], box))
                return u"connection %1 runs through box %2"_qs.arg(segments[i].connection).arg(box.component);
        }
        for (size_t j = i + 1; j < segments.size(); ++j) {
            if (segments[i].connection != segments[j].connection && colinearOverlap(segments[i], segments[j]))
                return u"connections %1 and %2 share a stretch: %3 and %4"_qs.arg(segments[i].connection)
                    .arg(segments[j].connection)
                    .arg(pointsText(net.connections[segments[i].connection]),
                         pointsText(net.connections[segments[j].connection]));
        }
    }
    return {};
}

// Where a network leaves room: parallel runs of different lines at least
// 8 apart, and no run closer than 8 to a box edge it runs along.
QString spacingFault(const Cin::Network &net)
{
    constexpr int apart = 8;
    std::vector<Segment> segments;
    for (qsizetype i = 0; i < net.connections.size(); ++i) {
        const QList<QPoint> &p = net.connections[i].points;
        for (qsizetype k = 1; k < p.size(); ++k)
            segments.push_back({p[k - 1], p[k], int(i)});
    }
    const auto span = [](int a, int b) { return std::pair(std::min(a, b), std::max(a, b)); };
    const auto meet = [](std::pair<int, int> s, std::pair<int, int> t) {
        return std::max(s.first, t.first) < std::min(s.second, t.second);
    };
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment &s = segments[i];
        const bool h = horizontal(s);
        const int at = h ? s.a.y() : s.a.x();
        const auto along = h ? span(s.a.x(), s.b.x()) : span(s.a.y(), s.b.y());
        for (const Cin::Box &box : net.boxes) {
            const auto edge = h ? span(box.x, box.x + Cin::kBoxWidth) : span(box.y, box.y + Cin::kBoxHeight);
            const int near = h ? box.y : box.x, far = h ? box.y + Cin::kBoxHeight : box.x + Cin::kBoxWidth;
            if (meet(along, edge) && ((at > near - apart && at < near) || (at > far && at < far + apart)))
                return u"connection %1 runs along box %2 at %3"_qs.arg(s.connection).arg(box.component).arg(at);
        }
        for (size_t j = i + 1; j < segments.size(); ++j) {
            const Segment &t = segments[j];
            if (t.connection == s.connection || horizontal(t) != h)
                continue;
            const int other = h ? t.a.y() : t.a.x();
            const auto tAlong = h ? span(t.a.x(), t.b.x()) : span(t.a.y(), t.b.y());
            if (other != at && std::abs(other - at) < apart && meet(along, tAlong))
                return u"connections %1 and %2 run %3 apart: %4 and %5"_qs.arg(s.connection)
                    .arg(t.connection)
                    .arg(std::abs(other - at))
                    .arg(pointsText(net.connections[s.connection]), pointsText(net.connections[t.connection]));
        }
    }
    return {};
}

} // namespace

class TestCin : public QObject
{
    Q_OBJECT
private slots:
    // Each component's box sits in the row below the box it was first reached
    // from; a row fills left to right in order of first appearance.
    void placement_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("boxes");
        QTest::newRow("single node") << u"A"_qs << u"A@50,80"_qs;
        QTest::newRow("chain") << u"A(B(C))"_qs << u"A@50,80 B@50,210 C@50,340"_qs;
        QTest::newRow("siblings left to right") << u"A(B,C,D)"_qs << u"A@50,80 B@50,210 C@290,210 D@530,210"_qs;
        QTest::newRow("third box of row two")
            << u"A(B(C,D,E))"_qs << u"A@50,80 B@50,210 C@50,340 D@290,340 E@530,340"_qs;
        QTest::newRow("known component keeps its first place")
            << u"A(B,C(D(E(B(F)))))"_qs << u"A@50,80 B@50,210 C@290,210 D@50,340 E@50,470 F@290,340"_qs;
        QTest::newRow("one component is one box") << u"A(A(A),A)"_qs << u"A@50,80"_qs;
        QTest::newRow("depth first, not level by level")
            << u"A(B(C),D)"_qs << u"A@50,80 B@50,210 C@50,340 D@290,210"_qs;
        QTest::newRow("only the first root counts") << u"A(B),C(D)"_qs << u"A@50,80 B@50,210"_qs;
        QTest::newRow("letter case makes another component") << u"A(a)"_qs << u"A@50,80 a@50,210"_qs;
        QTest::newRow("empty tree") << QString() << QString();
    }

    void placement()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, boxes);
        CKELDataManager m;
        const Cin::Network net = Cin::BuildNetwork(*TreeSketch::AddTree(m, sketch));
        QCOMPARE(boxesText(net), boxes);
    }

    // One connection per ordered pair of components, in the order the walk meets it.
    void connections_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("connections");
        QTest::newRow("single node has none") << u"A"_qs << QString();
        QTest::newRow("one component with a link connects to itself") << u"A.x(A.y)"_qs << u"A>A"_qs;
        QTest::newRow("a pair is connected once") << u"A(B,B(B),B)"_qs << u"A>B B>B"_qs;
        QTest::newRow("both directions") << u"A(B(A))"_qs << u"A>B B>A"_qs;
        QTest::newRow("order of the walk") << u"A(B(C),C(B))"_qs << u"A>B B>C A>C C>B"_qs;
        QTest::newRow("only the first root counts") << u"A(B),C(D)"_qs << u"A>B"_qs;
    }

    void connections()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, connections);
        CKELDataManager m;
        const Cin::Network net = Cin::BuildNetwork(*TreeSketch::AddTree(m, sketch));
        QCOMPARE(connectionsText(net), connections);
    }

    // A box or connection stands for every evolution node merged into it: its
    // versions are their union and its status is that of the union.
    void evolution_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<bool>("inEvolutionTree"); // chosen trees 10, 11, 12
        QTest::addColumn<bool>("marked");
        QTest::addColumn<int>("boxStatus");
        QTest::addColumn<QString>("boxVersions");
        QTest::addColumn<int>("linkStatus");
        QTest::addColumn<QString>("linkVersions");
        const QString root = u"A{0|10,11,12}"_qs;
        QTest::newRow("kept in every version")
            << root + u"(B{0|10,11,12})"_qs << true << true << 0 << u"10,11,12"_qs << 0 << u"10,11,12"_qs;
        QTest::newRow("dropped by the last version")
            << root + u"(B{-1|10,11})"_qs << true << true << -1 << u"10,11"_qs << -1 << u"10,11"_qs;
        QTest::newRow("added by the last version")
            << root + u"(B{1|12})"_qs << true << true << 1 << u"12"_qs << 1 << u"12"_qs;
        QTest::newRow("first and last only is added")
            << root + u"(B{1|10,12})"_qs << true << true << 1 << u"10,12"_qs << 1 << u"10,12"_qs;
        QTest::newRow("dropped and added occurrences are kept")
            << root + u"(B{-1|10,11},B{1|12})"_qs << true << true << 0 << u"10,11,12"_qs << 0 << u"10,11,12"_qs;
        QTest::newRow("versions follow the chosen order")
            << root + u"(B{1|12},B{-1|10})"_qs << true << true << 1 << u"10,12"_qs << 1 << u"10,12"_qs;
        QTest::newRow("box merges all occurrences, connection its own pair")
            << root + u"(B{1|12}(A{0|10,11,12}),C{0|10,11,12}(B{-1|10,11}))"_qs << true << true << 0 << u"10,11,12"_qs
            << 1 << u"12"_qs;
        QTest::newRow("outside an evolution tree a kept occurrence wins")
            << u"A(B{-1|10},B{0|10,11})"_qs << false << true << 0 << u"10,11"_qs << 0 << u"10,11"_qs;
        QTest::newRow("outside an evolution tree added beats dropped")
            << u"A(B{-1|10},B{1|12})"_qs << false << true << 1 << u"10,12"_qs << 1 << u"10,12"_qs;
        QTest::newRow("plain nodes carry no marks") << u"A(B)"_qs << false << false << 0 << QString() << 0 << QString();
    }

    void evolution()
    {
        QFETCH(QString, sketch);
        QFETCH(bool, inEvolutionTree);
        QFETCH(bool, marked);
        QFETCH(int, boxStatus);
        QFETCH(QString, boxVersions);
        QFETCH(int, linkStatus);
        QFETCH(QString, linkVersions);
        CKELDataManager m;
        CKELTree *tree = inEvolutionTree ? static_cast<CKELTree *>(TreeSketch::AddEvt(m, sketch, {10, 11, 12}))
                                         : TreeSketch::AddTree(m, sketch);
        Cin::Network net;
        CKELCIN *cin = Cin::CreateCIN(m, *tree, &net);
        QVERIFY(cin);
        const auto box =
            std::find_if(net.boxes.begin(), net.boxes.end(), [](const Cin::Box &b) { return b.component == u"B"; });
        QVERIFY(box != net.boxes.end());
        QCOMPARE(box->evolution.isEvolution, marked);
        QCOMPARE(box->evolution.status, boxStatus);
        QCOMPARE(versionsText(box->evolution.versions), boxVersions);
        const Cin::Connection &link = net.connections.first();
        QCOMPARE(connectionsText(net).section(u' ', 0, 0), u"A>B"_qs);
        QCOMPARE(link.evolution.isEvolution, marked);
        QCOMPARE(link.evolution.status, linkStatus);
        QCOMPARE(versionsText(link.evolution.versions), linkVersions);
        // the records keep the same marks
        const CKELData *node = m.Lookup(box->nodeId);
        const CKELData *record = m.Lookup(link.linkId);
        QVERIFY(node && record);
        QCOMPARE(node->IsEvolution(), marked);
        QCOMPARE(node->GetEvStyle(), boxStatus);
        QCOMPARE(versionsText(record->EvTags()), linkVersions);
        QCOMPARE(record->GetEvStyle(), linkStatus);
    }

    // The straight line through the middle ports, then the search orders: from
    // the sixth bottom port and the first top port towards the right, from the
    // first bottom port and the sixth top port towards the left.
    void ports_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("fromPorts");
        QTest::addColumn<QString>("toPorts");
        QTest::newRow("right targets search from the sixth port")
            << u"A(B,C,D,E,F)"_qs << u"5 6 7 8 9"_qs << u"5 1 1 1 1"_qs;
        QTest::newRow("left target searches from the first port")
            << u"R(X,A(B,C,D))"_qs << u"5 6 1 5 6"_qs << u"5 1 6 5 1"_qs;
        QTest::newRow("searches wrap around")
            << u"R(A(T),B(T),C(T),D(T),E(T),F(T))"_qs << u"5 5 6 1 7 1 8 1 9 1 1 1"_qs << u"5 5 1 6 1 7 1 8 1 9 1 1"_qs;
        QTest::newRow("taken middle port: box below is searched for")
            << u"R(X1,X2,X3,X4,X5,A(Y1,Y2,Y3,Y4,Y5,Z))"_qs << u"5 6 7 8 9 1 1 2 3 4 5 6"_qs
            << u"5 1 1 1 1 1 6 6 6 6 6 1"_qs;
        QTest::newRow("lines beyond nine take the places between ports")
            << u"A(B,C,D,E,F,G,H,I,J,K,L)"_qs << u"5 6 7 8 9 1 2 3 4 15 16"_qs << u"5 1 1 1 1 1 1 1 1 1 1"_qs;
        QTest::newRow("self connection") << u"A.x(A.y)"_qs << u"6"_qs << u"1"_qs;
    }

    void ports()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, fromPorts);
        QFETCH(QString, toPorts);
        CKELDataManager m;
        const Cin::Network net = routed(*TreeSketch::AddTree(m, sketch));
        QStringList from, to;
        for (const Cin::Connection &c : net.connections) {
            from << QString::number(c.fromPort);
            to << QString::number(c.toPort);
        }
        QCOMPARE(from.join(u' '), fromPorts);
        QCOMPARE(to.join(u' '), toPorts);
        for (const Cin::Box &b : net.boxes) {
            const int usedBottom = int(std::count(b.bottomUsed.begin(), b.bottomUsed.end(), true));
            const int leaving =
                int(std::count_if(net.connections.begin(), net.connections.end(), [&](const Cin::Connection &c) {
                    return net.boxes[c.from].component == b.component;
                }));
            QCOMPARE(usedBottom, std::min(leaving, Cin::kPortSlots));
        }
    }

    void polylines_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("connection");
        QTest::addColumn<QString>("points");
        QTest::newRow("straight into the box below") << u"A(B)"_qs << 0 << u"(130,130) (130,210)"_qs;
        QTest::newRow("right target in the next row")
            << u"A(B,C)"_qs << 1 << u"(146,130) (146,162) (306,162) (306,210)"_qs;
        QTest::newRow("left target in the next row")
            << u"R(X(B),A(C,B))"_qs << 4 << u"(306,260) (306,268) (146,268) (146,340)"_qs;
        QTest::newRow("self connection loops over its box")
            << u"A.x(A.y)"_qs << 0 << u"(146,130) (146,162) (209,162) (209,72) (66,72) (66,80)"_qs;
        QTest::newRow("two rows down along the gap")
            << u"A(B(C),C)"_qs << 2 << u"(146,130) (146,162) (209,162) (209,332) (66,332) (66,340)"_qs;
        QTest::newRow("back up a row") << u"A(B(A))"_qs << 1
                                       << u"(146,260) (146,292) (209,292) (209,72) (66,72) (66,80)"_qs;
        QTest::newRow("a second line back up takes the next lanes")
            << u"A(B(A,C(A)))"_qs << 3 << u"(146,390) (146,422) (218,422) (218,64) (82,64) (82,80)"_qs;
        QTest::newRow("box below behind another line's run")
            << u"R(X1,X2,X3,X4,X5,A(Y1,Y2,Y3,Y4,Y5,Z))"_qs << 11
            << u"(1346,260) (1346,292) (1409,292) (1409,332) (1266,332) (1266,340)"_qs;
    }

    void polylines()
    {
        QFETCH(QString, sketch);
        QFETCH(int, connection);
        QFETCH(QString, points);
        CKELDataManager m;
        const Cin::Network net = routed(*TreeSketch::AddTree(m, sketch));
        QVERIFY(connection < net.connections.size());
        QCOMPARE(pointsText(net.connections[connection]), points);
        const QString fault = routeFault(net);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // Random networks small enough that no edge runs out of ports: every line
    // keeps the drawing rules and no two lines share a stretch.
    void linesStayApart_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("nodes");
        QTest::addColumn<int>("components");
        QTest::addColumn<int>("chainPercent"); // how often a node hangs under the one before
        QTest::newRow("few components, bushy") << 1u << 40 << 3 << 20;
        QTest::newRow("four components, deep") << 2u << 120 << 4 << 80;
        QTest::newRow("five components, mixed") << 3u << 200 << 5 << 50;
        QTest::newRow("six components, bushy") << 4u << 300 << 6 << 10;
        QTest::newRow("six components, deep") << 5u << 300 << 6 << 90;
        QTest::newRow("six components, many links") << 6u << 600 << 6 << 40;
        QTest::newRow("six components, other seed") << 7u << 600 << 6 << 60;
        QTest::newRow("two components") << 8u << 50 << 2 << 50;
        QTest::newRow("seven components, dense") << 9u << 800 << 7 << 50;
        QTest::newRow("seven components, deep") << 10u << 800 << 7 << 85;
    }

    void linesStayApart()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, nodes);
        QFETCH(int, components);
        QFETCH(int, chainPercent);
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, QString());
        std::mt19937 rng(seed);
        std::vector<CKELMethod *> made;
        for (int i = 0; i < nodes; ++i) {
            CKELMethod *n = TreeOps::NewNode(m, *tree);
            n->component = u"C%1"_qs.arg(rng() % unsigned(components));
            if (i > 0) {
                const bool chain = int(rng() % 100) < chainPercent;
                TreeOps::Link(m, chain ? made.back() : made[rng() % made.size()], n);
            }
            made.push_back(n);
        }
        const Cin::Network net = routed(*tree);
        QVERIFY(!net.connections.isEmpty());
        const QString fault = routeFault(net);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // Lines that share a gap keep a visible distance from each other and from
    // box edges while the network leaves room for it.
    void linesKeepVisiblyApart_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<bool>("room"); // false: more lines than places on an edge
        QTest::newRow("hub that four hand back to") << u"R(A(R),B(R),C(R),D(R))"_qs << true;
        QTest::newRow("one hands over to nine") << u"A(B,C,D,E,F,G,H,I,J)"_qs << true;
        QTest::newRow("one hands over to fourteen") << u"A(B,C,D,E,F,G,H,I,J,K,L,M,N,O)"_qs << false;
        QTest::newRow("lines back up from three rows") << u"A(B(A,C(A,D(A))))"_qs << true;
        QTest::newRow("hand-overs two rows down") << u"A(B(C,D),C,D,E(C))"_qs << true;
    }

    void linesKeepVisiblyApart()
    {
        QFETCH(QString, sketch);
        QFETCH(bool, room);
        CKELDataManager m;
        m.NewSolution();
        const Cin::Network net = routed(*TreeSketch::AddTree(m, sketch));
        const QString fault = routeFault(net) + (room ? spacingFault(net) : QString());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void largeTrees_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<int>("components");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("connections");
        QTest::addColumn<QPoint>("lastBox");
        const int n = 100000;
        QTest::newRow("chain of distinct components") << true << n << n << n - 1 << QPoint(50, 80 + 130 * (n - 1));
        QTest::newRow("chain of two alternating components") << true << 2 << 2 << 2 << QPoint(50, 210);
        QTest::newRow("node with distinct children") << false << n << n << n - 1 << QPoint(50 + 240 * (n - 2), 210);
        QTest::newRow("node with children of its own component") << false << 1 << 1 << 1 << QPoint(50, 80);
    }

    void largeTrees()
    {
        QFETCH(bool, chain);
        QFETCH(int, components);
        QFETCH(int, boxes);
        QFETCH(int, connections);
        QFETCH(QPoint, lastBox);
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddLargeTree(m, chain, 100000, components);
        Cin::Network net;
        QVERIFY(Cin::CreateCIN(m, *tree, &net));
        QCOMPARE(net.boxes.size(), boxes);
        QCOMPARE(net.connections.size(), connections);
        QCOMPARE(QPoint(net.boxes.last().x, net.boxes.last().y), lastBox);
        for (const Cin::Connection &c : std::as_const(net.connections)) {
            QVERIFY(c.points.size() >= 2);
            QCOMPARE(c.points.first(), net.boxes[c.from].BottomPort(c.fromPort));
            QCOMPARE(c.points.last(), net.boxes[c.to].TopPort(c.toPort));
        }
    }

    // The network is rebuilt on demand: its records live under the tree but are
    // never written and are not nodes of the tree.
    void createdNetworkIsDerived()
    {
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"Oven.idle(Button.push:3(Oven.cooking))"_qs);
        // the header counts registered elements; every record line stays as it was
        const auto records = [&m] { return m.BuildSolutionText().section(u'\n', 1); };
        const QString before = records();
        Cin::Network net;
        CKELCIN *cin = Cin::CreateCIN(m, *tree, &net);
        QVERIFY(cin);
        QCOMPARE(cin->GetParent(), tree);
        QVERIFY(!cin->IsPersistent());
        QCOMPARE(cin->ChildCount(), 4);
        for (const auto &child : cin->Children()) {
            QVERIFY(!child->IsPersistent());
            QCOMPARE(m.Lookup(child->GetId()), child.get());
        }
        QCOMPARE(records(), before);
        QCOMPARE(tree->Nodes().size(), 3);
        QCOMPARE(net.boxes.size(), 2);
        for (const Cin::Box &b : std::as_const(net.boxes)) {
            const auto *node = m.LookupAs<CKELMethod>(b.nodeId, KEL::Method);
            QVERIFY(node);
            QCOMPARE(node->component, b.component);
            QCOMPARE(node->behavior, QString());
            QCOMPARE(node->behaviorType, 0);
            QCOMPARE(QRect(node->x, node->y, node->w, node->h), QRect(b.x, b.y, Cin::kBoxWidth, Cin::kBoxHeight));
        }
        for (const Cin::Connection &c : std::as_const(net.connections)) {
            const auto *link = m.LookupAs<CKELLink>(c.linkId, KEL::Link);
            QVERIFY(link);
            QCOMPARE(link->FromId(), net.boxes[c.from].nodeId);
            QCOMPARE(link->ToId(), net.boxes[c.to].nodeId);
        }
        // the network goes with its tree
        const int cinId = cin->GetId();
        CKELData::Destroy(tree->GetParent()->TakeChild(tree));
        QCOMPARE(m.Lookup(cinId), nullptr);
    }

    void networkOfCreatedCin()
    {
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"R(X1,X2,A(Y1,Y2,A,R),X1(X2(A)))"_qs);
        Cin::Network made;
        const CKELCIN *cin = Cin::CreateCIN(m, *tree, &made);
        QVERIFY(cin);
        const Cin::Network read = Cin::NetworkOf(*cin);
        QCOMPARE(boxesText(read), boxesText(made));
        QCOMPARE(connectionsText(read), connectionsText(made));
        QCOMPARE(read.connections.size(), made.connections.size());
        for (qsizetype i = 0; i < made.connections.size(); ++i)
            QCOMPARE(pointsText(read.connections[i]), pointsText(made.connections[i]));
    }
};

QTEST_GUILESS_MAIN(TestCin)
#include "tst_cin.moc"
