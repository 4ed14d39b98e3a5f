#include "clipboardrecords.h"
#include "edittexts.h"

#include "editstep.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"
#include "model/treeops.h"
#include "reqimport/nodeline.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

const QString kHeader = QStringLiteral("verdantis-nodes;v:1;");

// The copied nodes in pre-order with the index of each one's parent in the
// list (-1 for the top of a copied subtree) and its depth.
struct CopiedNode
{
    const CKELMethod *node;
    int parent;
    int depth;
};

QList<CopiedNode> collect(const CKELDataManager &m, const QList<int> &nodeIds)
{
    QSet<int> listed;
    for (int id : nodeIds) {
        if (m.LookupAs<CKELMethod>(id, KEL::Method))
            listed.insert(id);
    }
    QList<CopiedNode> out;
    QSet<int> taken;
    for (int id : nodeIds) {
        auto *top = m.LookupAs<CKELMethod>(id, KEL::Method);
        if (!top || taken.contains(id))
            continue;
        // a node below another listed one comes with that one
        bool under = false;
        QSet<int> seen;
        for (int p = top->ParentId(); p && !seen.contains(p);
             p = m.LookupAs<CKELMethod>(p, KEL::Method) ? m.LookupAs<CKELMethod>(p, KEL::Method)->ParentId() : 0) {
            seen.insert(p);
            if (listed.contains(p)) {
                under = true;
                break;
            }
        }
        if (under)
            continue;
        QHash<int, int> indexOf;
        for (const CKELMethod *n : TreeOps::PreOrder(m, top)) {
            if (taken.contains(n->GetId()))
                continue;
            taken.insert(n->GetId());
            const bool isTop = n == top;
            const int parent = isTop ? -1 : indexOf.value(n->ParentId(), -1);
            const int depth = parent < 0 ? 0 : out[parent].depth + 1;
            indexOf.insert(n->GetId(), int(out.size()));
            out.append({n, parent, depth});
        }
    }
    return out;
}

struct PastedNode
{
    CNodeAttributes attributes;
    int parent = -1;
    int x = 0, y = 0, w = 0, h = 0;
};

bool readRecords(const QString &text, QList<PastedNode> &out)
{
    const QList<QStringView> lines = QStringView(text).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.first().trimmed() != kHeader)
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        CKELRecord r;
        if (!r.Parse(lines[i].trimmed().toString()) || r.GetKind() != u"node")
            continue;
        PastedNode n;
        n.attributes = CNodeAttributes::FromRecord(r);
        if (n.attributes.component.isEmpty() || n.attributes.behavior.isEmpty())
            continue;
        const int parent = r.GetInt(u"p");
        // a parent is an earlier node of the list; anything else makes a top
        n.parent = parent >= 0 && parent < out.size() ? parent : -1;
        n.x = r.GetInt(u"x");
        n.y = r.GetInt(u"y");
        n.w = r.GetInt(u"w");
        n.h = r.GetInt(u"h");
        out.append(n);
    }
    return true;
}

void readText(const QString &text, QList<PastedNode> &out)
{
    // indentation gives the shape: a line is under the last line indented less
    QList<std::pair<int, int>> stack; // indent, index
    int row = 0;
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        int indent = 0;
        while (indent < line.size() && (line[indent] == u' ' || line[indent] == u'\t'))
            ++indent;
        const QStringView body = line.sliced(indent).trimmed();
        if (body.isEmpty())
            continue;
        const CNodeLine parsed = CNodeLine::Parse(body, KEL::StateRealisation);
        if (parsed.component.isEmpty() || parsed.behavior.isEmpty())
            continue;
        while (!stack.isEmpty() && stack.last().first >= indent)
            stack.removeLast();
        PastedNode n;
        n.attributes.component = parsed.component;
        n.attributes.behavior = parsed.behavior;
        n.attributes.behaviorType = parsed.kind;
        n.attributes.requirementTag = parsed.tag;
        n.parent = stack.isEmpty() ? -1 : stack.last().second;
        n.x = 40 * int(stack.size());
        n.y = 70 * row++;
        stack.append({indent, int(out.size())});
        out.append(n);
    }
}

} // namespace

QString CopyNodesAsRecords(const CKELDataManager &m, const QList<int> &nodeIds)
{
    const QList<CopiedNode> nodes = collect(m, nodeIds);
    if (nodes.isEmpty())
        return QString();
    QString out = kHeader + u'\n';
    for (const CopiedNode &c : nodes) {
        COperationRecord r(u"node");
        r.Int(u"p", c.parent).Int(u"x", c.node->x).Int(u"y", c.node->y).Int(u"w", c.node->w).Int(u"h", c.node->h);
        r.Fields(CNodeAttributes::Of(*c.node).RecordFields());
        out += r.ToString();
        out += u'\n';
    }
    return out;
}

QString CopyNodesAsText(const CKELDataManager &m, const QList<int> &nodeIds)
{
    QString out;
    for (const CopiedNode &c : collect(m, nodeIds)) {
        out += QString(2 * c.depth, u' ');
        out += CNodeLine::Build(c.node->requirementTag, c.node->component, c.node->behavior, c.node->behaviorType);
    }
    return out;
}

bool PasteNodes(CKELDataManager &m, int treeId, int parentId, int x, int y, const QString &recordsOrText)
{
    const CKELData *t = m.Lookup(treeId);
    if (!t || !(t->GetTypeCode() == KEL::RBT || t->GetTypeCode() == KEL::DBT || t->GetTypeCode() == KEL::EVT))
        return false;
    const auto *tree = static_cast<const CKELTree *>(t);
    if (parentId && !TreeOps::NodeOf(*tree, parentId))
        return false;
    QList<PastedNode> nodes;
    if (!readRecords(recordsOrText, nodes))
        readText(recordsOrText, nodes);
    if (nodes.isEmpty())
        return false;
    int minX = std::numeric_limits<int>::max(), minY = std::numeric_limits<int>::max();
    for (const PastedNode &n : std::as_const(nodes)) {
        minX = std::min(minX, n.x);
        minY = std::min(minY, n.y);
    }
    // one record for the whole set, so every client gives the new nodes the
    // same ids and links them alike
    QString lines;
    for (const PastedNode &n : std::as_const(nodes)) {
        COperationRecord r(u"node");
        r.Int(u"p", n.parent).Int(u"x", n.x - minX + x).Int(u"y", n.y - minY + y).Int(u"w", n.w).Int(u"h", n.h);
        r.Fields(n.attributes.RecordFields());
        lines += r.ToString();
        lines += u'\n';
    }
    CEditStep step(m, EditTexts::StepPaste);
    const bool pasted = m.AddNodes(treeId, parentId, lines);
    if (pasted) {
        for (const PastedNode &n : std::as_const(nodes))
            m.EnsureState(tree, n.attributes);
    }
    return pasted;
}
