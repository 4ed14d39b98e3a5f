#pragma once

#include <QHash>
#include <QList>
#include <QSet>

class CEditAccess;
class CKELDataManager;
class CKELDBT;
class CKELMethod;
class CKELRBT;
class CKELTree;
class CPrompt;

// What the integration mark commands have highlighted in one DBT. View
// state: held by whoever shows the tree, never written, never sent, so
// marking never touches the model.
struct CIntegrationMarks
{
    QHash<int, int> codes; // node id -> highlight code; absent: none
    // so that turning one mark off clears its own marks only
    QList<int> integrationPointIds;
    QList<int> missingPreconditionIds;
    QSet<int> matchesShownIds; // nodes whose matches are shown

    int CodeOf(int nodeId) const { return codes.value(nodeId, 0); }
    bool IsEmpty() const { return codes.isEmpty(); }
};

// Integration of requirement trees into a design tree: RBT copies are
// brought into the DBT as trees of their own, and an RBT copy is grafted
// onto the node that carries its root's behavior, its precondition.
//
// Every operation looks at the tree through a CMatchIndex, so marking a
// tree is linear in its size. Operations that change the model leave it
// unchanged when they refuse; they do not lay the tree out again, which is
// the caller's part (the canvas runs the layout as one undo step).
class CIntegration
{
public:
    // Highlight codes of a node
    enum Highlight { NoHighlight = 0, IntegrationPoint = 1, MissingPrecondition = 2, MatchingNode = 3 };

    static bool NodesMatch(const CKELMethod &a, const CKELMethod &b);
    // Ids of the nodes (the roots) of tree that match x, in element order.
    static QList<int> FindMatches(const CKELTree &tree, const CKELMethod &x);
    static QList<int> FindMatchingRoots(const CKELTree &tree, const CKELMethod &x);

    // Highlights every node that some root of another tree matches (on), or
    // clears what the last marking highlighted (off). Returns the marked ids
    // in element order.
    static QList<int> MarkIntegrationPoints(const CKELDBT &dbt, CIntegrationMarks &marks, bool on);
    // The same for the roots that no node of another tree matches.
    static QList<int> MarkMissingPreconditions(const CKELDBT &dbt, CIntegrationMarks &marks, bool on);
    // Shows or hides (alternately) the matches of a node: the node and its
    // matches are highlighted together. Returns the ids it highlighted, in
    // element order; empty when it hid them or found none.
    static QList<int> MarkAllMatchingNodes(const CKELDBT &dbt, CIntegrationMarks &marks, int nodeId);
    // Hides every shown match.
    static void ClearMatchingMarks(CIntegrationMarks &marks);

    // Brings a copy of rbt into dbt as a separate tree. Returns rbt node id ->
    // copy id.
    static QHash<int, int> CopyRBT(CKELDataManager &manager, CKELDBT &dbt, const CKELRBT &rbt);

    // Moves the children of root, in order, after the existing children of
    // match and removes root. Refused when root is not a root or match lies
    // in root's own tree. These change the model, so only the edit layer
    // holds the key.
    static bool GraftOnto(CKELDataManager &manager, int matchId, int rootId, CEditAccess key);

    // "Integrate next Matching RBT": grafts the first root that matches the
    // node onto it. Returns the id of the root that was grafted, 0 when none.
    static int IntegrateNextMatchingRBT(CKELDataManager &manager, int nodeId, CEditAccess key);

    // "Integrate this RBT": grafts the root onto its first match, after the
    // checks and questions that go through prompt. Returns 1 when it
    // integrated (and the match's id in matchId), else 0.
    static int IntegrateThisRBT(CKELDataManager &manager, int nodeId, CPrompt &prompt, int *matchId, CEditAccess key);
    // The checks and questions of "Integrate this RBT" without the change:
    // the id of the node to graft onto, or 0 when refused.
    static int FindIntegrationTarget(CKELDataManager &manager, int nodeId, CPrompt &prompt);
};
