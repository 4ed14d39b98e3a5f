#pragma once

#include <memory>
#include <vector>

class CKELDataManager;

// A reference to one node of the model, by id. The node may have gone.
class CAbsNode
{
public:
    explicit CAbsNode(int id) : m_id(id) {}
    int Id() const { return m_id; }

private:
    int m_id;
};

// The process structure of a tree: one entry per node, telling how the
// node's children follow it.
class CAbsTree
{
public:
    enum Kind : int {
        Leaf = 1,           // no children
        AtomicSequence = 2, // one child whose Atomic flag is set
        Sequence = 3,       // one child, not atomic
        Branching = 4,      // two or more children
    };

    CAbsTree(int kind, int nodeId) : m_kind(kind), m_node(nodeId) {}
    // Iterative, so that a long chain of nodes cannot exhaust the stack.
    ~CAbsTree();
    CAbsTree(const CAbsTree &) = delete;
    CAbsTree &operator=(const CAbsTree &) = delete;

    int Kind() const { return m_kind; }
    const CAbsNode &Node() const { return m_node; }
    const CAbsTree *Next() const { return m_next.get(); }
    const std::vector<std::unique_ptr<CAbsTree>> &Children() const { return m_children; }

    // The structure below the node with this id (which need not exist: a
    // missing node is a leaf). Nodes are read through the manager.
    static std::unique_ptr<CAbsTree> Build(const CKELDataManager &manager, int rootNodeId);

private:
    int m_kind;
    CAbsNode m_node;
    std::unique_ptr<CAbsTree> m_next;
    std::vector<std::unique_ptr<CAbsTree>> m_children;
};
