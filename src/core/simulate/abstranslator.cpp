#include "abstranslator.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QSet>
#include <QStringList>

namespace {

constexpr QStringView kLineEnd = u"\r\n";

void appendIndent(QString &out, int level)
{
    if (level > 0)
        out.resize(out.size() + qsizetype(level) * 3, u' ');
}

QString componentTerm(const QString &component)
{
    return QStringLiteral("c(\"") + component + QStringLiteral("\")");
}

QString stateTerm(const QString &behavior)
{
    return QStringLiteral("s(\"") + behavior + QStringLiteral("\")");
}

} // namespace

QString CAbsTranslator::NodeText(int nodeId) const
{
    const auto *n = m_manager.LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!n)
        return QString();
    QString text;
    switch (n->behaviorType) {
    case KEL::StateRealisation:
        text =
            QStringLiteral("sr(") + componentTerm(n->component) + QStringLiteral(", ") + stateTerm(n->behavior) + u')';
        break;
    case KEL::Selection:
        text =
            QStringLiteral("sel(") + componentTerm(n->component) + QStringLiteral(", ") + stateTerm(n->behavior) + u')';
        break;
    case KEL::Event:
        text = QStringLiteral("wait(e(\"") + n->component + u'-' + n->behavior + QStringLiteral("\"))");
        break;
    case KEL::Guard:
        text =
            QStringLiteral("gd(") + componentTerm(n->component) + QStringLiteral(", ") + stateTerm(n->behavior) + u')';
        break;
    default: break;
    }
    if (n->jumpType == 1)
        text = QStringLiteral("revert(") + text + u')';
    else if (n->jumpType == 2)
        text = QStringLiteral("goto(") + text + u')';
    if (m_showNodeIds)
        text = QStringLiteral("inf(nodeInfo(\"") + m_labels.value(nodeId) + QStringLiteral("\"), ") + text + u')';
    return text;
}

// Depth-first with an explicit stack: a deep tree must not exhaust ours.
void CAbsTranslator::appendTreeText(QString &out, const CAbsTree &top, int depth) const
{
    enum class Step { Visit, ChildEnd, LastChildEnd, CloseBranches };
    struct Frame
    {
        Step step;
        const CAbsTree *tree;
        int depth;
    };
    std::vector<Frame> stack{{Step::Visit, &top, depth}};
    while (!stack.empty()) {
        const Frame f = stack.back();
        stack.pop_back();
        switch (f.step) {
        case Step::ChildEnd:
            out += u", ";
            out += kLineEnd;
            continue;
        case Step::LastChildEnd: out += kLineEnd; continue;
        case Step::CloseBranches:
            appendIndent(out, f.depth);
            out += u"])";
            continue;
        case Step::Visit: break;
        }
        const CAbsTree &t = *f.tree;
        switch (t.Kind()) {
        case CAbsTree::Leaf:
            appendIndent(out, f.depth);
            out += u"leaf(";
            out += NodeText(t.Node().Id());
            out += u')';
            break;
        case CAbsTree::AtomicSequence:
        case CAbsTree::Sequence:
            appendIndent(out, f.depth);
            out += NodeText(t.Node().Id());
            out += t.Kind() == CAbsTree::AtomicSequence ? u"++ " : u"; ";
            out += kLineEnd;
            if (t.Next())
                stack.push_back({Step::Visit, t.Next(), f.depth + 1});
            break;
        case CAbsTree::Branching: {
            appendIndent(out, f.depth);
            out += NodeText(t.Node().Id());
            out += u"; ";
            out += kLineEnd;
            appendIndent(out, f.depth + 1);
            out += u"pl([";
            out += kLineEnd;
            stack.push_back({Step::CloseBranches, nullptr, f.depth + 1});
            const auto &kids = t.Children();
            for (size_t i = kids.size(); i-- > 0;) {
                stack.push_back({i + 1 == kids.size() ? Step::LastChildEnd : Step::ChildEnd, nullptr, 0});
                stack.push_back({Step::Visit, kids[i].get(), f.depth + 2});
            }
            break;
        }
        default: out += u"Error"; break;
        }
    }
}

void CAbsTranslator::Translate()
{
    m_result.clear();
    if (!m_root)
        return;

    // components in pre-order, each once, at its first occurrence
    QStringList components;
    QSet<QString> known;
    std::vector<const CAbsTree *> stack{m_root.get()};
    while (!stack.empty()) {
        const CAbsTree *t = stack.back();
        stack.pop_back();
        if (const auto *n = m_manager.LookupAs<CKELMethod>(t->Node().Id(), KEL::Method)) {
            if (!known.contains(n->component)) {
                known.insert(n->component);
                components.append(n->component);
            }
        }
        if (t->Next())
            stack.push_back(t->Next());
        for (size_t i = t->Children().size(); i-- > 0;)
            stack.push_back(t->Children()[i].get());
    }

    QString &out = m_result;
    out += u'[';
    out += kLineEnd;
    for (const QString &c : std::as_const(components)) {
        appendIndent(out, 1);
        out += componentTerm(c);
        out += u" - init,";
        out += kLineEnd;
    }
    appendIndent(out, 1);
    out += QStringLiteral("exteventCount - i(") + QString::number(m_maxEvents) + u')';
    out += kLineEnd;
    out += u"].";
    out += kLineEnd;
    out += u'[';
    out += kLineEnd;
    appendTreeText(out, *m_root, 1);
    out += kLineEnd;
    out += u"].";
    out += kLineEnd;
    out += u"[].";
}

