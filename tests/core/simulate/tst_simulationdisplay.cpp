#include "treesketch.h"

#include "simulate/abstranslator.h"
#include "simulate/simulationdisplay.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// "A=3 B=2 C=1 D=1": each node's mark, by component, in element order.
QString marksText(const CSketchSolution &t, const CSimulationDisplay &d)
{
    QStringList parts;
    for (const CKELMethod *n : t.tree->Nodes())
        parts << n->component + u'=' + QString::number(d.MarkOf(t.tree->GetId(), n->GetId()));
    return parts.join(u' ');
}

// A translated tree and a display of its simulation.
struct Rig
{
    explicit Rig(const QString &sketch) : t(sketch), d(t.m) { Zeph::TranslateTree(t.m, *t.tree, 10, true); }
    CSketchSolution t;
    CSimulationDisplay d;
    const int id = t.tree->GetId();
};

} // namespace

class TestSimulationDisplay : public QObject
{
    Q_OBJECT
private slots:
    // Tree A(B(D),C) labelled A "0", B "00", D "000", C "01".
    void steps_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("second");
        QTest::newRow("start marks every node")
            << QStringList{u"zephsim: 4 node(s)\n"_qs} << u"A=1 B=1 D=1 C=1"_qs << QString() << QString();
        QTest::newRow("one label") << QStringList{u"0\n"_qs} << u"A=2 B=1 D=1 C=1"_qs << u"0"_qs << QString();
        QTest::newRow("two labels in one piece")
            << QStringList{u"0\n00\n"_qs} << u"A=3 B=2 D=1 C=1"_qs << u"00"_qs << u"0"_qs;
        QTest::newRow("line cut between pieces")
            << QStringList{u"0\n0"_qs, u"0\n"_qs} << u"A=3 B=2 D=1 C=1"_qs << u"00"_qs << u"0"_qs;
        QTest::newRow("carriage returns and blanks")
            << QStringList{u"0\r\n"_qs, u"  00 \r\n"_qs} << u"A=3 B=2 D=1 C=1"_qs << u"00"_qs << u"0"_qs;
        QTest::newRow("remarks between labels")
            << QStringList{u"0\n"_qs, u"step done\n"_qs, u"00\n"_qs} << u"A=3 B=2 D=1 C=1"_qs << u"00"_qs << u"0"_qs;
        QTest::newRow("same label twice stays current")
            << QStringList{u"0\n"_qs, u"0\n"_qs} << u"A=2 B=1 D=1 C=1"_qs << u"0"_qs << QString();
        QTest::newRow("revisited node") << QStringList{u"0\n00\n0\n"_qs} << u"A=2 B=3 D=1 C=1"_qs << u"0"_qs
                                        << u"00"_qs;
        QTest::newRow("unfinished line waits")
            << QStringList{u"0"_qs} << u"A=1 B=1 D=1 C=1"_qs << QString() << QString();
        QTest::newRow("visited nodes stay marked")
            << QStringList{u"0\n00\n000\n01\n"_qs} << u"A=3 B=3 D=3 C=2"_qs << u"01"_qs << u"000"_qs;
        QTest::newRow("label inside a longer line")
            << QStringList{u"node 00\n"_qs} << u"A=1 B=1 D=1 C=1"_qs << QString() << QString();
        QTest::newRow("end text of the interpreter")
            << QStringList{u"0\n"_qs, u"\r\n<TEST INFO>: Child process ended\r\n"_qs} << u"A=2 B=1 D=1 C=1"_qs
            << u"0"_qs << QString();
    }

    void steps()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QString, marks);
        QFETCH(QString, current);
        QFETCH(QString, second);
        Rig r(u"A.a(B.b(D.d),C.c)"_qs);
        auto &[t, d, id] = r;
        QSignalSpy started(&d, &CSimulationDisplay::displayStarted);
        for (const QString &c : chunks)
            d.ShowSimulationStep(t.tree->GetId(), c);
        QCOMPARE(started.size(), 1);
        QVERIFY(d.IsRunning(t.tree->GetId()));
        QCOMPARE(marksText(t, d), marks);
        QCOMPARE(d.CurrentLabel(t.tree->GetId()), current);
        QCOMPARE(d.SecondLabel(t.tree->GetId()), second);
    }

    void endTakesMarksBack()
    {
        Rig r(u"A.a(B.b,C.c)"_qs);
        auto &[t, d, id] = r;
        d.ShowSimulationStep(id, u"0\n00\n"_qs);
        d.TakeChangedNodes(id);
        QSignalSpy ended(&d, &CSimulationDisplay::displayEnded);
        d.EndSimulationDisplay(id);
        QCOMPARE(ended.size(), 1);
        QVERIFY(!d.IsRunning(id));
        QCOMPARE(marksText(t, d), u"A=0 B=0 C=0"_qs);
        QCOMPARE(d.CurrentLabel(id), QString());
        // every node must be redrawn in its own colours again
        QCOMPARE(d.TakeChangedNodes(id).size(), 3);
        // a new piece of output starts afresh
        d.ShowSimulationStep(id, u"01\n"_qs);
        QCOMPARE(marksText(t, d), u"A=1 B=1 C=2"_qs);
        QCOMPARE(d.SecondLabel(id), QString());
    }

    // The window refreshes only what changed since it last looked.
    void changedNodesOnce()
    {
        Rig r(u"A.a(B.b,C.c)"_qs);
        auto &[t, d, id] = r;
        QSignalSpy changed(&d, &CSimulationDisplay::marksChanged);
        d.ShowSimulationStep(id, u"banner\n"_qs);
        QCOMPARE(d.TakeChangedNodes(id).size(), 3);
        d.ShowSimulationStep(id, u"00\n"_qs);
        QCOMPARE(d.TakeChangedNodes(id), QList<int>{t.Node(u"B"_qs)->GetId()});
        const qsizetype before = changed.size();
        d.ShowSimulationStep(id, u"nothing to see\n"_qs);
        QCOMPARE(changed.size(), before);
        QCOMPARE(d.TakeChangedNodes(id), QList<int>());
    }

    void removedNodeForgotten()
    {
        Rig r(u"A.a(B.b,C.c)"_qs);
        auto &[t, d, id] = r;
        d.ShowSimulationStep(id, u"00\n"_qs);
        const int b = t.Node(u"B"_qs)->GetId();
        QVERIFY(t.m.RemoveNode(b));
        QCOMPARE(d.MarkOf(id, b), 0);
        QVERIFY(!d.TakeChangedNodes(id).contains(b));
        d.ShowSimulationStep(id, u"00\n01\n"_qs); // the label of a node that is gone
        QCOMPARE(marksText(t, d), u"A=1 C=2"_qs);
        QVERIFY(t.m.RemoveRBT(id));
        QVERIFY(!d.IsRunning(id));
    }

    void unknownTreeIgnored()
    {
        CSketchSolution t(u"A.a"_qs);
        CSimulationDisplay d(t.m);
        d.ShowSimulationStep(12345, u"0\n"_qs);
        d.ShowSimulationStep(t.Node(u"A"_qs)->GetId(), u"0\n"_qs); // a node is no tree
        QVERIFY(!d.IsRunning(12345));
        QVERIFY(d.Marks(12345).isEmpty());
    }

    // An edit while the display runs gives nodes new labels, as the next
    // translation writes them; a label must then find the node that carries it now.
    void relabelledWhileRunning()
    {
        Rig r(u"A.a(B.b,C.c)"_qs);
        auto &[t, d, id] = r;
        d.ShowSimulationStep(id, u"0\n"_qs);
        QVERIFY(t.m.LinkNode(0, t.Node(u"B"_qs)->GetId())); // C becomes "00"
        Zeph::TranslateTree(t.m, *t.tree, 10, true);
        d.ShowSimulationStep(id, u"00\n"_qs);
        QCOMPARE(d.MarkOf(id, t.Node(u"C"_qs)->GetId()), int(CSimulationDisplay::Current));
        QCOMPARE(d.MarkOf(id, t.Node(u"B"_qs)->GetId()), int(CSimulationDisplay::Waiting));
    }
};

QTEST_GUILESS_MAIN(TestSimulationDisplay)
#include "tst_simulationdisplay.moc"
