#pragma once

// Helpers shared by the desktop program's tests: a private settings and
// data home, scripted dialog answers, the explorer as text, and a main
// window with the parts a test installs.

#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/tessel1app.h"
#include "dialogs/dialogrunner.h"
#include "canvas/canvasscene.h"
#include "canvas/canvastypes.h"
#include "canvas/compositeshape.h"
#include "editor/editorinstall.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/explorermenu.h"
#include "explorer/kelnavigatetree.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "testkit.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QList>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

namespace GuiTestKit {

inline QString ExampleSolution()
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/microwave.kvf");
}

// Settings and recovery copies go to a fresh folder, never the user's.
// Call before anything reads settings.
inline std::unique_ptr<QTemporaryDir> IsolateHome()
{
    auto home = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath(QStringLiteral("data"))));
    qputenv("HOME", QFile::encodeName(home->path()));
    CTessel1App::SetIdentity();
    return home;
}

// Answers the dialogs the program runs, one step per dialog, in order.
// A step fills the fields as a user would and presses OK; what the dialog
// then does (close or stay open) is its own business.
class CDialogScript
{
public:
    QStringList titles; // every dialog that was run

    template<class D> void Accept(std::function<void(D &)> fill)
    {
        m_steps.push_back([fill](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            if (!d) {
                qWarning("unexpected dialog %s", qPrintable(dialog.windowTitle()));
                return int(QDialog::Rejected);
            }
            fill(*d);
            d->accept();
            return d->result();
        });
    }
    template<class D> void Use(std::function<int(D &)> act)
    {
        m_steps.push_back([act](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            return d ? act(*d) : int(QDialog::Rejected);
        });
    }
    void Cancel()
    {
        m_steps.push_back([](QDialog &) { return int(QDialog::Rejected); });
    }
    QStringList files; // answers to file dialogs, in order

    void Install(CDialogRunner &runner)
    {
        runner.dialogHook = [this](QDialog &d) {
            titles.append(d.windowTitle());
            if (m_steps.empty())
                return int(QDialog::Rejected);
            auto step = std::move(m_steps.front());
            m_steps.erase(m_steps.begin());
            return step(d);
        };
        auto file = [this](const QString &caption) {
            titles.append(caption);
            return files.isEmpty() ? QString() : files.takeFirst();
        };
        runner.openFileHook = file;
        runner.saveFileHook = file;
    }
    bool Done() const { return m_steps.empty(); }

private:
    std::vector<std::function<int(QDialog &)>> m_steps;
};

// The explorer's items as lines: two blanks per level, "~ " before an item
// that shows an element under another than its owner.
inline QString ItemsText(const QTreeWidget &tree)
{
    QString text;
    std::vector<std::pair<const QTreeWidgetItem *, int>> stack;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i)
        stack.emplace_back(tree.topLevelItem(i), 0);
    while (!stack.empty()) {
        const auto [item, depth] = stack.back();
        stack.pop_back();
        text += QString(depth * 2, u' ');
        if (CKELNavigateTree::IsVirtual(item))
            text += QStringLiteral("~ ");
        text += item->text(0) + u'\n';
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.emplace_back(item->child(i), depth + 1);
    }
    return text;
}

// The item reached by following labels from the top ("" matches the
// first virtual child with the next label instead of an owned one).
inline QTreeWidgetItem *ItemAt(const QTreeWidget &tree, const QStringList &path, bool lastVirtual = false)
{
    QTreeWidgetItem *item = nullptr;
    for (qsizetype depth = 0; depth < path.size(); ++depth) {
        const bool wantVirtual = lastVirtual && depth == path.size() - 1;
        const int count = item ? item->childCount() : tree.topLevelItemCount();
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem *c = item ? item->child(i) : tree.topLevelItem(i);
            if (c->text(0) == path[depth] && CKELNavigateTree::IsVirtual(c) == wantVirtual)
                found = c;
        }
        if (!found)
            return nullptr;
        item = found;
    }
    return item;
}

// The solution as it would be saved.
inline QStringList SavedLines(const CKELDataManager &m)
{
    QStringList lines;
    m.WriteSolutionLines([&lines](const QString &line) { lines.append(line); });
    return lines;
}

// A plain box on the canvas with a port at the top centre (0) and the
// bottom centre (1).
inline CCompositeShape *AddBox(CCanvasScene &scene, int key, const QRect &at)
{
    auto *s = new CCompositeShape(key);
    s->Create(QRect(QPoint(0, 0), at.size()), QString());
    const int frame = s->AddText(QStringLiteral("Frame"), QString::number(key), QRect(QPoint(0, 0), at.size()));
    s->Cell(frame).brushType = 1;
    s->SetPortPositions({QPointF(at.width() / 2.0, 0), QPointF(at.width() / 2.0, at.height())});
    s->setPos(at.topLeft());
    scene.AddShape(s);
    return s;
}

