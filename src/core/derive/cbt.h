#pragma once

#include <QString>
#include <QStringList>

class CKELCBT;
class CKELDataManager;
class CKELMethod;
class CKELTree;
class CPrompt;

// Component behavior trees: a tree projected onto one component. A CBT is
// named after its component, hangs in the "CBTs" folder of the tree it was
// made from and is rebuilt on demand, never written to the solution file.
namespace Cbt {

// Behavior name of the node that stands above the projected top nodes.
inline const QString kInitBehavior = QStringLiteral("INIT");

// The component names of a tree, each once, in pre-order from its root (the
// first node in element order without a parent).
QStringList ComponentList(const CKELTree &tree);

// The tree's CBT of this component (exact comparison), or null.
const CKELCBT *FindCbt(const CKELTree &source, const QString &component);

// Derives the CBT of component from source. Refused, with the "already
// added" message through prompt, when source has one for it already.
CKELCBT *CreateCbt(CKELDataManager &manager, CKELTree &source, const QString &component, CPrompt &prompt);

// Creates the INIT node in an empty cbt and projects source below it.
void BuildFromSource(CKELDataManager &manager, CKELCBT &cbt, const CKELTree &source);

// Projects the subtree of sourceNode under parent: a node of the CBT's
// component becomes a node of the CBT, any other is passed over and its
// children are projected in its place.
void ProjectNode(CKELDataManager &manager, CKELCBT &cbt, const CKELMethod *sourceNode, CKELMethod *parent);

// The CBT's INIT node, or null.
const CKELMethod *InitNode(const CKELCBT &cbt);
// A single projected top node stands as the visible root in INIT's place.
bool InitShown(const CKELCBT &cbt);

// The tree a CBT was derived from, or null.
const CKELTree *SourceTree(const CKELCBT &cbt);

} // namespace Cbt
