#include "cin.h"
#include "gridmath.h"

#include "visitednodes.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <vector>

namespace Cin {
namespace {

const CKELMethod *firstRoot(const CKELTree &tree)
{
    for (const auto &c : tree.Children()) {
        if (c->IsMethod() && static_cast<const CKELMethod *>(c.get())->ParentId() == 0)
            return static_cast<const CKELMethod *>(c.get());
    }
    return nullptr;
}

// The evolution tree the source is, or was projected from (a CBT of an EVT
// hangs in a folder under it). Its chosen trees order the version lists.
const CKELEVT *owningEvt(const CKELTree &source)
{
    for (const CKELData *e = &source; e; e = e->GetParent()) {
        if (e->GetTypeCode() == KEL::EVT)
            return static_cast<const CKELEVT *>(e);
    }
    return nullptr;
}

// What the occurrences merged into one box or connection said about the
// last version, for sources that are not evolution trees themselves.
struct Presence
{
    bool kept = false;
    bool added = false;
};

class CNetworkBuilder
{
public:
    CNetworkBuilder(Network &network, const CKELEVT *evt) : m_net(network), m_evt(evt) {}

    struct Visit
    {
        int box;
        int row;
    };

    // One step of the walk: the box of s's component (made on first sight in
    // the given row) and the connection from the box of s's parent.
    Visit VisitNode(const CKELMethod &s, int from, int row)
    {
        int c = m_boxOf.value(s.component, -1);
        int current = row;
        if (c < 0) {
            c = int(m_net.boxes.size());
            const int k = m_rowCount.value(row, 0);
            m_rowCount.insert(row, k + 1);
            Box box;
            box.component = s.component;
            const QPoint p = BoxPosition(row, k);
            box.x = p.x();
            box.y = p.y();
            box.row = row;
            m_net.boxes.append(box);
            m_boxPresence.emplace_back();
            m_boxOf.insert(s.component, c);
        } else {
            current = m_net.boxes[c].row;
        }
        if (s.IsEvolution())
            merge(m_net.boxes[c].evolution, m_boxPresence[size_t(c)], s);

        if (from >= 0) {
            const quint64 key = (quint64(quint32(from)) << 32) | quint32(c);
            int conn = m_connectionOf.value(key, -1);
            if (conn < 0) {
                conn = int(m_net.connections.size());
                Connection link;
                link.from = from;
                link.to = c;
                m_net.connections.append(link);
                m_connectionPresence.emplace_back();
                m_connectionOf.insert(key, conn);
            }
            if (s.IsEvolution())
                merge(m_net.connections[conn].evolution, m_connectionPresence[size_t(conn)], s);
        }
        return {c, current};
    }

    void Finish()
    {
        for (qsizetype i = 0; i < m_net.boxes.size(); ++i)
            finish(m_net.boxes[i].evolution, m_boxPresence[size_t(i)]);
        for (qsizetype i = 0; i < m_net.connections.size(); ++i)
            finish(m_net.connections[i].evolution, m_connectionPresence[size_t(i)]);
    }

private:
    static void merge(EvolutionMark &mark, Presence &presence, const CKELMethod &s)
    {
        mark.isEvolution = true;
        for (int v : s.EvTags()) {
            if (!mark.versions.contains(v))
                mark.versions.append(v);
        }
        presence.kept = presence.kept || s.GetEvStyle() == 0;
        presence.added = presence.added || s.GetEvStyle() == 1;
    }

    // A box or connection stands for every node merged into it, so its
    // status is that of the union of their versions: an interaction that
    // one dropped node and one kept node share is kept, not dropped.
    void finish(EvolutionMark &mark, const Presence &presence) const
    {
        if (!mark.isEvolution)
            return;
        if (!m_evt || m_evt->SourceTrees().isEmpty()) {
            mark.status = presence.kept ? 0 : presence.added ? 1 : -1;
            return;
        }
        const QList<int> &order = m_evt->SourceTrees();
        std::stable_sort(mark.versions.begin(), mark.versions.end(), [&order](int a, int b) {
            const qsizetype ia = order.indexOf(a);
            const qsizetype ib = order.indexOf(b);
            return (ia < 0 ? order.size() : ia) < (ib < 0 ? order.size() : ib);
        });
        const int last = order.last();
        const int previous = order.size() > 1 ? order[order.size() - 2] : 0;
        if (mark.versions.isEmpty() || mark.versions.last() != last)
            mark.status = -1;
        else if (mark.versions.size() == 1 || mark.versions[mark.versions.size() - 2] != previous)
            mark.status = 1;
        else
            mark.status = 0;
    }