namespace Zeph {

QHash<int, QString> NodeLabelsBelow(const CKELDataManager &manager, const CKELMethod *node, const QString &label)
{
    QHash<int, QString> labels;
    if (!node)
        return labels;
    std::vector<std::pair<const CKELMethod *, QString>> stack{{node, label}};
    while (!stack.empty()) {
        auto [n, own] = std::move(stack.back());
        stack.pop_back();
        // only a damaged model could lead back to a labelled node
        if (labels.contains(n->GetId()))
            continue;
        const QList<int> &kids = n->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const auto *child = manager.LookupAs<CKELMethod>(kids[i], KEL::Method);
            if (!child)
                continue;
            const QString place = i < 10 ? QString::number(i) : u'(' + QString::number(i) + u')';
            stack.emplace_back(child, own + place);
        }
        labels.insert(n->GetId(), std::move(own));
    }
    return labels;
}

QHash<int, QString> NodeLabels(const CKELDataManager &manager, const CKELTree &tree)
{
    const CKELMethod *root = RootOf(tree);
    // the labels alone of a deep chain would take gigabytes
    if (!root || EstimatedProgramSize(manager, *root, true) > kMaxProgramSize)
        return {};
    return NodeLabelsBelow(manager, root, QStringLiteral("0"));
}

const CKELMethod *RootOf(const CKELTree &tree)
{
    for (const auto &c : tree.Children()) {
        if (c->IsMethod() && static_cast<const CKELMethod *>(c.get())->ParentId() == 0)
            return static_cast<const CKELMethod *>(c.get());
    }
    return nullptr;
}

namespace {

bool unquotable(const QString &text)
{
    for (QChar ch : text) {
        if (ch == u'"' || ch == u'\\' || ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

const CKELMethod *UnquotableNode(const CKELDataManager &manager, const CKELMethod &root)
{
    std::vector<const CKELMethod *> stack{&root};
    QSet<int> seen;
    while (!stack.empty()) {
        const CKELMethod *n = stack.back();
        stack.pop_back();
        if (seen.contains(n->GetId()))
            continue;
        seen.insert(n->GetId());
        if (unquotable(n->component) || unquotable(n->behavior))
            return n;
        const QList<int> &kids = n->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            if (const auto *child = manager.LookupAs<CKELMethod>(kids[i], KEL::Method))
                stack.push_back(child);
        }
    }
    return nullptr;
}

qint64 EstimatedProgramSize(const CKELDataManager &manager, const CKELMethod &root, bool showNodeIds)
{
    struct Item
    {
        const CKELMethod *node;
        qint64 depth;
        qint64 labelLength;
    };
    qint64 total = 0;
    std::vector<Item> stack{{&root, 1, 1}};
    QSet<int> seen;
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        if (seen.contains(item.node->GetId()))
            continue;
        seen.insert(item.node->GetId());
        total += 3 * item.depth + item.node->component.size() + item.node->behavior.size() + 16;
        if (showNodeIds)
            total += item.labelLength + 16;
        if (total > kMaxProgramSize)
            return total; // enough to know
        const QList<int> &kids = item.node->ChildIds();
        for (qsizetype i = 0; i < kids.size(); ++i) {
            if (const auto *child = manager.LookupAs<CKELMethod>(kids[i], KEL::Method))
                stack.push_back(
                    {child, item.depth + 1, item.labelLength + (i < 10 ? 1 : 2 + QString::number(i).size())});
        }
    }
    return total;
}

QString TranslateTree(const CKELDataManager &manager, const CKELTree &tree, int maxEvents, bool showNodeIds,
                      QString *error)
{
    const CKELMethod *root = RootOf(tree);
    if (!root)
        return QString();
    // checked before any label is made: the labels alone of a deep chain
    // would take gigabytes
    const qint64 size = EstimatedProgramSize(manager, *root, showNodeIds);
    if (size > kMaxProgramSize) {
        if (error)
            *error = QStringLiteral("The tree \"%1\" is too deep to translate for the simulator: its program would "
                                    "take more than %2 MB of text.")
                         .arg(tree.GetName())
                         .arg(kMaxProgramSize * 2 / (1024 * 1024));
        return QString();
    }
    if (const CKELMethod *bad = UnquotableNode(manager, *root)) {
        if (error)
            *error = QStringLiteral("The node \"%1 %2\" of tree \"%3\" cannot be simulated: its component or "
                                    "behavior holds a double quote, a backslash or a line break, which would end "
                                    "the simulator's string. Rename it first.")
                         .arg(bad->component, bad->behavior, tree.GetName());
        return QString();
    }
    // the simulator would run the first root alone and show nothing of the others
    qsizetype roots = 0;
    for (const auto &c : tree.Children())
        roots += c->IsMethod() && static_cast<const CKELMethod *>(c.get())->ParentId() == 0;
    if (roots > 1) {
        if (error)
            *error = QStringLiteral("Parsing error: The tree has %1 roots; join them under one root or translate one "
                                    "subtree")
                         .arg(roots);
        return QString();
    }
    for (const CKELMethod *n : tree.Nodes()) {
        if (n->component.trimmed().isEmpty() || n->behavior.trimmed().isEmpty()) {
            if (error)
                *error = QStringLiteral("Parsing error: A component or behavior name is empty (node %1: %2 %3)")
                             .arg(n->GetId())
                             .arg(n->component.trimmed(), n->behavior.trimmed());
            return QString();
        }
    }
    CAbsTranslator translator(manager);
    translator.SetShowNodeIds(showNodeIds, showNodeIds ? NodeLabelsBelow(manager, root, QStringLiteral("0"))
                                                       : QHash<int, QString>());
    translator.SetTreeId(tree.GetId());
    translator.SetMaxEvents(maxEvents);
    translator.SetRoot(CAbsTree::Build(manager, root->GetId()));
    translator.Translate();
    return translator.GetResult();
}

} // namespace Zeph
