#pragma once

#include "abstree.h"

#include <QHash>
#include <QString>

#include <memory>

class CKELDataManager;
class CKELMethod;
class CKELTree;

// Writes a tree's process structure as a program of the ZEPH simulation
// language: a block that initialises every component and bounds the
// external events, the tree as nested process terms, and an empty block.
// The simulator reads this text byte for byte; keep every blank.
class CAbsTranslator
{
public:
    explicit CAbsTranslator(const CKELDataManager &manager) : m_manager(manager) {}

    void SetRoot(std::unique_ptr<CAbsTree> root) { m_root = std::move(root); }
    const CAbsTree *Root() const { return m_root.get(); }
    void SetTreeId(int id) { m_treeId = id; }
    int TreeId() const { return m_treeId; }
    void SetMaxEvents(int count) { m_maxEvents = count; }
    // Wraps every node text in inf(nodeInfo("LABEL"), ...), LABEL from labels
    // (node id -> label).
    void SetShowNodeIds(bool on, QHash<int, QString> labels = {})
    {
        m_showNodeIds = on;
        m_labels = std::move(labels);
    }

    // Computes the result; without a root the result stays empty.
    void Translate();
    const QString &GetResult() const { return m_result; }

    // The text of one node, without indentation; empty for a missing node.
    QString NodeText(int nodeId) const;

private:
    void appendTreeText(QString &out, const CAbsTree &top, int depth) const;

    const CKELDataManager &m_manager;
    std::unique_ptr<CAbsTree> m_root;
    QHash<int, QString> m_labels;
    QString m_result;
    int m_treeId = 0;
    int m_maxEvents = 10;
    bool m_showNodeIds = false;
};

namespace Zeph {

// The position labels of node and every node below it (node id -> label):
// node gets label, its children label + their place among the siblings.
// Places 0 to 9 are one digit; from 10 on a place is written "(10)", so that
// a node with many children cannot give two nodes the same label ("0" + "10"
// against "01" + "0"). Labels are the simulator's view of the tree and are
// never stored in it.
QHash<int, QString> NodeLabelsBelow(const CKELDataManager &manager, const CKELMethod *node, const QString &label);
// The labels a translation with node ids gives the tree: from its first
// root, "0"; none for a tree too deep to translate.
QHash<int, QString> NodeLabels(const CKELDataManager &manager, const CKELTree &tree);

// The node the translation starts from: the tree's first root.
const CKELMethod *RootOf(const CKELTree &tree);

// The translation as the simulation dialog runs it: with the nodes' labels
// when showNodeIds is set, from the tree's first root.
// Returns an empty text for a tree without nodes, and for a tree whose
// program would be too large to hold; error then says why.
QString TranslateTree(const CKELDataManager &manager, const CKELTree &tree, int maxEvents, bool showNodeIds,
                      QString *error = nullptr);

// The first node below root (pre-order) whose component or behavior the
// simulator's strings cannot hold: they have no escape, so a double quote,
// backslash or line break would end the string and restructure the program.
const CKELMethod *UnquotableNode(const CKELDataManager &manager, const CKELMethod &root);

// Characters of the program text for the tree below root, estimated from
// below: indentation and labels grow with depth, so a deep chain costs the
// square of its length.
qint64 EstimatedProgramSize(const CKELDataManager &manager, const CKELMethod &root, bool showNodeIds);

// The largest program text we write (characters).
inline constexpr qint64 kMaxProgramSize = qint64(256) * 1024 * 1024;

} // namespace Zeph
