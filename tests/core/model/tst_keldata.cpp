#include "model/explorerlisting.h"
#include "model/idtable.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "testkit.h"

#include <QtTest>

#include <map>

namespace {

template<class T> T *addTo(CKELDataManager &m, const CKELData *owner, int code)
{
    std::unique_ptr<CKELData> e = m.CreateElement(code);
    m.RegisterElement(e.get());
    T *t = static_cast<T *>(e.get());
    TestKit::Mutable(owner)->AddChild(e);
    return t;
}

CKELRequirement *addRequirement(CKELDataManager &m, const QString &tag)
{
    auto *r = addTo<CKELRequirement>(m, m.CurrentVersion()->RequirementsFolder(), KEL::Requirement);
    r->SetName(tag);
    return r;
}

CKELState *addState(CKELDataManager &m, const QString &component, const QString &behavior, int type)
{
    CKELComponents *folder = TestKit::Mutable(m.CurrentVersion()->ComponentsFolder());
    CKELComponent *c = nullptr;
    for (const auto &e : folder->Children()) {
        if (e->GetName() == component)
            c = TestKit::Mutable(static_cast<const CKELComponent *>(e.get()));
    }
    if (!c) {
        c = addTo<CKELComponent>(m, folder, KEL::Component);
        c->SetName(component);
    }
    auto *s = addTo<CKELState>(m, c, KEL::State);
    s->SetBehavior(behavior, type);
    return s;
}

} // namespace

