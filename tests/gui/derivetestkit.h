#pragma once

// A main window with the editor and the derived-tree commands, loaded with
// the automatic door example, and ways to name nodes by what they show.

#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "derive/derivedtrees.h"
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
#include <QMenu>
#include <QtTest>

namespace DeriveTestKit {

inline QString DoorExample()
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/door.kvf");
}

struct Frame
{
    CScriptedPrompt prompt;
    GuiTestKit::CDialogScript script;
    std::unique_ptr<CMainFrame> frame;
    CEditor *editor = nullptr;

    // withParts false leaves the parts to the caller.
    explicit Frame(bool withParts = true)
    {
        frame = std::make_unique<CMainFrame>();
        frame->SetPrompt(&prompt);
        script.Install(frame->Dialogs());
        if (withParts) {
            editor = InstallEditor(*frame);
            InstallDerivedTrees(*frame, *editor);
        }
        frame->resize(1200, 800);
    }
    ~Frame() { frame->Manager().CloseSolution(); }

    CKELDataManager &model() { return frame->Manager(); }
    CTreeWindows &windows() { return editor->Windows(); }
    CDerivedTrees &derived() { return *frame->findChild<CDerivedTrees *>(); }
    bool open(const QString &path = DoorExample()) { return frame->OpenFile(path); }
    CKELVersion *version(const QString &name)
    {
        for (const auto &e : model().Solution()->Project()->Children()) {
            if (e->GetTypeCode() == KEL::Version && e->GetName() == name)
                return static_cast<CKELVersion *>(e.get());
        }
        return nullptr;
    }
    CKELTree *tree(int folderType, const QString &name, const QString &versionName)
    {
        return model().FindTree(folderType, name, version(versionName));
    }
    // An explorer entry of an element, run as the user would pick it.
    bool runExplorer(int elementId, const QString &command)
    {
        const CKELData *e = model().Lookup(elementId);
        return e && frame->Explorer()->Menu().Run(e->GetTypeCode(), command, {elementId, 0});
    }
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
        std::unique_ptr<QMenu> menu = view.CreateContextMenu(at);
        if (!menu)
            return false;
        for (QAction *a : menu->actions()) {
            if (a->text() == text) {
                a->trigger();
                return true;
            }
        }
        return false;
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
    for (CKELMethod *n : tree.Nodes()) {
        if (Describe(*n) == description)
            return n;
    }
    return nullptr;
}

// Every node of the tree shown where the model puts it (a CBT, never
// saved, where its window arranged it), every link the model has drawn
// from its parent's shape; empty when they agree.
inline QString CanvasDisagreement(const CTessel1Doc &doc)
{
    const CKELTree *tree = doc.Tree();
    if (!tree)
        return QStringLiteral("no tree");
    for (const CKELMethod *n : tree->Nodes()) {
        const CKELNodeShape *shape = doc.NodeShape(n->GetId());
        if (!doc.IsDrawn(*n)) {
            if (shape)
                return QStringLiteral("hidden node drawn: ") + Describe(*n);
            continue;
        }
        if (!shape)
            return QStringLiteral("no shape: ") + Describe(*n);
        if (shape->pos().toPoint() != doc.ShownPlace(*n))
            return QStringLiteral("misplaced: ") + Describe(*n);
        const int code = doc.IntegrationMarks().CodeOf(n->GetId());
        if (shape->HighlightCode() != (code >= 1 && code <= 3 ? code : 0))
            return QStringLiteral("highlight differs: ") + Describe(*n);
        const auto *link = doc.LinkInto(n->GetId());
        const CKELNodeShape *parentShape = doc.NodeShape(n->ParentId());
        if (bool(link) != bool(parentShape) || (link && link->GetStartShape() != parentShape))
            return QStringLiteral("link differs: ") + Describe(*n);
    }
    if (doc.NodeShapes().size() > tree->Nodes().size())
        return QStringLiteral("stray shapes");
    return {};
}

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
