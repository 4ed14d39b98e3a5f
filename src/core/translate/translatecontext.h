#pragma once

#include "identifiermap.h"
#include "translatecollections.h"
#include "translatenode.h"
#include "translatesettings.h"

#include <QHash>

#include <vector>

class CKELDataManager;
class CKELTree;

// One translation's working state: the translation nodes, their threads and
// program counters, the steps the rules made and the collections the writers
// read. It lives for one translation and never touches the model.
class CTranslateContext
{
public:
    CTranslateContext(const CTranslateSettings &settings, bool withSets, bool uppaal);

    const CTranslateSettings &Settings() const { return m_settings; }
    bool WithSets() const { return m_withSets; }
    bool Uppaal() const { return m_uppaal; }

    // ---- Nodes -----------------------------------------------------------
    int NodeCount() const { return int(m_nodes.size()) - 1; }
    CTranslateNode &Node(int number) { return m_nodes[size_t(number)]; }
    const CTranslateNode &Node(int number) const { return m_nodes[size_t(number)]; }
    // Numbers the first root's subtree in pre-order; children keep their order.
    void BuildNodes(const CKELDataManager &manager, const CKELTree &tree);
    // A new node, last in pre-order: under parent (0 for the root). For
    // generated trees, which are built in pre-order.
    CTranslateNode &AddNode(int parent);

    // ---- Front end stages ------------------------------------------------
    // Marks the initialisation block; throws when the root or the block is not allowed.
    void CheckInitialisationBlock();
    // Threads and program counters of every node after the initialisation block.
    void AssignThreads();
    const QList<int> &InitBlock() const { return m_initBlock; }
    // The step's nodes: the head and the atomic nodes that follow it.
    QList<int> Block(int head) const;
    // The last node of the step that starts at head.
    int BlockLast(int head) const { return Node(head).blockLast; }
    // The counter value a thread goes on with after a step, 0 when it ends there.
    int NextCounter(const QList<int> &block) const;
    // Threads started below the node: [first, last], empty when first > last.
    QList<int> ThreadsBelow(int node) const;

    // ---- Searches of the rules -------------------------------------------
    // Nearest ancestor with the same behavior type, component and behavior; 0 when none.
    int ReversionTarget(int node) const;
    // Nodes other than jump and kill nodes with the same component and behavior.
    QList<int> MacroCandidates(int node) const;
    // First node of a branch with the kill node's component and behavior; 0 when none.
    int BranchToKill(int node) const;
    // Internal inputs with the output's component and message; throws when none.
    QList<int> InternalReceivers(int outputNode) const;
    // A jump may go to the first node of a step or to the root.
    bool IsJumpTarget(int node) const;

    // ---- Steps -----------------------------------------------------------
    std::vector<CTranslateStep> &Steps() { return m_steps; }
    const std::vector<CTranslateStep> &Steps() const { return m_steps; }
    CTranslateStep &AddStep(int head, int rule);
    // The step that starts at head, or null.
    const CTranslateStep *StepOf(int head) const;
    // Whether a go-to can bring its thread back to the node while threads
    // the node started before still run: a go-to moves only its target's
    // thread, and the node lies below the target. Asked once the steps are made.
    bool ReachedAgainByGoTo(int node) const;

    // ---- Node actions ----------------------------------------------------
    std::vector<CNodeAction> &Actions() { return m_actions; }
    const CNodeAction &Action(int node) const { return m_actions[size_t(node)]; }

    // The identifiers of the tree's names, shared by every writer.
    CIdentifierMap &Names() { return m_names; }
    const CIdentifierMap &Names() const { return m_names; }

    CTranslateCollections &Collections() { return m_collections; }
    const CTranslateCollections &Collections() const { return m_collections; }

    // "component behavior", as error texts name a node.
    QString Describe(int node) const;

private:
    void buildIndexes() const;

    CTranslateSettings m_settings;
    bool m_withSets;
    bool m_uppaal;
    std::vector<CTranslateNode> m_nodes;
    QList<int> m_initBlock;
    std::vector<CTranslateStep> m_steps;
    std::vector<int> m_stepOfHead; // by node number; -1 for none
    std::vector<CNodeAction> m_actions;
    CTranslateCollections m_collections;
    CIdentifierMap m_names;

    quint64 behaviorKey(int node) const;

    // built on first use, for the behaviors that jumps, kills and messages look for
    mutable bool m_indexed = false;
    mutable std::vector<int> m_reversionTarget;
    mutable std::vector<char> m_belowGoTo;             // by node number, built on first use
    mutable std::vector<quint64> m_keys;               // component and behavior of each node
    mutable QHash<quint64, QList<int>> m_byBehavior;   // plain nodes
    mutable QHash<quint64, QList<int>> m_branchStarts; // first nodes of branches
    mutable QHash<quint64, QList<int>> m_internalInputs;
};