class TestKelData : public QObject
{
    Q_OBJECT
private slots:
    void factory_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<int>("factoryCode");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("image");
        QTest::addColumn<bool>("persistent");
        QTest::newRow("Solution") << u"Solution"_qs << 1 << 1 << 0 << true;
        QTest::newRow("Project") << u"Project"_qs << 2 << 2 << 1 << true;
        QTest::newRow("Version") << u"Version"_qs << 3 << 3 << 2 << true;
        QTest::newRow("Requirements") << u"Requirements"_qs << 4 << 4 << 3 << true;
        QTest::newRow("Requirement") << u"Requirement"_qs << 5 << 5 << 4 << true;
        QTest::newRow("Components") << u"Components"_qs << 6 << 6 << 5 << true;
        QTest::newRow("Component") << u"Component"_qs << 7 << 7 << 6 << true;
        QTest::newRow("State") << u"State"_qs << 8 << 8 << 7 << true;
        QTest::newRow("RBTs") << u"RBTs"_qs << 9 << 9 << 8 << true;
        QTest::newRow("RBT") << u"RBT"_qs << 10 << 10 << 9 << true;
        QTest::newRow("IBTs") << u"IBTs"_qs << 11 << 11 << 10 << true;
        QTest::newRow("DBTs alias") << u"DBTs"_qs << 11 << 11 << 10 << true;
        QTest::newRow("DBT") << u"DBT"_qs << 12 << 12 << 11 << true;
        QTest::newRow("IBT alias") << u"IBT"_qs << 12 << 12 << 11 << true;
        QTest::newRow("Method reports 13, made under 14") << u"Method"_qs << 14 << 13 << 12 << true;
        QTest::newRow("Methods makes nothing") << u"Methods"_qs << 13 << 0 << 0 << false;
        QTest::newRow("CBT") << u"CBT"_qs << 16 << 16 << 17 << false;
        QTest::newRow("EVTs") << u"EVTs"_qs << 20 << 20 << 21 << true;
        QTest::newRow("EVT") << u"EVT"_qs << 21 << 21 << 22 << true;
        QTest::newRow("Link") << u"Link"_qs << 100 << 100 << 0 << true;
        QTest::newRow("CBTs not read") << u"CBTs"_qs << 0 << 0 << 0 << false;
        QTest::newRow("CIN not read") << u"CIN"_qs << 0 << 0 << 0 << false;
        QTest::newRow("CID not read") << u"CID"_qs << 0 << 0 << 0 << false;
        QTest::newRow("wrong case") << u"method"_qs << 0 << 0 << 0 << false;
    }

    void factory()
    {
        QFETCH(QString, typeName);
        QFETCH(int, factoryCode);
        QFETCH(int, typeCode);
        QFETCH(int, image);
        QFETCH(bool, persistent);
        QCOMPARE(KEL::FactoryCodeForTypeName(QStringView(typeName)), factoryCode);
        QCOMPARE(KEL::FactoryCodeForTypeName(QByteArrayView(typeName.toLatin1())), factoryCode);
        CKELDataManager m;
        std::unique_ptr<CKELData> e = m.CreateElement(factoryCode);
        QCOMPARE(e != nullptr, typeCode != 0);
        if (!e)
            return;
        QCOMPARE(e->GetTypeCode(), typeCode);
        QCOMPARE(e->GetImageIndex(), image);
        QCOMPARE(e->IsPersistent(), persistent);
        // aliases are read, but every kind writes one name
        QCOMPARE(KEL::FactoryCodeForTypeName(QStringView(e->GetType())), factoryCode);
    }

    void solutionLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("shared");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("label");
        QTest::newRow("untitled") << QString() << QString() << false << false << u"Solution: Untitled"_qs;
        QTest::newRow("name wins") << u"Oven"_qs << u"/x/y.kvf"_qs << false << false << u"Solution: Oven"_qs;
        QTest::newRow("file name") << QString() << u"/home/u/door.v2.kvf"_qs << false << false << u"Solution: door"_qs;
        QTest::newRow("windows path") << QString() << u"C:\\sets\\lift.kvf"_qs << false << false
                                      << u"Solution: lift"_qs;
        QTest::newRow("leading dot kept")
            << QString() << u"/h/.hidden.kvf"_qs << false << false << u"Solution: .hidden.kvf"_qs;
        QTest::newRow("shared and modified") << u"S"_qs << QString() << true << true << u"Solution: S -M-*"_qs;
    }

    void solutionLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(bool, shared);
        QFETCH(bool, modified);
        QFETCH(QString, label);
        CKELDataManager m;
        m.NewSolution();
        TestKit::Mutable(m.Solution())->SetName(name);
        m.SetSolutionPath(path);
        m.SetLocal(!shared);
        TestKit::Mutable(m.Solution())->SetModified(modified);
        QCOMPARE(m.Solution()->GetLabel(), label);
        QCOMPARE(m.Solution()->IsPristine(), !modified);
    }

    void labels()
    {
        CKELDataManager m;
        m.NewSolution();
        TestKit::Mutable(m.Solution())->Project()->SetName(u"Lift"_qs);
        QCOMPARE(m.Solution()->Project()->GetLabel(), u"System:Lift"_qs);
        QCOMPARE(m.CurrentVersion()->GetLabel(), u"Version: 1.0*"_qs);
        std::unique_ptr<CKELVersion> other = m.CreateVersion(u"2.0"_qs);
        QCOMPARE(other->GetLabel(), u"Version: 2.0"_qs);
        QCOMPARE(m.CurrentVersion()->RBTFolder()->GetLabel(), u"RBTs"_qs);
        QCOMPARE(m.CurrentVersion()->DBTFolder()->GetLabel(), u"IBTs"_qs);

        CKELRequirement *r1 = addRequirement(m, u"R1"_qs);
        CKELRequirement *r2 = addRequirement(m, u"R2"_qs);
        auto *tree = addTo<CKELRBT>(m, m.CurrentVersion()->RBTFolder(), KEL::RBT);
        tree->SetName(u"Doors"_qs);
        QCOMPARE(tree->GetLabel(), u"Doors"_qs);
        tree->SetAssociatedRequirements({r1->GetId(), r2->GetId()});
        QCOMPARE(tree->GetLabel(), u"Doors {R1,R2}"_qs);

        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->requirementTag = u"R2"_qs;
        n->component = u"Door"_qs;
        n->behavior = u"open"_qs;
        n->behaviorType = KEL::Event;
        QCOMPARE(n->GetLabel(), u"R2:-Door??open??"_qs);

        CKELState *s = addState(m, u"Door"_qs, u"open"_qs, KEL::StateRealisation);
        QCOMPARE(s->GetName(), u"[open]"_qs);
        QCOMPARE(s->GetLabelFor(nullptr), u"Door [open]"_qs);
    }

    void stateLabelShowsFiveTags()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELState *s = addState(m, u"Door"_qs, u"open"_qs, KEL::Selection);
        QCOMPARE(s->GetLabel(), u"?open?"_qs);
        for (int i = 1; i <= 7; ++i)
            addRequirement(m, u"R%1"_qs.arg(i))->AddVirtualChild(s);
        QCOMPARE(s->GetLabel(), u"?open? {R1,R2,R3,R4,R5}"_qs);
    }

    void deletingCleansCrossReferences()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELState *s = addState(m, u"Door"_qs, u"open"_qs, 1);
        CKELRequirement *r1 = addRequirement(m, u"R1"_qs);
        CKELRequirement *r2 = addRequirement(m, u"R2"_qs);
        r1->AddVirtualChild(s);
        r2->AddVirtualChild(s);
        QCOMPARE(s->GetLabel(), u"[open] {R1,R2}"_qs);

        const int r1Id = r1->GetId();
        CKELData::Destroy(r1->GetParent()->TakeChild(r1));
        QVERIFY(!m.Lookup(r1Id));
        QCOMPARE(s->VParentIds(), QList<int>{r2->GetId()});
        QCOMPARE(s->GetLabel(), u"[open] {R2}"_qs);

        // and the other way: a deleted state leaves no id behind under its requirement
        CKELData::Destroy(s->GetParent()->TakeChild(s));
        QVERIFY(r2->VChildIds().isEmpty());
    }

    void deletingSubtreeUnregisters()
    {
        CKELDataManager m;
        m.NewSolution();
        auto *tree = addTo<CKELRBT>(m, m.CurrentVersion()->RBTFolder(), KEL::RBT);
        for (int i = 0; i < 10; ++i)
            TreeOps::NewNode(m, *tree);
        QCOMPARE(m.Count(), 19);
        CKELData::Destroy(tree->GetParent()->TakeChild(tree));
        QCOMPARE(m.Count(), 8);
        QCOMPARE(m.IdMap().size(), 8);
        QCOMPARE(m.MaxCount(), 19); // ids are never reused
    }

    void successor()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELRequirement *r = addRequirement(m, u"R1"_qs);
        std::unique_ptr<CKELData> copy = r->CreateSuccessor();
        QVERIFY(copy);
        QCOMPARE(copy->GetTypeCode(), KEL::Requirement);
        QCOMPARE(r->SuccessorId(), copy->GetId());
        QCOMPARE(copy->PredecessorId(), r->GetId());
        QCOMPARE(m.Lookup(copy->GetId()), copy.get());
        copy.reset();
        QVERIFY(!m.Lookup(r->SuccessorId()));
    }

    void twoManagersSideBySide()
    {
        CKELDataManager a;
        CKELDataManager b;
        a.NewSolution();
        b.NewSolution();
        CKELRequirement *ra = addRequirement(a, u"R1"_qs);
        CKELRequirement *rb = addRequirement(b, u"R1"_qs);
        QCOMPARE(ra->GetId(), rb->GetId());
        QCOMPARE(a.Lookup(ra->GetId()), ra);
        QCOMPARE(b.Lookup(rb->GetId()), rb);
        a.CloseSolution();
        QCOMPARE(b.Lookup(rb->GetId()), rb);
        QCOMPARE(b.IdMap().size(), 9);
    }

    void idTable_data()
    {
        QTest::addColumn<QList<int>>("inserts"); // a repeated id replaces the element before
        QTest::addColumn<QList<int>>("removes");
        QTest::addColumn<QList<int>>("probes"); // ids never entered
        QTest::newRow("edges of the first room")
            << QList<int>{1, 63, 64, 65, 127, 128, 129} << QList<int>{64} << QList<int>{0, 62, 66, 130, 256};
        QTest::newRow("id above the largest seen")
            << QList<int>{1, 2, 3} << QList<int>{} << QList<int>{4, 1000, KEL::MaxElementId, -1};
        QTest::newRow("removal then lookup")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << QList<int>{10, 1, 5} << QList<int>{11};
        QTest::newRow("replaced id counts once") << QList<int>{7, 7, 8} << QList<int>{} << QList<int>{6, 9};
        QList<int> farThenNear{KEL::MaxElementId, 5000, 9000};
        for (int id = 1; id <= 4500; ++id) // the array outgrows 5000 on the way
            farThenNear.append(id);
        QTest::newRow("far ids, then the near ones reach them")
            << farThenNear << QList<int>{9000, KEL::MaxElementId} << QList<int>{4501, 4999, 8999, 10000};
        QTest::newRow("ids below one") << QList<int>{0, -3, 2} << QList<int>{-3} << QList<int>{-2, 1};
    }

    void idTable()
    {
        QFETCH(QList<int>, inserts);
        QFETCH(QList<int>, removes);
        QFETCH(QList<int>, probes);
        // the table only keeps the pointers: any distinct addresses do
        std::vector<int> storage(size_t(inserts.size()));
        auto fake = [&storage](qsizetype i) { return reinterpret_cast<CKELData *>(&storage[size_t(i)]); };
        CIdTable table;
        std::map<int, CKELData *> expected;
        for (qsizetype i = 0; i < inserts.size(); ++i) {
            QCOMPARE(table.replace(inserts[i], fake(i)), expected[inserts[i]]);
            expected[inserts[i]] = fake(i);
        }
        for (int id : std::as_const(removes)) {
            table.removeIf(id, nullptr); // only the element it holds leaves
            table.removeIf(id, expected[id]);
            expected.erase(id);
        }
        for (int id : std::as_const(inserts) + removes + probes)
            QCOMPARE(table.value(id), expected.count(id) ? expected[id] : nullptr);
        QCOMPARE(table.size(), qsizetype(expected.size()));

        // a walk gives the ids from 1 up, then those below 1
        std::vector<std::pair<int, const CKELData *>> walked;
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            walked.emplace_back(it.key(), it.value());
        std::vector<std::pair<int, const CKELData *>> order(expected.lower_bound(1), expected.end());
        order.insert(order.end(), expected.begin(), expected.lower_bound(1));
        QVERIFY(walked == order);
        QCOMPARE(table.maxKey(), expected.empty() || expected.rbegin()->first < 1 ? 0 : expected.rbegin()->first);
    }

    void treeLinksRefuseCycles()
    {
        CKELDataManager m;
        m.NewSolution();
        auto *t1 = addTo<CKELRBT>(m, m.CurrentVersion()->RBTFolder(), KEL::RBT);
        auto *t2 = addTo<CKELRBT>(m, m.CurrentVersion()->RBTFolder(), KEL::RBT);
        CKELMethod *a = TreeOps::NewNode(m, *t1);
        CKELMethod *b = TreeOps::NewNode(m, *t1);
        CKELMethod *c = TreeOps::NewNode(m, *t1);
        CKELMethod *x = TreeOps::NewNode(m, *t2);
        QVERIFY(TreeOps::Link(m, a, b));
        QVERIFY(TreeOps::Link(m, b, c));
        QVERIFY(!TreeOps::Link(m, c, a)); // would close a cycle
        QVERIFY(!TreeOps::Link(m, a, a));
        QVERIFY(!TreeOps::Link(m, a, x)); // other tree
        QCOMPARE(a->ParentId(), 0);
        // moving a subtree keeps both sides of every link in step
        QVERIFY(TreeOps::Link(m, a, c));
        QCOMPARE(b->ChildIds(), QList<int>());
        QCOMPARE(a->ChildIds(), (QList<int>{b->GetId(), c->GetId()}));
        TreeOps::DeleteNode(m, a);
        QCOMPARE(b->ParentId(), 0);
        QCOMPARE(t1->Roots().size(), 2);
    }

    void explorerListing()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELState *s = addState(m, u"Door"_qs, u"open"_qs, 1);
        addRequirement(m, u"R1"_qs)->AddVirtualChild(s);
        const QString expected = u"Solution: Untitled\n"
                                 "  System:\n"
                                 "    Version: 1.0*\n"
                                 "      Requirements\n"
                                 "        R1\n"
                                 "          ~ [open] {R1}\n"
                                 "      Components\n"
                                 "        Door\n"
                                 "          [open] {R1}\n"
                                 "      RBTs\n"
                                 "      IBTs\n"
                                 "  EVTs\n"_qs;
        QCOMPARE(ExplorerText(m.Solution()), expected);
    }
};

QTEST_GUILESS_MAIN(TestKelData)
#include "tst_keldata.moc"