    Network &m_net;
    const CKELEVT *m_evt;
    QHash<QString, int> m_boxOf;
    QHash<int, int> m_rowCount;
    QHash<quint64, int> m_connectionOf;
    std::vector<Presence> m_boxPresence;
    std::vector<Presence> m_connectionPresence;
};

void applyMark(CKELData &element, const EvolutionMark &mark)
{
    element.SetEvolution(mark.isEvolution);
    element.SetEvStyle(mark.status);
    element.EvTags() = mark.versions;
}

EvolutionMark markOf(const CKELData &element)
{
    EvolutionMark mark;
    mark.isEvolution = element.IsEvolution();
    mark.status = element.GetEvStyle();
    mark.versions = element.EvTags();
    return mark;
}

} // namespace

QPoint BoxPosition(int row, int k)
{
    return {SaturateToInt(kLeft + qint64(kColumnPitch) * k), SaturateToInt(kTop + qint64(kRowPitch) * row)};
}

Network BuildNetwork(const CKELTree &source)
{
    Network net;
    const CKELDataManager *manager = source.Manager();
    const CKELMethod *root = firstRoot(source);
    if (!manager || !root)
        return net;

    CNetworkBuilder builder(net, owningEvt(source));
    struct Frame
    {
        const CKELMethod *node;
        int from;
        int row;
    };
    std::vector<Frame> stack;
    CVisitedNodes visited(source);
    // Children are pushed last-first so that they are visited in child
    // order, each subtree before the next sibling: boxes appear in the
    // order of a depth-first walk, however deep the tree is.
    const auto pushChildren = [&](const CKELMethod *node, int box, int row) {
        const QList<int> &kids = node->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *e = manager->Lookup(kids[i]);
            if (e && e->IsMethod() && e->GetParent() == &source)
                stack.push_back({static_cast<const CKELMethod *>(e), box, row});
        }
    };

    visited.FirstVisit(root->GetId());
    const CNetworkBuilder::Visit top = builder.VisitNode(*root, -1, 0);
    pushChildren(root, top.box, top.row + 1);
    while (!stack.empty()) {
        const Frame f = stack.back();
        stack.pop_back();
        // links are kept acyclic; this only guards a damaged model
        if (!visited.FirstVisit(f.node->GetId()))
            continue;
        const CNetworkBuilder::Visit v = builder.VisitNode(*f.node, f.from, f.row);
        pushChildren(f.node, v.box, v.row + 1);
    }
    builder.Finish();
    return net;
}

CKELCIN *CreateCIN(CKELDataManager &manager, CKELTree &source, Network *network)
{
    Network net = BuildNetwork(source);
    RouteConnections(net);

    std::unique_ptr<CKELData> element = manager.CreateElement(KEL::CIN);
    manager.RegisterElement(element.get());
    auto *cin = static_cast<CKELCIN *>(element.get());
    if (!source.AddChild(element))
        return nullptr;

    // The network is derived: neither it nor its nodes and links may reach
    // the solution file, which writes every persistent element it knows.
    for (Box &box : net.boxes) {
        std::unique_ptr<CKELData> e = manager.CreateElement(KEL::FactoryMethod);
        e->SetPersistent(false);
        manager.RegisterElement(e.get());
        auto *node = static_cast<CKELMethod *>(e.get());
        node->component = box.component;
        node->behavior.clear();
        node->behaviorType = 0;
        node->x = box.x;
        node->y = box.y;
        node->w = kBoxWidth;
        node->h = kBoxHeight;
        applyMark(*node, box.evolution);
        box.nodeId = node->GetId();
        cin->AddChild(e);
    }
    for (Connection &c : net.connections) {
        std::unique_ptr<CKELData> e = manager.CreateElement(KEL::Link);
        e->SetPersistent(false);
        manager.RegisterElement(e.get());
        auto *link = static_cast<CKELLink *>(e.get());
        link->SetEnds(net.boxes[c.from].nodeId, net.boxes[c.to].nodeId);
        applyMark(*link, c.evolution);
        c.linkId = link->GetId();
        cin->AddChild(e);
    }
    if (network)
        *network = std::move(net);
    return cin;
}

Network NetworkOf(const CKELCIN &cin)
{
    Network net;
    QHash<int, int> boxIndex;
    for (const auto &child : cin.Children()) {
        if (!child->IsMethod())
            continue;
        const auto *node = static_cast<const CKELMethod *>(child.get());
        Box box;
        box.nodeId = node->GetId();
        box.component = node->component;
        box.x = node->x;
        box.y = node->y;
        box.row = FloorDivToInt(qint64(node->y) - kTop, kRowPitch);
        box.evolution = markOf(*node);
        boxIndex.insert(box.nodeId, int(net.boxes.size()));
        net.boxes.append(box);
    }
    for (const auto &child : cin.Children()) {
        if (child->GetTypeCode() != KEL::Link)
            continue;
        const auto *link = static_cast<const CKELLink *>(child.get());
        const int from = boxIndex.value(link->FromId(), -1);
        const int to = boxIndex.value(link->ToId(), -1);
        if (from < 0 || to < 0)
            continue;
        Connection c;
        c.linkId = link->GetId();
        c.from = from;
        c.to = to;
        c.evolution = markOf(*link);
        net.connections.append(c);
    }
    RouteConnections(net);
    return net;
}

} // namespace Cin