// Where a tree window's drawing and the model part: every node the window
// draws has a shape where the window places it (a record's place; a CBT's
// arranged place), showing its component, marked as its integration code
// says, and linked from its parent's shape exactly when that is drawn;
// nothing else is drawn. Empty when they agree.
inline QString CanvasDisagreement(const CTessel1Doc &doc)
{
    const CKELTree *tree = doc.Tree();
    if (!tree)
        return QStringLiteral("no tree");
    qsizetype drawn = 0;
    qsizetype links = 0;
    for (const CKELMethod *n : tree->Nodes()) {
        const QString node = QStringLiteral("node %1 (%2): ").arg(n->GetId()).arg(n->component);
        const CKELNodeShape *shape = doc.NodeShape(n->GetId());
        if (!doc.IsDrawn(*n)) {
            if (shape)
                return node + QStringLiteral("hidden but drawn");
            continue;
        }
        ++drawn;
        if (!shape)
            return node + QStringLiteral("no shape");
        if (shape->pos().toPoint() != doc.ShownPlace(*n))
            return node + QStringLiteral("drawn at %1,%2").arg(shape->pos().x()).arg(shape->pos().y());
        if (shape->ComCell()->text != CKELNodeShape::ComText(*n))
            return node + QStringLiteral("shows ") + shape->ComCell()->text;
        const int code = doc.IntegrationMarks().CodeOf(n->GetId());
        if (shape->HighlightCode() != (code >= 1 && code <= 3 ? code : 0))
            return node + QStringLiteral("highlight differs");
        const CKELLinkShape *link = doc.LinkInto(n->GetId());
        const CKELNodeShape *parentShape = n->ParentId() ? doc.NodeShape(n->ParentId()) : nullptr;
        if (bool(link) != bool(parentShape) || (link && link->GetStartShape() != parentShape))
            return node + QStringLiteral("link differs from parent %1").arg(n->ParentId());
        if (link && link->LinkKind() != (n->atomic ? 2 : 1))
            return node + QStringLiteral("wrong link kind");
        links += link ? 1 : 0;
    }
    if (doc.NodeShapes().size() != drawn)
        return QStringLiteral("%1 shapes for %2 drawn nodes").arg(doc.NodeShapes().size()).arg(drawn);
    qsizetype linkItems = 0;
    for (const QGraphicsItem *i : doc.Scene().items())
        linkItems += i->type() == Canvas::LinkItem;
    if (linkItems != links)
        return QStringLiteral("%1 links drawn, %2 in the model").arg(linkItems).arg(links);
    return {};
}

// The entry of a menu with this text, or null.
inline QAction *EntryOf(const QMenu &menu, const QString &text)
{
    for (QAction *a : menu.actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

// A menu's entries as their texts, "-" for a separator.
inline QStringList EntryTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *a : menu.actions())
        texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

// Runs a menu's entry as a click would; false when it is not offered.
inline bool Pick(QMenu *menu, const QString &text)
{
    QAction *a = menu ? EntryOf(*menu, text) : nullptr;
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

// A main window as the program builds it, with its questions and dialogs
// answered from scripts. The parts are what the test needs: the editor
// alone unless told (InstallProgramParts for all of them, none for a bare
// main window).
struct Frame
{
    using Parts = std::function<CEditor *(CMainFrame &)>;
    static CEditor *EditorOnly(CMainFrame &frame) { return InstallEditor(frame); }
    static CEditor *Everything(CMainFrame &frame) { return InstallProgramParts(frame); }

    CScriptedPrompt prompt;
    CDialogScript script;
    std::unique_ptr<CMainFrame> frame;
    CEditor *editor = nullptr;

    explicit Frame(const Parts &parts = EditorOnly)
    {
        frame = std::make_unique<CMainFrame>();
        frame->SetPrompt(&prompt);
        script.Install(frame->Dialogs());
        if (parts)
            editor = parts(*frame);
    }
    ~Frame()
    {
        // nothing may ask on the way out
        frame->Manager().CloseSolution();
    }
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    CKELDataManager &model() const { return frame->Manager(); }
    CTreeWindows &windows() const { return editor->Windows(); }
    QAction *action(const QString &objectName) const { return frame->findChild<QAction *>(objectName); }
    QString explorer() const { return ItemsText(*frame->Explorer()); }
    bool open(const QString &path = ExampleSolution()) { return frame->OpenFile(path); }
    // writable, so that a case can set fields no dialog sets
    CKELTree *tree(int folderType, const QString &name, const CKELVersion *version = nullptr) const
    {
        return TestKit::Mutable(model().FindTree(folderType, name, version));
    }
    void forgetAsked()
    {
        prompt.texts.clear();
        prompt.captions.clear();
        script.titles.clear();
    }

    // The entry of an element's context menu in the explorer, clicked.
    bool explorerEntry(int elementId, const QString &text)
    {
        std::unique_ptr<QMenu> menu = frame->Explorer()->ContextMenuFor(frame->Explorer()->ItemOf(elementId));
        return Pick(menu.get(), text);
    }
    // An explorer command on an element, once it is offered: what it did.
    bool runExplorer(int elementId, const QString &command)
    {
        const CKELData *e = model().Lookup(elementId);
        if (!e || !frame->Explorer()->Menu().Shown(e->GetTypeCode()).contains(command))
            return false;
        return frame->Explorer()->Menu().Run(e->GetTypeCode(), command, {elementId, 0});
    }
    // A tree view's context-menu entry at a scene point.
    bool runViewMenu(CTessel1View &view, const QPointF &at, const QString &text)
    {
        std::unique_ptr<QMenu> menu = view.CreateContextMenu(at);
        return Pick(menu.get(), text);
    }
};

} // namespace GuiTestKit
