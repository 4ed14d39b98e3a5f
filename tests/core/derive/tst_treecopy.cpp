#include "treesketch.h"

#include "derive/treecopy.h"

#include <QRegularExpression>
#include <QtTest>

class TestTreeCopy : public QObject
{
    Q_OBJECT
private slots:
    // The copy has the source's shape: same roots, same links, same child order.
    void structure_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<QList<int>>("relink"); // nodes moved to the end of their parent's children
        QTest::addColumn<QString>("copy");
        QTest::newRow("single node") << u"A.x"_qs << QList<int>{} << u"A.x"_qs;
        QTest::newRow("three levels") << u"A.x(B.b(C.c),D.d)"_qs << QList<int>{} << u"A.x(B.b(C.c),D.d)"_qs;
        QTest::newRow("roots stay roots") << u"A.x(B.b),C.c,D.d(E.e)"_qs << QList<int>{} << u"A.x(B.b),C.c,D.d(E.e)"_qs;
        QTest::newRow("child order differs from creation order")
            << u"A.x(B.b,C.c,D.d)"_qs << QList<int>{1} << u"A.x(C.c,D.d,B.b)"_qs;
        QTest::newRow("reordered at two levels")
            << u"A.x(B.b(E.e,F.f),C.c)"_qs << QList<int>{1, 2} << u"A.x(C.c,B.b(F.f,E.e))"_qs;
        QTest::newRow("empty tree") << QString() << QList<int>{} << QString();
    }

    void structure()
    {
        QFETCH(QString, forest);
        QFETCH(QList<int>, relink);
        QFETCH(QString, copy);
        CSketchSolution f;
        CKELTree *source = f.AddTree(forest, u"R"_qs, KEL::RBT);
        for (int p : relink) {
            auto *parent = TestKit::Mutable(f.m.LookupAs<CKELMethod>(f.nodes[p]->ParentId(), KEL::Method));
            QVERIFY(TreeOps::Link(f.m, parent, f.nodes[p]));
        }
        const QString sourceBefore = f.Print(*source);
        CKELTree *target = f.AddTree(QString(), u"D"_qs, KEL::DBT);
        const QHash<int, int> map = CTreeCopy::Copy(f.m, *target, *source);

        QCOMPARE(f.Print(*target), copy);
        QCOMPARE(f.Print(*source), sourceBefore);
        const QList<CKELMethod *> sources = source->Nodes();
        const QList<CKELMethod *> copies = target->Nodes();
        QCOMPARE(map.size(), sources.size());
        QCOMPARE(copies.size(), sources.size());
        for (qsizetype i = 0; i < sources.size(); ++i) {
            // copies come in the source's element order, under new ids
            QCOMPARE(map.value(sources[i]->GetId()), copies[i]->GetId());
            QVERIFY(copies[i]->GetId() != sources[i]->GetId());
            QCOMPARE(f.m.Lookup(copies[i]->GetId()), copies[i]);
            QCOMPARE(copies[i]->ParentId(), sources[i]->ParentId() ? map.value(sources[i]->ParentId()) : 0);
        }
    }

    // Everything a node record holds comes across; only id and links are new.
    void attributes()
    {
        CSketchSolution f;
        CKELTree *source = f.AddTree(u"A.x(B.b:3=)"_qs, u"R"_qs, KEL::RBT);
        CKELMethod &n = *f.nodes[1];
        n.requirementTag = u"R7"_qs;
        n.qualifier = u"fast"_qs;
        n.extendedTag = u"ext"_qs;
        n.hasExtendedTag = true;
        n.x = 11;
        n.y = 22;
        n.w = 333;
        n.h = 44;
        n.missType = 2;
        n.doubleLine = n.nonDeterministic = n.atomic = n.setOperation = true;
        n.displayExtendedTag = false;
        n.displayExtraInfo = false;
        n.extraInfoTags = QStringList{u"T1"_qs, u"T2"_qs};
        n.extraInfoNames = QStringList{u"first"_qs, u"second"_qs};
        n.SetEvolution(true);
        n.SetEvStyle(-1);
        n.EvTags() = QList<int>{1, 3};
        CKELTree *target = f.AddTree(QString(), u"D"_qs, KEL::DBT);
        const QHash<int, int> map = CTreeCopy::Copy(f.m, *target, *source);
        const auto *copy = f.m.LookupAs<CKELMethod>(map.value(n.GetId()), KEL::Method);
        QVERIFY(copy);
        static const QRegularExpression links(u"(^|;)(id|Parent):\\d+;"_qs);
        QString expected = n.ToRecord();
        QString actual = copy->ToRecord();
        QCOMPARE(actual.remove(links), expected.remove(links));
    }

    // Copying a tree into itself copies what was there, once.
    void intoItself()
    {
        CSketchSolution f;
        CKELTree *tree = f.AddTree(u"A.x(B.b)"_qs, u"R"_qs, KEL::RBT);
        QCOMPARE(CTreeCopy::Copy(f.m, *tree, *tree).size(), 2);
        QCOMPARE(f.Print(*tree), u"A.x(B.b),A.x(B.b)"_qs);
    }

    void deepAndWide_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<bool>("reversed"); // nodes created child first
        QTest::newRow("chain of 100000") << true << false;
        QTest::newRow("chain of 100000, children created first") << true << true;
        QTest::newRow("100000 children") << false << false;
    }

    void deepAndWide()
    {
        QFETCH(bool, chain);
        QFETCH(bool, reversed);
        const int size = 100000;
        CSketchSolution f;
        CKELTree *source = f.AddTree(QString(), u"R"_qs, KEL::RBT);
        QList<CKELMethod *> made;
        for (int i = 0; i < size; ++i) {
            made.append(TreeOps::NewNode(f.m, *source));
            made.last()->behavior = QString::number(i);
        }
        for (int i = 1; i < size; ++i) {
            CKELMethod *child = reversed ? made[size - 1 - i] : made[i];
            CKELMethod *parent = chain ? (reversed ? made[size - i] : made[i - 1]) : made[0];
            QVERIFY(TreeOps::Link(f.m, parent, child));
        }
        CKELTree *target = f.AddTree(QString(), u"D"_qs, KEL::DBT);
        const QHash<int, int> map = CTreeCopy::Copy(f.m, *target, *source);
        QCOMPARE(target->Roots().size(), 1);
        const QList<CKELMethod *> order = TreeOps::PreOrder(f.m, target->Roots().first());
        const QList<CKELMethod *> sourceOrder = TreeOps::PreOrder(f.m, source->Roots().first());
        QCOMPARE(order.size(), size);
        for (int i = 0; i < size; ++i)
            QCOMPARE(order[i]->GetId(), map.value(sourceOrder[i]->GetId()));
    }
};

QTEST_GUILESS_MAIN(TestTreeCopy)
#include "tst_treecopy.moc"
