#pragma once

// A small solution to edit in tree windows, built through the model
// manager's commands as a user would.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "scriptedprompt.h"
#include "testkit.h"

#include <QList>
#include <QTest>

namespace EditorTestKit {

inline CNodeAttributes Attrs(const QString &component, const QString &behavior, int type = 1,
                             const QString &tag = QStringLiteral("R1"))
{
    CNodeAttributes a;
    a.component = component;
    a.behavior = behavior;
    a.behaviorType = type;
    a.requirementTag = tag;
    return a;
}

// A solution with one empty tree "T" (an RBT unless told otherwise).
struct Fixture
{
    CKELDataManager m;
    CScriptedPrompt prompt;
    int tree = 0;

    explicit Fixture(int typeCode = KEL::RBT)
    {
        m.SetPrompt(&prompt);
        m.NewSolution();
        if (typeCode == KEL::DBT) {
            m.AddDBT(QStringLiteral("T"));
            tree = m.FindTree(KEL::DBTs, QStringLiteral("T"))->GetId();
        } else {
            m.AddRBT(QStringLiteral("T"), {}, 50);
            tree = m.FindTree(KEL::RBTs, QStringLiteral("T"))->GetId();
        }
    }

    // writable, so that a case can set fields no dialog sets
    CKELTree *Tree() const { return TestKit::Mutable(static_cast<const CKELTree *>(m.Lookup(tree))); }
    CKELMethod *N(int id) const { return TestKit::Mutable(m.LookupAs<CKELMethod>(id, KEL::Method)); }

    // Adds a node through the manager and returns its id.
    int Add(int parent, const QString &component, int x = 0, int y = 0, const QString &behavior = QStringLiteral("b"))
    {
        if (!m.AddNode(tree, parent, Attrs(component, behavior), x, y))
            return 0;
        return Tree()->Nodes().last()->GetId();
    }

    void ClearPrompt()
    {
        prompt.texts.clear();
        prompt.captions.clear();
    }
};

} // namespace EditorTestKit
