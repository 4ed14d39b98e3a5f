#include "edit/clipboardrecords.h"
#include "edit/editstep.h"
#include "edit/undohistory.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/treeops.h"
#include "commandmix.h"
#include "scriptedprompt.h"
#include "testkit.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A solution with an RBT "T": a with children b, c and e, and d under b.
struct Fixture
{
    CKELDataManager m;
    CScriptedPrompt prompt;
    int tree = 0, a = 0, b = 0, c = 0, d = 0, e = 0;

    Fixture()
    {
        m.SetPrompt(&prompt);
        m.NewSolution();
        m.AddRequirement(u"R1"_qs, u"first"_qs);
        m.AddRBT(u"T"_qs, {}, 50);
        tree = m.FindTree(KEL::RBTs, u"T"_qs)->GetId();
        a = add(0, u"open"_qs);
        b = add(a, u"shut"_qs);
        c = add(a, u"open"_qs);
        d = add(b, u"open"_qs);
        e = add(a, u"half"_qs);
        m.History().Clear();
        m.MarkSaved();
    }
    int add(int parent, const QString &behavior)
    {
        m.AddNode(tree, parent, TestKit::Node(u"Door"_qs, behavior), 10, 20);
        for (int id = m.MaxCount(); id > 0; --id) {
            if (m.LookupAs<CKELMethod>(id, KEL::Method))
                return id;
        }
        return 0;
    }
    QList<int> kids(int id) const { return m.LookupAs<CKELMethod>(id, KEL::Method)->ChildIds(); }
};

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoRedoFollowTheCommands_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 20; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void undoRedoFollowTheCommands()
    {
        QFETCH(quint32, seed);
        CKELDataManager m;
        CScriptedPrompt prompt;
        m.SetPrompt(&prompt);
        m.NewSolution();
        m.AddRequirement(u"R1"_qs, u"first"_qs);
        m.AddRBT(u"T0"_qs, {}, 40);
        m.AddDBT(u"D0"_qs);
        m.History().Clear();

        // texts[i]: the solution after the first i steps still in the history
        QStringList texts{m.BuildSolutionText()};
        QStringList kinds{QString()};
        CCommandMix mix(m, seed);
        QRandomGenerator rng(seed * 7919);
        int index = 0;
        for (int i = 0; i < 500; ++i) {
            const int roll = rng.bounded(10);
            if (roll == 0 && m.History().CanUndo()) {
                QVERIFY(m.History().Undo());
                --index;
                QCOMPARE(m.BuildSolutionText(), texts[index]);
            } else if (roll == 1 && m.History().CanRedo()) {
                QVERIFY(m.History().Redo());
                ++index;
                QCOMPARE(m.BuildSolutionText(), texts[index]);
            } else {
                const QString kind = mix.Run();
                const QString text = m.BuildSolutionText();
                if (m.History().Position() == index) {
                    QCOMPARE(text, texts[index]); // refused: nothing changed
                    continue;
                }
                QVERIFY2(m.History().Position() == index + 1, qPrintable(kind + u" made more than one step"_qs));
                ++index;
                texts.resize(index);
                kinds.resize(index);
                texts.append(text);
                kinds.append(kind);
            }
        }
        QCOMPARE(m.BuildSolutionText(), texts[index]);
        while (m.History().CanUndo()) {
            QVERIFY(m.History().Undo());
            --index;
            QVERIFY2(m.BuildSolutionText() == texts[index], qPrintable(u"undo of "_qs + kinds[index + 1]));
        }
        QCOMPARE(index, 0);
        QVERIFY(!m.Solution()->IsModified()); // back at the start, which was never changed
        while (m.History().CanRedo()) {
            QVERIFY(m.History().Redo());
            ++index;
            QVERIFY2(m.BuildSolutionText() == texts[index], qPrintable(u"redo of "_qs + kinds[index]));
        }
        QCOMPARE(index, texts.size() - 1);
        QCOMPARE(m.BuildSolutionText(), texts.last());
    }

    void oneActionIsOneStep_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("stepName");
        QTest::addColumn<QList<int>>("childrenOfA"); // 1 b, 2 c, 3 e
        QTest::newRow("link to the parent it has") << u"relink"_qs << u"Add Link"_qs << QList<int>{2, 3, 1};
        QTest::newRow("relink the middle child") << u"relinkMiddle"_qs << u"Add Link"_qs << QList<int>{1, 3, 2};
        QTest::newRow("remove a subtree") << u"removeSubtree"_qs << u"Remove Node"_qs << QList<int>{2, 3};
        QTest::newRow("remove keeping the children") << u"removeKeep"_qs << u"Remove Node"_qs << QList<int>{2, 3};
        QTest::newRow("remove the middle child") << u"removeMiddle"_qs << u"Remove Node"_qs << QList<int>{1, 3};
        QTest::newRow("paste under a node") << u"paste"_qs << u"Paste"_qs << QList<int>{1, 2, 3};
        QTest::newRow("move every node") << u"move"_qs << u"Move"_qs << QList<int>{1, 2, 3};
        QTest::newRow("page counts") << u"pages"_qs << u"Page Setup"_qs << QList<int>{1, 2, 3};
    }

    void oneActionIsOneStep()
    {
        QFETCH(QString, action);
        QFETCH(QString, stepName);
        QFETCH(QList<int>, childrenOfA);
        Fixture f;
        const QString before = f.m.BuildSolutionText();
        if (action == u"relink") {
            QVERIFY(f.m.LinkNode(f.a, f.b));
        } else if (action == u"relinkMiddle") {
            QVERIFY(f.m.LinkNode(f.a, f.c));
        } else if (action == u"removeMiddle") {
            QVERIFY(f.m.RemoveNodes({f.c}, CKELDataManager::RemoveMode::Subtree));
        } else if (action == u"removeSubtree") {
            QVERIFY(f.m.RemoveNodes({f.b}, CKELDataManager::RemoveMode::Subtree));
            QVERIFY(!f.m.Lookup(f.d));
        } else if (action == u"removeKeep") {
            QVERIFY(f.m.RemoveNodes({f.b}, CKELDataManager::RemoveMode::KeepChildren));
            QCOMPARE(f.m.LookupAs<CKELMethod>(f.d, KEL::Method)->ParentId(), 0);
        } else if (action == u"paste") {
            const QString copied = CopyNodesAsRecords(f.m, {f.b});
            QVERIFY(PasteNodes(f.m, f.tree, f.c, 300, 40, copied));
            // the copy keeps its shape under new ids
            const QList<int> pasted = f.kids(f.c);
            QCOMPARE(pasted.size(), 1);
            QVERIFY(pasted.first() > f.e);
            QCOMPARE(f.kids(pasted.first()).size(), 1);
            QCOMPARE(f.m.LookupAs<CKELMethod>(pasted.first(), KEL::Method)->x, 300);
        } else if (action == u"move") {
            QList<CNodeGeometry> g;
            for (int id : {f.a, f.b, f.c, f.d, f.e})
                g.append({id, id * 10, id * 20, 90, 30});
            QVERIFY(f.m.SetNodesGeometry(f.tree, g));
        } else if (action == u"pages") {
            QVERIFY(f.m.SetTreePages(f.tree, 3, 2));
        }
        const QString after = f.m.BuildSolutionText();
        QVERIFY(after != before);
        QCOMPARE(f.m.History().Position(), 1);
        QCOMPARE(f.m.History().UndoText(), stepName);
        QList<int> expected;
        for (int i : childrenOfA)
            expected.append(i == 1 ? f.b : i == 2 ? f.c : f.e);
        QCOMPARE(f.kids(f.a), expected);

        QVERIFY(f.m.History().Undo());
        QCOMPARE(f.m.BuildSolutionText(), before);
        QCOMPARE(f.kids(f.a), (QList<int>{f.b, f.c, f.e}));
        QCOMPARE(f.kids(f.b), QList<int>{f.d});
        QCOMPARE(f.m.History().RedoText(), stepName);
        QVERIFY(f.m.History().Redo());
        QCOMPARE(f.m.BuildSolutionText(), after);
        QCOMPARE(f.kids(f.a), expected);
    }

    void everyEditStarsTheSolution_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("change a node") << u"change"_qs;
        QTest::newRow("integrate the next matching root") << u"integrate"_qs;
        QTest::newRow("evolution tree") << u"evolution"_qs;
    }

    void everyEditStarsTheSolution()
    {
        QFETCH(QString, action);
        Fixture f;
        int other = 0;
        if (action == u"integrate") {
            f.add(0, u"shut"_qs); // a second root that matches b
        } else if (action == u"evolution") {
            QVERIFY(f.m.AddRBT(u"U"_qs, {}, 50));
            other = f.m.FindTree(KEL::RBTs, u"U"_qs)->GetId();
            std::swap(other, f.tree);
            f.add(0, u"open"_qs);
            std::swap(other, f.tree);
        }
        f.m.MarkSaved();
        QSignalSpy modified(&f.m, &CKELDataManager::modifiedChanged);
        if (action == u"change")
            QVERIFY(f.m.ChangeNode(f.a, TestKit::Node(u"Door"_qs, u"ajar"_qs)));
        else if (action == u"integrate")
            QVERIFY(f.m.IntegrateNextMatchingRBT(f.b));
        else
            QVERIFY(f.m.AddEVT({f.tree, other}));
        // the window's star and Save follow this signal, not the flag
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.first().first().toBool(), true);
    }

    void modifiedFollowsTheSavedStep()
    {
        Fixture f;
        QSignalSpy modified(&f.m, &CKELDataManager::modifiedChanged);
        QVERIFY(f.m.ChangeNode(f.a, TestKit::Node(u"Door"_qs, u"ajar"_qs)));
        QVERIFY(f.m.Solution()->IsModified());
        QVERIFY(f.m.History().Undo());
        QVERIFY(!f.m.Solution()->IsModified());
        QCOMPARE(modified.last().first().toBool(), false);
        QVERIFY(f.m.History().Redo());
        QVERIFY(f.m.Solution()->IsModified());
        f.m.MarkSaved(); // saved after the change: undoing it modifies again
        QVERIFY(f.m.History().Undo());
        QVERIFY(f.m.Solution()->IsModified());
        QVERIFY(f.m.History().Redo());
        QVERIFY(!f.m.Solution()->IsModified());
        // a new solution forgets the history
        f.m.NewSolution();
        QVERIFY(!f.m.History().CanUndo() && !f.m.History().CanRedo());
    }

    void refusesWhatAnotherUserChanged()
    {
        Fixture f;
        QVERIFY(f.m.ChangeNode(f.b, TestKit::Node(u"Door"_qs, u"ajar"_qs)));
        // a record relayed from someone else changes the same node
        QVERIFY(f.m.ApplyOperationRecord(u"modmsd;fun:para;Comp:Door;State:stuck;StatDec:1;ReqTag:R1;nodeid:"_qs
                                         + QString::number(f.b) + u';'));
        const QString text = f.m.BuildSolutionText();
        f.prompt.texts.clear();
        QVERIFY(!f.m.History().Undo());
        QCOMPARE(f.m.BuildSolutionText(), text);
        QCOMPARE(f.prompt.texts.size(), 1);
        QVERIFY2(f.prompt.texts.first().startsWith(u"Cannot undo: another user has changed the Method"_qs),
                 qPrintable(f.prompt.texts.first()));
        QVERIFY(f.m.History().CanUndo()); // still there, should the other change go
    }

    // Another user removed what a restored node hangs from; the undo brings
    // the node back all the same, as a root where nothing holds it, and the
    // text it leaves reads back as it is.
    void restoredNodeWhoseParentWentAway_data()
    {
        QTest::addColumn<QString>("relayed");
        QTest::addColumn<bool>("inTree");
        QTest::newRow("its parent") << u"rmnode;id:{node};"_qs << true;
        QTest::newRow("its tree") << u"rmrbt;tid:{tree};"_qs << false;
    }
    void restoredNodeWhoseParentWentAway()
    {
        QFETCH(QString, relayed);
        QFETCH(bool, inTree);
        Fixture f;
        QVERIFY(f.m.RemoveNode(f.d));
        QVERIFY(f.m.ApplyOperationRecord(
            relayed.replace(u"{node}"_qs, QString::number(f.b)).replace(u"{tree}"_qs, QString::number(f.tree))));
        QVERIFY(f.m.History().Undo());
        const auto *d = f.m.LookupAs<CKELMethod>(f.d, KEL::Method);
        QVERIFY(d);
        QCOMPARE(d->ParentId(), 0);
        QCOMPARE(d->GetParent() != nullptr, inTree);
        const QString text = f.m.BuildSolutionText();
        CKELDataManager reread;
        QVERIFY(reread.LoadSolutionText(text));
        QCOMPARE(reread.BuildSolutionText(), text);
    }

    // In a shared solution an edit is undone once its records are back from
    // the server: before, there is nothing of it to take back.
    void undoWaitsForTheRelay()
    {
        Fixture f;
        TestKit::CRecordingSink sink;
        f.m.SetOperationSink(&sink);
        f.m.SetLocal(false);
        QVERIFY(f.m.ChangeNode(f.a, TestKit::Node(u"Door"_qs, u"ajar"_qs)));
        QVERIFY(!f.m.History().Undo());
        QCOMPARE(f.prompt.texts, QStringList{u"Cannot undo yet: the edit is still on its way to the server."_qs});
        for (const QString &r : std::as_const(sink.sent))
            QVERIFY(f.m.ApplyOperationRecord(r));
        QVERIFY(f.m.History().Undo());
    }

    void copiesAsIndentedNodeLines()
    {
        Fixture f;
        // b is under a: copying both gives a's subtree once
        const QString text = CopyNodesAsText(f.m, {f.b, f.a});
        QCOMPARE(text, u"R1:Door[open]\n  R1:Door[shut]\n    R1:Door[open]\n  R1:Door[open]\n  R1:Door[half]\n"_qs);
        // and the text pastes back into the same shape
        QVERIFY(PasteNodes(f.m, f.tree, 0, 0, 500, text));
        QCOMPARE(f.m.History().Position(), 1);
        const auto *tree = f.m.LookupAs<CKELTree>(f.tree, KEL::RBT);
        QCOMPARE(tree->Roots().size(), 2);
        const int root = tree->Roots().last()->GetId();
        QCOMPARE(f.kids(root).size(), 3);
        QCOMPARE(f.kids(f.kids(root).first()).size(), 1);
    }

    void switchingVersionIsAChange()
    {
        Fixture f;
        const int first = f.m.CurrentVersion()->GetId();
        QVERIFY(f.m.NewVersion(u"2.0"_qs, first));
        f.m.MarkSaved();
        int second = 0;
        for (int id : f.m.SortedIds()) {
            if (id != first && f.m.LookupAs<CKELVersion>(id, KEL::Version))
                second = id;
        }
        QVERIFY(f.m.SetCurrentVersion(second));
        QVERIFY(f.m.Solution()->IsModified());
        // undoing and redoing the version copy does not reach the saved state
        QVERIFY(f.m.History().Undo());
        QVERIFY(f.m.History().Redo());
        QVERIFY(f.m.Solution()->IsModified());
    }

    void renameRecordRenamesNodes_data()
    {
        QTest::addColumn<QString>("record"); // %1: the component's or requirement's id
        QTest::addColumn<QString>("stepName");
        QTest::newRow("component rename") << u"modcom;id:%1;name:Gate;issys:0;"_qs << u"Rename Component"_qs;
        QTest::newRow("requirement tag change") << u"modreq;tag:R9;desc:moved;id:%1;"_qs << u"Change Requirement"_qs;
    }

    void renameRecordRenamesNodes()
    {
        QFETCH(QString, record);
        QFETCH(QString, stepName);
        Fixture f;
        const bool tag = record.startsWith(u"modreq"_qs);
        const int id = tag ? f.m.FindRequirement(u"R1"_qs)->GetId() : f.m.FindComponent(u"Door"_qs)->GetId();
        auto carried = [&](int node) {
            const auto *n = f.m.LookupAs<CKELMethod>(node, KEL::Method);
            return tag ? n->requirementTag : n->component;
        };
        const QString before = f.m.BuildSolutionText();
        QVERIFY(f.m.ExecuteRecordAsCommand(record.arg(id)));
        for (int node : {f.a, f.b, f.c, f.d})
            QCOMPARE(carried(node), tag ? u"R9"_qs : u"Gate"_qs);
        if (tag) {
            // a state added from a node now finds the requirement by its new tag
            QVERIFY(f.m.AddState(u"Door"_qs, u"ajar"_qs, 1, carried(f.a)));
            QCOMPARE(f.m.FindComponent(u"Door"_qs)->FindState(KEL::Decorate(u"ajar"_qs, 1))->VParentIds(),
                     QList<int>{id});
            QVERIFY(f.m.History().Undo());
        }
        // the change and its nodes are one step
        QCOMPARE(f.m.History().UndoText(), stepName);
        QVERIFY(f.m.History().Undo());
        QCOMPARE(f.m.BuildSolutionText(), before);
    }

    // Copy in one program, paste in another: only the clipboard's text travels,
    // so names must carry everything and the target's own ids must not matter.
    void pastesIntoAnotherSolution_data()
    {
        QTest::addColumn<QString>("targetComponents"); // made before the paste, in this order
        QTest::addColumn<bool>("asText");
        QTest::newRow("target lacks the component") << QString() << false;
        QTest::newRow("component under another id") << u"Lock,Bell,Door"_qs << false;
        QTest::newRow("plain text, component present") << u"Bell,Door"_qs << true;
    }

    void pastesIntoAnotherSolution()
    {
        QFETCH(QString, targetComponents);
        QFETCH(bool, asText);
        Fixture source;
        const QString clip = asText ? CopyNodesAsText(source.m, {source.a}) : CopyNodesAsRecords(source.m, {source.a});

        CKELDataManager m;
        CScriptedPrompt prompt;
        m.SetPrompt(&prompt);
        m.NewSolution();
        for (const QString &c : targetComponents.split(u',', Qt::SkipEmptyParts))
            m.AddComponent(c, false);
        m.AddRBT(u"Other"_qs, {}, 50);
        const int tree = m.FindTree(KEL::RBTs, u"Other"_qs)->GetId();
        m.History().Clear();
        const QString before = m.BuildSolutionText();

        QVERIFY(PasteNodes(m, tree, 0, 100, 100, clip));
        const QList<const CKELMethod *> roots = static_cast<const CKELTree *>(m.Lookup(tree))->Roots();
        QCOMPARE(roots.size(), 1);
        // the same shape, fields and order as the copied subtree
        const QList<const CKELMethod *> from =
            TreeOps::PreOrder(source.m, source.m.LookupAs<CKELMethod>(source.a, KEL::Method));
        const QList<const CKELMethod *> to = TreeOps::PreOrder(m, roots.first());
        QCOMPARE(to.size(), from.size());
        for (qsizetype i = 0; i < from.size(); ++i) {
            QCOMPARE(CNodeAttributes::Of(*to[i]).RecordFields(), CNodeAttributes::Of(*from[i]).RecordFields());
            QCOMPARE(to[i]->ChildIds().size(), from[i]->ChildIds().size());
        }
        // every pasted behavior is a state of the target's component
        QVERIFY(m.FindComponent(u"Door"_qs));
        QCOMPARE(m.History().Position(), 1);
        QVERIFY(m.History().Undo());
        QCOMPARE(m.BuildSolutionText(), before);
    }
};

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
