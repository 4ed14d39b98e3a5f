#include "treesketch.h"

#include "derive/integration.h"
#include "derive/matchindex.h"
#include "scriptedprompt.h"

#include <QtTest>

class TestIntegration : public QObject
{
    Q_OBJECT
private slots:
    // Two nodes match when they sit in different trees, share component and
    // bracketed behavior, and neither is a reversion or go-to.
    void nodesMatch_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("match");
        QTest::newRow("same behavior, other tree") << u"A.x(B.y),B.y"_qs << 1 << 2 << true;
        QTest::newRow("state against selection") << u"A.x(B.y),B.y:2"_qs << 1 << 2 << false;
        QTest::newRow("same tree") << u"A.x(B.y(B.y))"_qs << 1 << 2 << false;
        QTest::newRow("root and node of its own tree") << u"B.y(B.y)"_qs << 0 << 1 << false;
        QTest::newRow("itself") << u"A.x,B.y"_qs << 1 << 1 << false;
        QTest::newRow("reversion") << u"A.x(B.y^),B.y"_qs << 1 << 2 << false;
        QTest::newRow("go to") << u"A.x(B.y=),B.y"_qs << 1 << 2 << false;
        QTest::newRow("component case differs") << u"A.x(B.y),b.y"_qs << 1 << 2 << false;
        QTest::newRow("two roots") << u"B.y,B.y"_qs << 0 << 1 << true;
        QTest::newRow("without brackets") << u"A.x(B.y:0),B.y:0"_qs << 1 << 2 << true;
    }

    void nodesMatch()
    {
        QFETCH(QString, forest);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, match);
        CSketchSolution f;
        CKELTree *dbt = f.AddTree(forest, u"D"_qs, KEL::DBT);
        // flags, tags and qualifiers play no part
        f.nodes[a]->nonDeterministic = true;
        f.nodes[a]->qualifier = u"q"_qs;
        f.nodes[b]->missType = 2;
        QCOMPARE(CIntegration::NodesMatch(*f.nodes[a], *f.nodes[b]), match);
        QCOMPARE(CIntegration::NodesMatch(*f.nodes[b], *f.nodes[a]), match);
        // the index answers the same
        const CMatchIndex index(*dbt);
        QCOMPARE(index.FindMatches(*f.nodes[b]).contains(f.nodes[a]->GetId()), match);
        QCOMPARE(index.HasMatch(a), !index.FindMatches(*f.nodes[a]).isEmpty());
    }

    // Integration points are nodes some other tree's root matches; missing
    // preconditions are roots no node of another tree matches.
    void marks_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<QList<int>>("integrationPoints");
        QTest::addColumn<QList<int>>("missing");
        QTest::newRow("RBT copy matches a design node") << u"A.x(B.y),B.y(C.z)"_qs << QList<int>{1} << QList<int>{0};
        QTest::newRow("only one tree") << u"A.x(B.y(B.y))"_qs << QList<int>{} << QList<int>{0};
        QTest::newRow("reversion is no integration point")
            << u"A.x(B.y^),B.y(C.z)"_qs << QList<int>{} << QList<int>{0, 2};
        QTest::newRow("type differs") << u"A.x(B.y:2),B.y"_qs << QList<int>{} << QList<int>{0, 2};
        QTest::newRow("two equal roots") << u"A.x,A.x"_qs << QList<int>{0, 1} << QList<int>{};
        QTest::newRow("one node, two roots match it") << u"A.x(B.y),B.y,B.y"_qs << QList<int>{1, 2, 3} << QList<int>{0};
        QTest::newRow("chain of copies") << u"A.x(B.y),B.y(C.z),C.z(D.w),E.v"_qs << QList<int>{1, 3}
                                         << QList<int>{0, 6};
        QTest::newRow("empty tree") << QString() << QList<int>{} << QList<int>{};
    }

    void marks()
    {
        QFETCH(QString, forest);
        QFETCH(QList<int>, integrationPoints);
        QFETCH(QList<int>, missing);
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(forest, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        QCOMPARE(f.Places(CIntegration::MarkIntegrationPoints(*dbt, marks, true)), integrationPoints);
        for (int p : integrationPoints)
            QCOMPARE(marks.CodeOf(f.nodes[p]->GetId()), 1);
        QCOMPARE(f.Places(CIntegration::MarkMissingPreconditions(*dbt, marks, true)), missing);
        for (int p : missing)
            QCOMPARE(marks.CodeOf(f.nodes[p]->GetId()), 2);
        CIntegration::MarkIntegrationPoints(*dbt, marks, false);
        CIntegration::MarkMissingPreconditions(*dbt, marks, false);
        for (const CKELMethod *n : std::as_const(f.nodes))
            QCOMPARE(marks.CodeOf(n->GetId()), 0);
        QVERIFY(marks.integrationPointIds.isEmpty());
        QVERIFY(marks.missingPreconditionIds.isEmpty());
    }

    // Turning a mark off clears the highlights it set, not those another mark
    // applied later.
    void markOffClearsOnlyOwnHighlights()
    {
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(u"A.x(B.y),B.y"_qs, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        QCOMPARE(f.Places(CIntegration::MarkIntegrationPoints(*dbt, marks, true)), QList<int>{1});
        // the matches of node 1 are shown on top
        QCOMPARE(f.Places(CIntegration::MarkAllMatchingNodes(*dbt, marks, f.nodes[1]->GetId())), (QList<int>{1, 2}));
        QCOMPARE(marks.CodeOf(f.nodes[2]->GetId()), 3);
        CIntegration::MarkIntegrationPoints(*dbt, marks, false);
        // node 1 was an integration point, but the matches were shown last
        QCOMPARE(marks.CodeOf(f.nodes[1]->GetId()), 3);
        QCOMPARE(marks.CodeOf(f.nodes[2]->GetId()), 3);
    }

    // After an integration the matched node is no integration point any more;
    // marking again must not leave it highlighted for good.
    void remarkingDropsStaleMarks()
    {
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(u"A.x(B.y),B.y(C.z)"_qs, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        QCOMPARE(f.Places(CIntegration::MarkIntegrationPoints(*dbt, marks, true)), QList<int>{1});
        QVERIFY(CIntegration::IntegrateNextMatchingRBT(f.m, f.nodes[1]->GetId(), TestKit::EditKey()));
        QCOMPARE(CIntegration::MarkIntegrationPoints(*dbt, marks, true), QList<int>{});
        QCOMPARE(marks.CodeOf(f.nodes[1]->GetId()), 0);
    }

    void matchingNodesToggle_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("x");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("node between its matches") << u"B.y,A.x(B.y),B.y"_qs << 2 << QList<int>{0, 2, 3};
        QTest::newRow("first in element order") << u"B.y,B.y"_qs << 0 << QList<int>{0, 1};
        QTest::newRow("last in element order") << u"B.y,B.y"_qs << 1 << QList<int>{0, 1};
        QTest::newRow("no match shows nothing") << u"A.x(B.y)"_qs << 1 << QList<int>{};
        QTest::newRow("own tree left out") << u"B.y(B.y),B.y"_qs << 1 << QList<int>{1, 2};
    }

    void matchingNodesToggle()
    {
        QFETCH(QString, forest);
        QFETCH(int, x);
        QFETCH(QList<int>, shown);
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(forest, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        const int id = f.nodes[x]->GetId();
        QCOMPARE(f.Places(CIntegration::MarkAllMatchingNodes(*dbt, marks, id)), shown);
        for (qsizetype i = 0; i < f.nodes.size(); ++i)
            QCOMPARE(marks.CodeOf(f.nodes[i]->GetId()), shown.contains(int(i)) ? 3 : 0);
        // the second call hides them again
        QCOMPARE(CIntegration::MarkAllMatchingNodes(*dbt, marks, id), QList<int>{});
        for (const CKELMethod *n : std::as_const(f.nodes))
            QCOMPARE(marks.CodeOf(n->GetId()), 0);
        QVERIFY(marks.matchesShownIds.isEmpty());
    }

    // The RBT root goes; its children follow the match's own children, in order.
    void integrateNext_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("grafted");
        QTest::addColumn<QString>("after");
        QTest::newRow("children after existing children")
            << u"A.x(B.y(P.p)),B.y(C.z,D.w)"_qs << 1 << 3 << u"A.x(B.y(P.p,C.z,D.w))"_qs;
        QTest::newRow("first matching root in element order")
            << u"A.x(B.y),B.y(C.z),B.y(D.w)"_qs << 1 << 2 << u"A.x(B.y(C.z)),B.y(D.w)"_qs;
        QTest::newRow("root without children") << u"A.x(B.y),B.y"_qs << 1 << 2 << u"A.x(B.y)"_qs;
        QTest::newRow("onto another copy's root") << u"A.x,B.y(C.z),B.y(D.w)"_qs << 1 << 3 << u"A.x,B.y(C.z,D.w)"_qs;
        QTest::newRow("no matching root") << u"A.x(B.y),B.y:2(C.z)"_qs << 1 << -1 << u"A.x(B.y),B.y:2(C.z)"_qs;
        QTest::newRow("reversion never integrates") << u"A.x(B.y^),B.y(C.z)"_qs << 1 << -1 << u"A.x(B.y^),B.y(C.z)"_qs;
    }

    void integrateNext()
    {
        QFETCH(QString, forest);
        QFETCH(int, x);
        QFETCH(int, grafted);
        QFETCH(QString, after);
        CSketchSolution f;
        CKELTree *dbt = f.AddTree(forest, u"D"_qs, KEL::DBT);
        const int graftedId = grafted >= 0 ? f.nodes[grafted]->GetId() : 0;
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        QCOMPARE(CIntegration::IntegrateNextMatchingRBT(f.m, f.nodes[x]->GetId(), TestKit::EditKey()), graftedId);
        QCOMPARE(f.Print(*dbt), after);
        QCOMPARE(f.m.Solution()->IsModified(), grafted >= 0);
        if (graftedId)
            QVERIFY(!f.m.Lookup(graftedId));
    }

    void integrateThis_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("x");
        QTest::addColumn<QList<CPrompt::Answer>>("answers");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("after");
        const QString two = u"A.x(B.y,B.y),B.y(C.z)"_qs;
        QTest::newRow("single match") << u"A.x(B.y),B.y(C.z)"_qs << 2 << QList<CPrompt::Answer>{} << QStringList{} << 1
                                      << u"A.x(B.y(C.z))"_qs;
        QTest::newRow("not a root") << u"A.x(B.y),B.y(C.z)"_qs << 1 << QList<CPrompt::Answer>{}
                                    << QStringList{u"Not A Root Node"_qs} << 0 << u"A.x(B.y),B.y(C.z)"_qs;
        QTest::newRow("no match") << u"A.x(B.y),B.y:2(C.z)"_qs << 2 << QList<CPrompt::Answer>{}
                                  << QStringList{u"No matching node found"_qs} << 0 << u"A.x(B.y),B.y:2(C.z)"_qs;
        QTest::newRow("several matches, OK")
            << two << 3 << QList<CPrompt::Answer>{CPrompt::Yes}
            << QStringList{u"More than one match found.Integrate with first match?"_qs} << 1 << u"A.x(B.y(C.z),B.y)"_qs;
        QTest::newRow("several matches, Cancel")
            << two << 3 << QList<CPrompt::Answer>{CPrompt::No}
            << QStringList{u"More than one match found.Integrate with first match?"_qs} << 0 << two;
        QTest::newRow("match is another copy's node") << u"A.x,Q.q(B.y),B.y(C.z)"_qs << 3 << QList<CPrompt::Answer>{}
                                                      << QStringList{} << 1 << u"A.x,Q.q(B.y(C.z))"_qs;
    }

    void integrateThis()
    {
        QFETCH(QString, forest);
        QFETCH(int, x);
        QFETCH(QList<CPrompt::Answer>, answers);
        QFETCH(QStringList, texts);
        QFETCH(int, result);
        QFETCH(QString, after);
        CSketchSolution f;
        CKELTree *dbt = f.AddTree(forest, u"D"_qs, KEL::DBT);
        CScriptedPrompt prompt;
        prompt.answers = answers;
        int match = -1;
        QCOMPARE(CIntegration::IntegrateThisRBT(f.m, f.nodes[x]->GetId(), prompt, &match, TestKit::EditKey()), result);
        QCOMPARE(prompt.texts, texts);
        for (const QString &caption : std::as_const(prompt.captions))
            QCOMPARE(caption, u"Message"_qs);
        QCOMPARE(f.Print(*dbt), after);
        QCOMPARE(match != 0, result == 1);
    }

    // A graft that would put a node under itself, or graft a non-root, changes nothing.
    void graftRefusals_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("match");
        QTest::addColumn<int>("root");
        QTest::newRow("match inside root's tree") << u"B.y(C.z(B.y))"_qs << 2 << 0;
        QTest::newRow("match is the root") << u"B.y(C.z)"_qs << 0 << 0;
        QTest::newRow("root has a parent") << u"A.x(B.y),B.y(C.z)"_qs << 2 << 1;
        QTest::newRow("unknown node") << u"A.x"_qs << 0 << -1;
    }

    void graftRefusals()
    {
        QFETCH(QString, forest);
        QFETCH(int, match);
        QFETCH(int, root);
        CSketchSolution f;
        CKELTree *dbt = f.AddTree(forest, u"D"_qs, KEL::DBT);
        const QString before = f.Print(*dbt);
        const int rootId = root >= 0 ? f.nodes[root]->GetId() : 9999;
        QVERIFY(!CIntegration::GraftOnto(f.m, f.nodes[match]->GetId(), rootId, TestKit::EditKey()));
        QCOMPARE(f.Print(*dbt), before);
    }

    void copyRbtIsSeparateTree()
    {
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(u"A.x(B.y)"_qs, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        auto *rbt = static_cast<CKELRBT *>(f.AddTree(u"B.y(C.z,D.w)"_qs, u"R"_qs, KEL::RBT));
        const QHash<int, int> map = CIntegration::CopyRBT(f.m, *dbt, *rbt);
        QCOMPARE(map.size(), 3);
        QCOMPARE(f.Print(*dbt), u"A.x(B.y),B.y(C.z,D.w)"_qs);
        QCOMPARE(f.Print(*rbt), u"B.y(C.z,D.w)"_qs);
        QVERIFY(f.m.Solution()->IsModified());
        QCOMPARE(f.Places(CIntegration::MarkIntegrationPoints(*dbt, marks, true)), QList<int>{1});
    }

    // Deep trees go through matching and grafting without recursion.
    void deepChain()
    {
        const int depth = 100000;
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(u"A.x"_qs, u"D"_qs, KEL::DBT));
        CIntegrationMarks marks;
        CKELMethod *last = f.nodes.first();
        for (int i = 1; i < depth; ++i) {
            CKELMethod *n = TreeOps::NewNode(f.m, *dbt);
            n->component = u"C"_qs;
            n->behavior = QString::number(i % 7);
            TreeOps::Link(f.m, last, n);
            last = n;
        }
        last->behavior = u"leaf"_qs;
        f.Add(u"C.leaf(D.d)"_qs);
        QCOMPARE(CIntegration::MarkIntegrationPoints(*dbt, marks, true), QList<int>{last->GetId()});
        QCOMPARE(CIntegration::MarkMissingPreconditions(*dbt, marks, true), QList<int>{f.nodes.first()->GetId()});
        QVERIFY(CIntegration::IntegrateNextMatchingRBT(f.m, last->GetId(), TestKit::EditKey()));
        QCOMPARE(last->ChildIds().size(), 1);
        QCOMPARE(dbt->Roots().size(), 1);
    }

    void wideRoot()
    {
        const int width = 100000;
        CSketchSolution f;
        auto *dbt = static_cast<CKELDBT *>(f.AddTree(u"A.x(B.y(P.p)),B.y"_qs, u"D"_qs, KEL::DBT));
        CKELMethod *root = f.nodes.last();
        QList<int> kids;
        for (int i = 0; i < width; ++i) {
            CKELMethod *n = TreeOps::NewNode(f.m, *dbt);
            n->component = u"K"_qs;
            TreeOps::Link(f.m, root, n);
            kids.append(n->GetId());
        }
        QCOMPARE(CIntegration::IntegrateNextMatchingRBT(f.m, f.nodes[1]->GetId(), TestKit::EditKey()), root->GetId());
        const QList<int> &after = f.nodes[1]->ChildIds();
        QCOMPARE(after.size(), width + 1);
        QCOMPARE(after.first(), f.nodes[2]->GetId());
        QVERIFY(after.mid(1) == kids);
    }
};

QTEST_GUILESS_MAIN(TestIntegration)
#include "tst_integration.moc"
