#pragma once

#include <QList>
#include <QString>

class CKELDataManager;
class CKELEVT;
class CEditAccess;
class CKELMethod;
class CKELTree;
class CPrompt;

// Evolution trees: several versions of one behavior tree merged into one
// tree whose nodes say in which of the chosen trees they occur and whether
// the last version dropped, kept or added them.
namespace Evolution {

enum Status : int {
    Dropped = -1, // the last version does not have the node
    Kept = 0,
    Added = 1, // new in the last version, or back after the version before it lacked it
};

// Whether two nodes stand for the same behavior: component, behavior text
// with its brackets, flow control, qualifier, atomic and set-operation flags.
// Requirement tags, layout and the other display flags do not count.
bool NodesIdentical(const CKELMethod &a, const CKELMethod &b);

// The status of a merged node from the trees its group came from, in the
// order of the chosen trees.
int EvolutionStatus(const QList<int> &groupTrees, int lastTreeId, int previousTreeId);

// The last and the second-to-last chosen trees; 0 when there are too few.
int LastTreeId(const CKELEVT &evt);
int PreviousTreeId(const CKELEVT &evt);

// The first node in element order that has no parent, or null.
const CKELMethod *FirstRoot(const CKELTree &tree);

// Whether every tree's root is identical to the first tree's root; says so
// through prompt when not. Two empty trees have identical (absent) roots.
bool CheckRoots(const QList<const CKELTree *> &trees, CPrompt &prompt);

// Merges a group of corresponding nodes (at most one per chosen tree, in the
// order of the chosen trees) and, below it, all their descendants into evt.
// Returns the merged node, linked under parent when there is one.
CKELMethod *MergeGroup(CKELDataManager &manager, CKELEVT &evt, const QList<const CKELMethod *> &group,
                       CKELMethod *parent);

// Fills an empty evolution tree from its source trees. Returns false, with a
// message through prompt, when it cannot: then evt keeps no nodes.
bool BuildEvolution(CKELDataManager &manager, CKELEVT &evt, CPrompt &prompt);

// Creates an evolution tree over the trees with these ids (of any version)
// in the solution's evolution folder and builds it. It adds to the model,
// so only the edit layer holds the key. Returns null, with a
// message and the model untouched, when fewer than two trees are given or a
// tree is missing. When the roots differ the tree is still created but stays
// empty; built tells the two outcomes apart.
CKELEVT *CreateEvolutionTree(CKELDataManager &manager, const QList<int> &treeIds, CPrompt &prompt, CEditAccess key,
                             bool *built = nullptr);

// Names every entry of a version list as "VERSION->TREE" (a tree outside any
// version by its name alone, a tree no longer there as "#ID"), joined by ", ".
QString VersionListText(const CKELDataManager &manager, const QList<int> &treeIds);

} // namespace Evolution
