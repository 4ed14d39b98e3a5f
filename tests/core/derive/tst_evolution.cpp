#include "derive/evolution.h"

#include "scriptedprompt.h"
#include "treesketch.h"

#include <QtTest>

namespace {

// One version per sketch, each with an RBT "Door"; versions "1.0", "2.0", ...
struct Versions
{
    CKELDataManager m;
    QList<int> ids;
    explicit Versions(const QStringList &sketches)
    {
        m.NewSolution();
        for (qsizetype i = 0; i < sketches.size(); ++i) {
            CKELVersion *v =
                TestKit::Mutable(i ? TreeSketch::AddVersion(m, u"%1.0"_qs.arg(i + 1)) : m.CurrentVersion());
            ids.append(TreeSketch::AddTree(m, sketches[i], u"Door"_qs, KEL::RBT, v)->GetId());
        }
    }
    CKELTree *tree(int i) { return TestKit::Mutable(m.LookupAs<CKELTree>(ids[i], KEL::RBT)); }
};

} // namespace

class TestEvolution : public QObject
{
    Q_OBJECT
private slots:
    // Only what a node means counts, not where it comes from or how it is shown.
    void nodesIdentical_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("identical");
        QTest::newRow("component differs") << u"component"_qs << u"B"_qs << false;
        QTest::newRow("component differs in case") << u"component"_qs << u"a"_qs << false;
        QTest::newRow("behavior differs") << u"behavior"_qs << u"b"_qs << false;
        QTest::newRow("type with other brackets") << u"type"_qs << u"4"_qs << false;
        QTest::newRow("other type, same bracketed text")
            << u"type"_qs << u"3"_qs << true; // "?x?" as a selection reads as "x" as an event
        QTest::newRow("reversion") << u"jump"_qs << u"1"_qs << false;
        QTest::newRow("qualifier") << u"qualifier"_qs << u"fast"_qs << false;
        QTest::newRow("atomic") << u"atomic"_qs << QString() << false;
        QTest::newRow("set operation") << u"setop"_qs << QString() << false;
        QTest::newRow("requirement tag ignored") << u"tag"_qs << u"R7"_qs << true;
        QTest::newRow("missing type ignored") << u"miss"_qs << u"2"_qs << true;
        QTest::newRow("double line and non-determinism ignored") << u"lines"_qs << QString() << true;
        QTest::newRow("extra information ignored") << u"extra"_qs << u"t,n"_qs << true;
    }

    void nodesIdentical()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, identical);
        Versions v({u"A.?x?:2,A.?x?:2"_qs});
        CKELMethod *a = v.tree(0)->Nodes()[0];
        CKELMethod *b = v.tree(0)->Nodes()[1];
        if (field == u"component")
            b->component = value;
        else if (field == u"behavior")
            b->behavior = value;
        else if (field == u"type")
            b->behaviorType = value.toInt(), b->behavior = u"x"_qs;
        else if (field == u"jump")
            b->jumpType = value.toInt();
        else if (field == u"qualifier")
            b->qualifier = value;
        else if (field == u"atomic")
            b->atomic = true;
        else if (field == u"setop")
            b->setOperation = true;
        else if (field == u"tag")
            b->requirementTag = value;
        else if (field == u"miss")
            b->missType = value.toInt();
        else if (field == u"lines")
            b->doubleLine = b->nonDeterministic = true;
        else if (field == u"extra")
            b->SetExtraInfo(value);
        QCOMPARE(Evolution::NodesIdentical(*a, *b), identical);
        QCOMPARE(Evolution::NodesIdentical(*b, *a), identical);
    }

    // Trees 1, 2, 3 chosen in this order: 3 is the last, 2 the one before it.
    void evolutionStatus_data()
    {
        QTest::addColumn<QList<int>>("trees");
        QTest::addColumn<int>("status");
        QTest::newRow("in all three") << QList<int>{1, 2, 3} << 0;
        QTest::newRow("only in the first: grey") << QList<int>{1} << -1;
        QTest::newRow("first and second: dropped") << QList<int>{1, 2} << -1;
        QTest::newRow("only in the last: bold") << QList<int>{3} << 1;
        QTest::newRow("first and last: bold, second lacks it") << QList<int>{1, 3} << 1;
        QTest::newRow("second and last: kept") << QList<int>{2, 3} << 0;
    }

    void evolutionStatus()
    {
        QFETCH(QList<int>, trees);
        QFETCH(int, status);
        QCOMPARE(Evolution::EvolutionStatus(trees, 3, 2), status);
    }

    void merge_data()
    {
        QTest::addColumn<QStringList>("versions");
        QTest::addColumn<QString>("merged");
        QTest::newRow("two identical trees are all kept")
            << QStringList{u"A.a(B.b(C.c),D.d:3^)"_qs, u"A.a(B.b(C.c),D.d:3^)"_qs}
            << u"A.a{0|1,2}(B.b{0|1,2}(C.c{0|1,2}),D.d:3^{0|1,2})"_qs;
        QTest::newRow("statuses over three versions")
            << QStringList{u"D.d(X.x,Y.y,Z.z)"_qs, u"D.d(Y.y,Z.z)"_qs, u"D.d(X.x,Z.z,W.w)"_qs}
            << u"D.d{0|1,2,3}(X.x{1|1,3},Y.y{-1|1,2},Z.z{0|1,2,3},W.w{1|3})"_qs;
        QTest::newRow("identical children matched in order")
            << QStringList{u"P.p(X.x(A.a),X.x(B.b))"_qs, u"P.p(X.x(B.b),X.x(A.a))"_qs}
            << u"P.p{0|1,2}(X.x{0|1,2}(A.a{-1|1},B.b{1|2}),X.x{0|1,2}(B.b{-1|1},A.a{1|2}))"_qs;
        QTest::newRow("later-only children follow in version order")
            << QStringList{u"R.r(A.a)"_qs, u"R.r(B.b,A.a)"_qs, u"R.r(C.c,B.b)"_qs}
            << u"R.r{0|1,2,3}(A.a{-1|1,2},B.b{0|2,3},C.c{1|3})"_qs;
        QTest::newRow("type and flow control tell nodes apart")
            << QStringList{u"R.r(A.a,A.a^)"_qs, u"R.r(A.a:2,A.a=)"_qs}
            << u"R.r{0|1,2}(A.a{-1|1},A.a^{-1|1},A.a:2{1|2},A.a={1|2})"_qs;
        QTest::newRow("requirement tags do not")
            << QStringList{u"R.r@R1(A.a@R1)"_qs, u"R.r@R2(A.a@R2)"_qs} << u"R.r{0|1,2}(A.a{0|1,2})"_qs;
        QTest::newRow("children match only under matched parents")
            << QStringList{u"R.r(A.a(X.x(Y.y)))"_qs, u"R.r(B.b(X.x))"_qs}
            << u"R.r{0|1,2}(A.a{-1|1}(X.x{-1|1}(Y.y{-1|1})),B.b{1|2}(X.x{1|2}))"_qs;
        QTest::newRow("second roots are not merged")
            << QStringList{u"R.r(A.a),S.s"_qs, u"R.r,T.t"_qs} << u"R.r{0|1,2}(A.a{-1|1})"_qs;
        // more equal children than a short scan handles, told apart by their own
        QStringList first, second, merged;
        for (int i = 1; i <= 10; ++i) {
            first.append(u"X.x(C.c%1)"_qs.arg(i));
            second.prepend(u"X.x(C.c%1)"_qs.arg(i));
            merged.append(u"X.x{0|1,2}(C.c%1{-1|1},C.c%2{1|2})"_qs.arg(i).arg(11 - i));
        }
        QTest::newRow("wide node matched in order")
            << QStringList{u"R.r("_qs + first.join(u',') + u",Y.y)"_qs, u"R.r(Y.y,"_qs + second.join(u',') + u')'}
            << u"R.r{0|1,2}("_qs + merged.join(u',') + u",Y.y{0|1,2})"_qs;
    }

    void merge()
    {
        QFETCH(QStringList, versions);
        QFETCH(QString, merged);
        Versions v(versions);
        CScriptedPrompt prompt;
        bool built = false;
        CKELEVT *evt = Evolution::CreateEvolutionTree(v.m, v.ids, prompt, TestKit::EditKey(), &built);
        QVERIFY(evt && built);
        QCOMPARE(prompt.texts, QStringList());
        QCOMPARE(TreeSketch::Outline(v.m, *evt, v.ids), merged);
    }

    // The roots must agree before anything is merged; the evolution tree is
    // created but stays empty when they do not.
    void rootCheck_data()
    {
        QTest::addColumn<QStringList>("versions");
        QTest::addColumn<QString>("secondQualifier");
        QTest::addColumn<int>("evtNodes"); // -1: refused
        QTest::newRow("roots differ in component") << QStringList{u"A.a(B.b)"_qs, u"C.a(B.b)"_qs} << QString() << -1;
        QTest::newRow("third root differs") << QStringList{u"A.a"_qs, u"A.a"_qs, u"A.b"_qs} << QString() << -1;
        QTest::newRow("roots differ in qualifier") << QStringList{u"A.a"_qs, u"A.a"_qs} << u"fast"_qs << -1;
        QTest::newRow("roots differ in tag only")
            << QStringList{u"A.a@R1(B.b)"_qs, u"A.a@R2(B.b)"_qs} << QString() << 2;
        QTest::newRow("second tree empty") << QStringList{u"A.a"_qs, QString()} << QString() << -1;
        QTest::newRow("first tree empty") << QStringList{QString(), u"A.a"_qs} << QString() << -1;
        QTest::newRow("all trees empty") << QStringList{QString(), QString()} << QString() << 0;
    }

    void rootCheck()
    {
        QFETCH(QStringList, versions);
        QFETCH(QString, secondQualifier);
        QFETCH(int, evtNodes);
        Versions v(versions);
        if (!secondQualifier.isEmpty())
            TestKit::Mutable(Evolution::FirstRoot(*v.tree(1)))->qualifier = secondQualifier;
        CScriptedPrompt prompt;
        bool built = evtNodes < 0;
        CKELEVT *evt = Evolution::CreateEvolutionTree(v.m, v.ids, prompt, TestKit::EditKey(), &built);
        QVERIFY(evt);
        QCOMPARE(evt->GetParent(), v.m.Solution()->EvtFolder());
        QCOMPARE(built, evtNodes >= 0);
        QCOMPARE(evt->Nodes().size(), std::max(evtNodes, 0));
        QCOMPARE(prompt.texts, built ? QStringList()
                                     : QStringList{u"Not all the root nodes are identical, so can't generate the "
                                                   u"evolution tree!"_qs});
        QCOMPARE(prompt.captions, built ? QStringList() : QStringList{u"Error"_qs});
    }

    void refusedBeforeCreation_data()
    {
        QTest::addColumn<QList<int>>("ids");  // -1: the first tree, -2: a folder, 9999: no element
        QTest::addColumn<QString>("message"); // %1: the id at place 0 or 1 that is no tree
        QTest::addColumn<int>("culprit");
        const QString needTwo = u"Need to select at least two behavior trees, to create a evolution tree."_qs;
        const QString missing = u"There is no behavior tree with id %1, so can't generate the evolution tree!"_qs;
        QTest::newRow("no trees") << QList<int>{} << needTwo << 0;
        QTest::newRow("one tree") << QList<int>{-1} << needTwo << 0;
        QTest::newRow("unknown id") << QList<int>{-1, 9999} << missing << 1;
        QTest::newRow("element that is no tree") << QList<int>{-2, -1} << missing << 0;
    }

    void refusedBeforeCreation()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QString, message);
        QFETCH(int, culprit);
        Versions v({u"A.a"_qs, u"A.a"_qs});
        for (int &id : ids)
            id = id == -1 ? v.ids[0] : id == -2 ? v.m.CurrentVersion()->RBTFolder()->GetId() : id;
        const int maxcount = v.m.MaxCount();
        CScriptedPrompt prompt;
        QCOMPARE(Evolution::CreateEvolutionTree(v.m, ids, prompt, TestKit::EditKey()), nullptr);
        QCOMPARE(prompt.texts, QStringList{message.contains(u"%1") ? message.arg(ids[culprit]) : message});
        QCOMPARE(prompt.captions, QStringList{u"Message"_qs});
        QCOMPARE(v.m.MaxCount(), maxcount);
        QCOMPARE(v.m.Solution()->EvtFolder()->ChildCount(), 0);
    }

    void mergedNodeCopiesFirstOfGroup()
    {
        Versions v({u"R.r@R1(A.a@R1)"_qs, u"R.r@R2(A.a@R2,B.b@R2)"_qs, u"R.r@R3(B.b@R3)"_qs});
        CKELMethod *a = v.tree(0)->Nodes()[1];
        a->x = 120, a->y = 240, a->w = 210, a->h = 60, a->missType = 2, a->doubleLine = true;
        a->extendedTag = u"E1"_qs, a->hasExtendedTag = true;
        a->SetExtraInfo(u"t1,n1,t2,n2"_qs);
        CScriptedPrompt prompt;
        CKELEVT *evt = Evolution::CreateEvolutionTree(v.m, v.ids, prompt, TestKit::EditKey());
        QVERIFY(evt);
        QCOMPARE(evt->SourceTrees(), v.ids);
        QCOMPARE(Evolution::LastTreeId(*evt), v.ids[2]);
        QCOMPARE(Evolution::PreviousTreeId(*evt), v.ids[1]);
        QCOMPARE(evt->GetName(), u"1.0->Door, 2.0->Door, 3.0->Door"_qs);
        QVERIFY(v.m.Solution()->IsModified());
        const QList<CKELMethod *> nodes = evt->Nodes();
        QCOMPARE(nodes.size(), 3);
        const CKELMethod *ma = nodes[1];
        QVERIFY(ma->GetId() != a->GetId());
        QCOMPARE(ma->ParentId(), nodes[0]->GetId());
        QCOMPARE(QList<int>({ma->x, ma->y, ma->w, ma->h, ma->missType}), QList<int>({120, 240, 210, 60, 2}));
        QCOMPARE(ma->requirementTag + ma->extendedTag + ma->extraInfoNames.join(u','), u"R1E1n1,n2"_qs);
        QVERIFY(ma->doubleLine);
        QCOMPARE(nodes[2]->requirementTag, u"R2"_qs);            // B is first seen in the second version
        QCOMPARE(a->ParentId(), v.tree(0)->Nodes()[0]->GetId()); // sources keep their links
    }

    void deepChain()
    {
        // three chains 100 000 deep that part ways ten nodes above the bottom
        const int depth = 100000;
        CKELDataManager m;
        m.NewSolution();
        QList<int> ids;
        for (int version = 0; version < 3; ++version) {
            CKELVersion *v =
                TestKit::Mutable(version ? TreeSketch::AddVersion(m, QString::number(version)) : m.CurrentVersion());
            CKELTree *t = TreeSketch::AddTree(m, QString(), u"Chain"_qs, KEL::RBT, v);
            CKELMethod *parent = nullptr;
            for (int i = 0; i < depth; ++i) {
                const QString label = i < depth - 10 ? u"C%1.b%2"_qs.arg(i % 7).arg(i % 5) : u"V.v%1"_qs.arg(version);
                parent = TreeSketch::AddNode(m, *t, parent, label);
            }
            ids.append(t->GetId());
        }
        CScriptedPrompt prompt;
        bool built = false;
        CKELEVT *evt = Evolution::CreateEvolutionTree(m, ids, prompt, TestKit::EditKey(), &built);
        QVERIFY(built);
        const QList<CKELMethod *> nodes = evt->Nodes();
        QCOMPARE(nodes.size(), depth - 10 + 3 * 10);
        QCOMPARE(nodes[depth - 11]->GetEvStyle(), 0);
        QCOMPARE(nodes[depth - 10]->EvTags(), QList<int>{ids[0]});
        QCOMPARE(nodes[depth - 10]->GetEvStyle(), -1);
        QCOMPARE(nodes.last()->EvTags(), QList<int>{ids[2]});
        QCOMPARE(nodes.last()->GetEvStyle(), 1);
    }

    void wideNode()
    {
        // 100 000 children of a dozen kinds, reversed in the second version
        const int width = 100000;
        CKELDataManager m;
        m.NewSolution();
        QList<int> ids;
        for (int version = 0; version < 2; ++version) {
            CKELVersion *v = TestKit::Mutable(version ? TreeSketch::AddVersion(m, u"2.0"_qs) : m.CurrentVersion());
            CKELTree *t = TreeSketch::AddTree(m, u"R.r"_qs, u"Wide"_qs, KEL::RBT, v);
            CKELMethod *root = TestKit::Mutable(Evolution::FirstRoot(*t));
            for (int i = 0; i < width; ++i)
                TreeSketch::AddNode(m, *t, root, u"C%1.b"_qs.arg((version ? width - 1 - i : i) % 12));
            TreeSketch::AddNode(m, *t, root, u"Only.v%1"_qs.arg(version));
            ids.append(t->GetId());
        }
        CScriptedPrompt prompt;
        CKELEVT *evt = Evolution::CreateEvolutionTree(m, ids, prompt, TestKit::EditKey());
        QVERIFY(evt);
        const QList<int> &kids = Evolution::FirstRoot(*evt)->ChildIds();
        QCOMPARE(kids.size(), width + 2);
        QList<int> statuses;
        for (int id : kids)
            statuses.append(m.LookupAs<CKELMethod>(id, KEL::Method)->GetEvStyle());
        QCOMPARE(statuses.count(0), width);
        QCOMPARE(statuses.mid(width), QList<int>({-1, 1}));
    }
};

QTEST_APPLESS_MAIN(TestEvolution)
#include "tst_evolution.moc"
