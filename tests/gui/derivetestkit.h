#pragma once

// A main window with the editor and the derived-tree commands, loaded with
// the automatic door example, and ways to name nodes by what they show.

#include "guitestkit.h"

#include "derive/derivedtrees.h"
#include "dialogs/kelrbtdlg.h"
#include "derive/derivedtreesinstall.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/kelnavigatetree.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QtTest>

namespace DeriveTestKit {

inline QString DoorExample()
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/door.kvf");
}

// The door example's main window with the editor and the derived trees.
struct Frame : GuiTestKit::Frame
{
    static CEditor *DerivedParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallDerivedTrees(frame, *editor);
        return editor;
    }
    explicit Frame(const Parts &parts = DerivedParts) : GuiTestKit::Frame(parts) { frame->resize(1200, 800); }

    CDerivedTrees &derived() { return *frame->findChild<CDerivedTrees *>(); }
    bool open(const QString &path = DoorExample()) { return frame->OpenFile(path); }
    const CKELVersion *version(const QString &name)
    {
        for (const auto &e : model().Solution()->Project()->Children()) {
            if (e->GetTypeCode() == KEL::Version && e->GetName() == name)
                return static_cast<const CKELVersion *>(e.get());
        }
        return nullptr;
    }
    // writable, so that a case can set fields no dialog sets
    CKELTree *tree(int folderType, const QString &name, const QString &versionName)
    {
        return TestKit::Mutable(model().FindTree(folderType, name, version(versionName)));
    }
    // A new DBT in version 2.0 holding copies of the named RBTs (all four
    // when none are named), got through the explorer's "Get RBTs"; its window.
    CChildFrame *freshDbt(const QStringList &rbts = {})
    {
        if (!open() || !model().AddDBT(QStringLiteral("Fresh")))
            return nullptr;
        const CKELTree *dbt = tree(KEL::DBTs, QStringLiteral("Fresh"), QStringLiteral("2.0"));
        script.Accept<CKELRBTDlg>([rbts](CKELRBTDlg &d) {
            for (int row = 0; row < d.List()->count(); ++row)
                d.List()->item(row)->setSelected(rbts.isEmpty() || rbts.contains(d.List()->item(row)->text()));
        });
        if (!dbt || !runExplorer(dbt->GetId(), QStringLiteral("Get RBTs")))
            return nullptr;
        return windows().Find(dbt->GetId());
    }
    using GuiTestKit::Frame::runViewMenu;
    // A tree view's context-menu entry at a node (0: empty canvas).
    bool runViewMenu(CTessel1View &view, int nodeId, const QString &text)
    {
        QPointF at(-5000, -5000);
        if (nodeId) {
            CKELNodeShape *shape = view.Document().NodeShape(nodeId);
            if (!shape)
                return false;
            at = shape->sceneBoundingRect().center();
        }
        return runViewMenu(view, at, text);
    }
};

// "R2:DOOR[open]": a node by its requirement tag, component and behavior.
inline QString Describe(const CKELMethod &n)
{
    return n.requirementTag + u':' + n.component + n.GetDecoratedBehavior();
}

inline QStringList Describe(const CKELTree &tree, const QList<int> &ids)
{
    QStringList out;
    for (int id : ids) {
        for (const CKELMethod *n : tree.Nodes()) {
            if (n->GetId() == id)
                out.append(Describe(*n));
        }
    }
    out.sort();
    return out;
}

inline CKELMethod *NodeNamed(const CKELTree &tree, const QString &description)
{
    for (const CKELMethod *n : tree.Nodes()) {
        if (Describe(*n) == description)
            return TestKit::Mutable(n);
    }
    return nullptr;
}

using GuiTestKit::CanvasDisagreement;

// Whether any two drawn boxes overlap, as they do before a layout.
inline bool ShapesOverlap(const CTessel1Doc &doc)
{
    const QList<CKELNodeShape *> shapes = doc.NodeShapes().values();
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        for (qsizetype j = i + 1; j < shapes.size(); ++j) {
            const QRectF a = shapes[i]->sceneBoundingRect().adjusted(2, 2, -2, -2);
            if (a.intersects(shapes[j]->sceneBoundingRect().adjusted(2, 2, -2, -2)))
                return true;
        }
    }
    return false;
}

} // namespace DeriveTestKit
