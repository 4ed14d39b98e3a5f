#include "derive/cbt.h"
#include "derive/evolution.h"

#include "scriptedprompt.h"
#include "treesketch.h"

#include <QtTest>

// the derivations start from a design tree
struct Source : CSketchSolution
{
    explicit Source(const QString &sketch) : CSketchSolution(sketch, u"Design"_qs, KEL::DBT) {}
};

class TestCbt : public QObject
{
    Q_OBJECT
private slots:
    void componentList_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("lateParent"); // a node made last goes under this node; -1: none
        QTest::addColumn<QStringList>("components");
        QTest::newRow("pre-order, first appearance")
            << u"A.a(B.b(C.c,A.x),D.d(B.y))"_qs << -1 << QStringList{u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs};
        QTest::newRow("child order, not creation order")
            << u"A.a(B.b,C.c)"_qs << 1 << QStringList{u"A"_qs, u"B"_qs, u"Late"_qs, u"C"_qs};
        QTest::newRow("letter case makes a new name")
            << u"Door.a(door.b,Door.c)"_qs << -1 << QStringList{u"Door"_qs, u"door"_qs};
        QTest::newRow("only the first root counts") << u"A.a(B.b),C.c"_qs << -1 << QStringList{u"A"_qs, u"B"_qs};
        QTest::newRow("empty tree") << QString() << -1 << QStringList{};
    }

    void componentList()
    {
        QFETCH(QString, sketch);
        QFETCH(int, lateParent);
        QFETCH(QStringList, components);
        Source s(sketch);
        if (lateParent >= 0)
            TreeSketch::AddNode(s.m, *s.tree, s.tree->Nodes()[lateParent], u"Late.l"_qs);
        QCOMPARE(Cbt::ComponentList(*s.tree), components);
    }

    // A node goes under the projection of its nearest ancestor of the same
    // component, or under INIT; INIT is shown unless it has exactly one child.
    void projection_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("cbt");
        QTest::addColumn<bool>("initShown");
        QTest::newRow("once: INIT hidden") << u"A.a(B.b(C.c))"_qs << u"B"_qs << u"B.INIT(B.b)"_qs << false;
        QTest::newRow("two branches under INIT")
            << u"A.a(B.b(L.on),C.c(L.off))"_qs << u"L"_qs << u"L.INIT(L.on,L.off)"_qs << true;
        QTest::newRow("nested through other components") << u"D.closed(U.push:3(D.open(L.on(D.closed^))))"_qs << u"D"_qs
                                                         << u"D.INIT(D.closed(D.open(D.closed^)))"_qs << false;
        QTest::newRow("siblings keep pre-order")
            << u"A.r(B.x(A.1(B.y(A.2))),A.3)"_qs << u"A"_qs << u"A.INIT(A.r(A.1(A.2),A.3))"_qs << false;
        QTest::newRow("go to and behavior type kept")
            << u"B.a(A.b:3(B.c=))"_qs << u"B"_qs << u"B.INIT(B.a(B.c=))"_qs << false;
        QTest::newRow("letter case differs")
            << u"Door.a(door.b:4(Door.c))"_qs << u"door"_qs << u"door.INIT(door.b:4)"_qs << false;
        QTest::newRow("component absent: INIT alone") << u"A.a(B.b)"_qs << u"C"_qs << u"C.INIT"_qs << true;
        QTest::newRow("empty tree") << QString() << u"A"_qs << u"A.INIT"_qs << true;
        QTest::newRow("second root left out") << u"A.a(B.b),B.c"_qs << u"B"_qs << u"B.INIT(B.b)"_qs << false;
    }

    void projection()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, component);
        QFETCH(QString, cbt);
        QFETCH(bool, initShown);
        Source s(sketch);
        CScriptedPrompt prompt;
        CKELCBT *made = Cbt::CreateCbt(s.m, *s.tree, component, prompt);
        QVERIFY(made);
        QCOMPARE(prompt.texts, QStringList());
        QCOMPARE(TreeSketch::Outline(s.m, *made), cbt);
        QCOMPARE(Cbt::InitShown(*made), initShown);
        QCOMPARE(Cbt::SourceTree(*made), s.tree);
        QCOMPARE(Cbt::FindCbt(*s.tree, component), made);
    }

    // Only component, behavior, its type and the flow control come over.
    void carriesOnlyBehavior()
    {
        Source s(u"A.a(B.b:4^@R2)"_qs);
        CKELMethod *b = s.tree->Nodes()[1];
        b->qualifier = u"fast"_qs;
        b->missType = 2;
        b->doubleLine = b->nonDeterministic = b->atomic = b->setOperation = b->hasExtendedTag = true;
        b->extendedTag = u"E"_qs;
        b->SetExtraInfo(u"t,n"_qs);
        b->x = 300;
        CScriptedPrompt prompt;
        CKELCBT *cbt = Cbt::CreateCbt(s.m, *s.tree, u"B"_qs, prompt);
        QVERIFY(cbt);
        const CKELMethod *p = cbt->Nodes()[1];
        QCOMPARE(p->ParentId(), Cbt::InitNode(*cbt)->GetId());
        QCOMPARE(p->component + p->GetDecoratedBehavior() + QString::number(p->jumpType), u"B???b???1"_qs);
        QCOMPARE(p->requirementTag + p->qualifier + p->extendedTag, QString());
        QCOMPARE(p->missType + p->x + p->extraInfoTags.size(), 0);
        QVERIFY(!p->doubleLine && !p->nonDeterministic && !p->atomic && !p->setOperation && !p->hasExtendedTag);
        QVERIFY(!p->IsEvolution());
    }

    // A CBT of an evolution tree shows which nodes were dropped and added.
    void evolutionMarks()
    {
        CKELDataManager m;
        m.NewSolution();
        const int first = TreeSketch::AddTree(m, u"D.c(U.p(D.o),D.x)"_qs, u"Door"_qs)->GetId();
        CKELVersion *v2 = TreeSketch::AddVersion(m, u"2.0"_qs);
        const int second = TreeSketch::AddTree(m, u"D.c(U.p(D.o,D.n))"_qs, u"Door"_qs, KEL::RBT, v2)->GetId();
        CScriptedPrompt prompt;
        CKELEVT *evt = Evolution::CreateEvolutionTree(m, {first, second}, prompt, TestKit::EditKey());
        QVERIFY(evt);
        CKELCBT *cbt = Cbt::CreateCbt(m, *evt, u"D"_qs, prompt);
        QVERIFY(cbt);
        QCOMPARE(TreeSketch::Outline(m, *cbt, {first, second}),
                 u"D.INIT(D.c{0|1,2}(D.o{0|1,2},D.n{1|2},D.x{-1|1}))"_qs);
    }

    void alreadyAdded_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same component twice") << u"Door"_qs << true;
        QTest::newRow("names differ in case") << u"door"_qs << false;
        QTest::newRow("other component") << u"User"_qs << false;
    }

    void alreadyAdded()
    {
        QFETCH(QString, second);
        QFETCH(bool, refused);
        Source s(u"Door.c(User.p(door.o))"_qs);
        CScriptedPrompt prompt;
        CKELCBT *one = Cbt::CreateCbt(s.m, *s.tree, u"Door"_qs, prompt);
        QVERIFY(one);
        const int maxcount = s.m.MaxCount();
        CKELCBT *two = Cbt::CreateCbt(s.m, *s.tree, second, prompt);
        QCOMPARE(two == nullptr, refused);
        QCOMPARE(one->GetParent()->GetType(), u"CBTs"_qs);
        QCOMPARE(one->GetParent()->ChildCount(), refused ? 1 : 2); // one folder for all of them
        QCOMPARE(prompt.texts,
                 refused ? QStringList{u"CBT with name Door is already added in the DBT"_qs} : QStringList());
        QCOMPARE(prompt.captions, refused ? QStringList{u"Message"_qs} : QStringList());
        if (refused)
            QCOMPARE(s.m.MaxCount(), maxcount);
    }

    // Derived trees exist only while the solution is open.
    void neverWritten()
    {
        Source s(u"A.a(B.b(A.c))"_qs);
        const QString before = s.m.BuildSolutionText();
        CScriptedPrompt prompt;
        QVERIFY(Cbt::CreateCbt(s.m, *s.tree, u"A"_qs, prompt));
        QVERIFY(Cbt::CreateCbt(s.m, *s.tree, u"B"_qs, prompt));
        QVERIFY(!s.m.Solution()->IsModified());
        // the header counts the new elements; every record reads as before
        QCOMPARE(s.m.BuildSolutionText().split(u'\n').mid(1), before.split(u'\n').mid(1));
    }

    void deepAndWide_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::newRow("chain 100 000 deep") << true;
        QTest::newRow("100 000 children") << false;
    }

    void deepAndWide()
    {
        // the component is every third node, under the one before or under the root
        QFETCH(bool, chain);
        const int count = 100000;
        Source s(u"R.r"_qs);
        CKELMethod *parent = s.tree->Nodes().first();
        for (int i = 0; i < count; ++i) {
            CKELMethod *n =
                TreeSketch::AddNode(s.m, *s.tree, parent, u"%1.%2"_qs.arg(QChar(i % 3 ? u'B' : u'A')).arg(i));
            parent = chain ? n : parent;
        }
        CScriptedPrompt prompt;
        CKELCBT *cbt = Cbt::CreateCbt(s.m, *s.tree, u"A"_qs, prompt);
        QVERIFY(cbt);
        const QList<CKELMethod *> nodes = cbt->Nodes();
        QCOMPARE(nodes.size(), 1 + (count + 2) / 3);
        QCOMPARE(Cbt::InitShown(*cbt), !chain);
        QCOMPARE(Cbt::InitNode(*cbt)->ChildIds().size(), chain ? 1 : (count + 2) / 3);
        for (qsizetype i = 1; i < nodes.size(); ++i) {
            QCOMPARE(nodes[i]->behavior, QString::number(3 * (i - 1)));
            QCOMPARE(nodes[i]->ParentId(), nodes[chain ? i - 1 : 0]->GetId());
        }
    }
};

QTEST_APPLESS_MAIN(TestCbt)
#include "tst_cbt.moc"
