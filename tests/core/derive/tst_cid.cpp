#include "clirunner.h"
#include "treesketch.h"

#include "derive/cid.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString boxText(const Cid::Box &b)
{
    return u"%1: %2 -> %3 | %4 | %5"_qs.arg(b.index).arg(b.PreconditionText(), b.NewStateText(),
                                                         b.stimulus.join(u"; "_qs), b.responses.join(u"; "_qs));
}

QString boxesText(const QList<Cid::Box> &boxes)
{
    QStringList lines;
    for (const Cid::Box &b : boxes)
        lines << boxText(b);
    return lines.join(u'\n');
}

QString rectText(const Cid::Rect &r)
{
    return u"%1,%2,%3,%4"_qs.arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

QString lineText(const std::optional<Cid::Line> &l)
{
    if (!l)
        return u"none"_qs;
    return u"%1,%2-%3,%4"_qs.arg(l->from.x()).arg(l->from.y()).arg(l->to.x()).arg(l->to.y());
}

} // namespace

class TestCid : public QObject
{
    Q_OBJECT
private slots:
    // A box per state change of the component: the state before is the nearest
    // earlier state change above it, the stimulus its parent, the responses its
    // children; repeats of an earlier box are dropped.
    void boxes_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("boxes");
        QTest::newRow("precondition is the nearest earlier state")
            << u"Oven.idle(Button.push:3(Oven.cooking(Light.on(Oven.idle))))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | Button [push]\n"
               "1: idle -> cooking | Button [push] | Light [on]\n"
               "2: cooking -> idle | Light [on] | "_qs;
        QTest::newRow("selection makes no box and passes the state on")
            << u"Oven.idle(Oven.ready:2(Oven.cooking))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | Oven [ready]\n1: idle -> cooking | Oven [ready] | "_qs;
        QTest::newRow("only selections give no boxes")
            << u"Door.shut(Oven.closed:2(Light.on),Oven.open:2)"_qs << u"Oven"_qs << QString();
        QTest::newRow("first state change below the root has a stimulus")
            << u"Button.push(Oven.cooking)"_qs << u"Oven"_qs << u"0:  -> cooking | Button [push] | "_qs;
        QTest::newRow("same change, stimulus and responses: one box")
            << u"Oven.idle(Button.push(Oven.cooking),Button.push(Oven.cooking))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | Button [push]; Button [push]\n1: idle -> cooking | Button [push] | "_qs;
        QTest::newRow("same change from other stimuli: two boxes")
            << u"Oven.idle(Button.push(Oven.cooking),Door.shut(Oven.cooking))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | Button [push]; Door [shut]\n"
               "1: idle -> cooking | Button [push] | \n"
               "2: idle -> cooking | Door [shut] | "_qs;
        QTest::newRow("responses in another order: one box")
            << u"Oven.idle(B.p(Oven.c(X.a,Y.b)),B.p(Oven.c(Y.b,X.a)))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | B [p]; B [p]\n1: idle -> c | B [p] | X [a]; Y [b]"_qs;
        QTest::newRow("a repeated response is not another response")
            << u"Oven.idle(B.p(Oven.c(X.a,X.a)),B.p(Oven.c(X.a,Y.b)))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | B [p]; B [p]\n1: idle -> c | B [p] | X [a]; X [a]\n2: idle -> c | B [p] | X [a]; Y [b]"_qs;
        QTest::newRow("another precondition: another box")
            << u"Oven.idle(B.p(Oven.c(B.p(Oven.c))))"_qs << u"Oven"_qs
            << u"0:  -> idle |  | B [p]\n1: idle -> c | B [p] | B [p]\n2: c -> c | B [p] | "_qs;
        QTest::newRow("letter case makes another component")
            << u"Oven.idle(oven.x)"_qs << u"Oven"_qs << u"0:  -> idle |  | oven [x]"_qs;
        QTest::newRow("items name the behavior without its brackets")
            << u"Oven.idle(Button.push:3,Door.open:4)"_qs << u"Oven"_qs
            << u"0:  -> idle |  | Button [push]; Door [open]"_qs;
        QTest::newRow("only the first root counts") << u"Light.on,Oven.idle"_qs << u"Oven"_qs << QString();
    }

    void boxes()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, component);
        QFETCH(QString, boxes);
        CKELDataManager m;
        m.NewSolution();
        QCOMPARE(boxesText(Cid::BuildInterface(*TreeSketch::AddTree(m, sketch), component)), boxes);
    }

    // "o~" stands before a state the last version dropped, "n~" before one it
    // added; a marked state is another state than the unmarked one.
    void evolutionMarkers_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("boxes");
        QTest::newRow("dropped and added states")
            << u"Oven.idle{0|1,2}(B.p{0|1,2}(Oven.c{-1|1}(B.q{-1|1}(Oven.d{1|2}))))"_qs
            << u"0:  -> idle |  | B [p]\n1: idle -> o~c | B [p] | B [q]\n2: o~c -> n~d | B [q] | "_qs;
        QTest::newRow("marked and unmarked states differ")
            << u"Oven.idle{0|1,2}(B.p{0|1,2}(Oven.c{-1|1}),B.p{0|1,2}(Oven.c{0|1,2}))"_qs
            << u"0:  -> idle |  | B [p]; B [p]\n1: idle -> o~c | B [p] | \n2: idle -> c | B [p] | "_qs;
        QTest::newRow("precondition marked by the node that supplied it")
            << u"Oven.idle{1|2}(B.p{0|1,2}(Oven.c{0|1,2}))"_qs
            << u"0:  -> n~idle |  | B [p]\n1: n~idle -> c | B [p] | "_qs;
        QTest::newRow("repeated dropped change: one box")
            << u"Oven.idle{0|1,2}(B.p{0|1,2}(Oven.c{-1|1}),B.p{0|1,2}(Oven.c{-1|1}))"_qs
            << u"0:  -> idle |  | B [p]; B [p]\n1: idle -> o~c | B [p] | "_qs;
    }

    void evolutionMarkers()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, boxes);
        CKELDataManager m;
        const CKELEVT *evt = TreeSketch::AddEvt(m, sketch, {1, 2});
        QCOMPARE(boxesText(Cid::BuildInterface(*evt, u"Oven"_qs)), boxes);
    }

    // Where the labels of the drawing go, in canvas coordinates: one column of
    // 170 per box in a shape at (50, 150), stimuli above, responses below.
    void drawing_data()
    {
        QTest::addColumn<int>("boxCount");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shape of one box") << 1 << 0 << u"shape"_qs << u"50,150,220,280"_qs;
        QTest::newRow("shape of three boxes") << 3 << 0 << u"shape"_qs << u"50,150,560,280"_qs;
        QTest::newRow("precondition label") << 1 << 0 << u"precondition"_qs << u"60,165,180,190"_qs;
        QTest::newRow("new state label of the third box") << 3 << 2 << u"newState"_qs << u"400,250,520,275"_qs;
        QTest::newRow("stimulus above the shape") << 3 << 1 << u"stimulus0"_qs << u"230,100,350,125"_qs;
        QTest::newRow("first response below the shape") << 2 << 1 << u"response0"_qs << u"230,330,350,355"_qs;
        QTest::newRow("second response follows without overlap") << 2 << 0 << u"response1"_qs << u"60,355,180,380"_qs;
        QTest::newRow("stimulus link into the shape") << 1 << 0 << u"stimulusLink"_qs << u"120,125-120,150"_qs;
        QTest::newRow("response link out of the shape") << 2 << 1 << u"responseLink"_qs << u"290,280-290,330"_qs;
        QTest::newRow("canvas as wide as the shape's right edge") << 3 << 0 << u"width"_qs << u"560"_qs;
        QTest::newRow("canvas as high as the last response") << 2 << 0 << u"height"_qs << u"380"_qs;
    }

    void drawing()
    {
        QFETCH(int, boxCount);
        QFETCH(int, box);
        QFETCH(QString, part);
        QFETCH(QString, expected);
        QList<Cid::Box> boxes;
        for (int k = 0; k < boxCount; ++k) {
            Cid::Box b;
            b.precondition = u"s%1"_qs.arg(k);
            b.newState = u"s%1"_qs.arg(k + 1);
            b.stimulus = {u"Button [push]"_qs};
            b.responses = {u"Light [on]"_qs, u"Door [open]"_qs};
            boxes << b;
        }
        const Cid::Drawing d = Cid::DrawInterface(boxes);
        QCOMPARE(d.boxes.size(), boxCount);
        const Cid::BoxDrawing &bd = d.boxes[box];
        QString actual;
        if (part == u"shape")
            actual = rectText(d.shape);
        else if (part == u"precondition")
            actual = rectText(bd.precondition.rect);
        else if (part == u"newState")
            actual = rectText(bd.newState.rect);
        else if (part == u"stimulus0")
            actual = rectText(bd.stimulus.at(0).rect);
        else if (part == u"response0")
            actual = rectText(bd.responses.at(0).rect);
        else if (part == u"response1")
            actual = rectText(bd.responses.at(1).rect);
        else if (part == u"stimulusLink")
            actual = lineText(bd.stimulusLink);
        else if (part == u"responseLink")
            actual = lineText(bd.responseLink);
        else if (part == u"width")
            actual = QString::number(d.width);
        else if (part == u"height")
            actual = QString::number(d.height);
        QCOMPARE(actual, expected);
    }

    // A label grows to its text (measured by the estimate here): wider up to
    // the column, then wrapped and taller; what follows moves along.
    void labelsFitTheirText_data()
    {
        QTest::addColumn<QString>("precondition");
        QTest::addColumn<QStringList>("responses");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("expected");
        const QString idle = u"idle"_qs;
        QTest::newRow("short text keeps the usual size")
            << idle << QStringList{u"Light [on]"_qs, u"Door [open]"_qs} << u"response1"_qs << u"60,355,180,380"_qs;
        QTest::newRow("a longer line widens the label")
            << idle << QStringList{u"DOOR SENSOR [closed]"_qs, u"x"_qs} << u"response0"_qs << u"60,330,206,355"_qs;
        QTest::newRow("a long item wraps within the column")
            << idle << QStringList{u"SENSOR [person detected]"_qs, u"x"_qs} << u"response0"_qs << u"60,330,210,364"_qs;
        QTest::newRow("the item after a wrapped one follows it")
            << idle << QStringList{u"SENSOR [person detected]"_qs, u"x"_qs} << u"response1"_qs << u"60,364,180,389"_qs;
        const QString longState = u"waiting for the person to leave"_qs;
        QTest::newRow("a long state wraps")
            << longState << QStringList{u"x"_qs} << u"precondition"_qs << u"60,165,210,199"_qs;
        QTest::newRow("the new state moves below a wrapped one")
            << longState << QStringList{u"x"_qs} << u"newState"_qs << u"60,259,180,284"_qs;
        QTest::newRow("the shape grows to hold both")
            << longState << QStringList{u"x"_qs} << u"shape"_qs << u"50,150,220,289"_qs;
        QTest::newRow("responses keep their gap below a grown shape")
            << longState << QStringList{u"x"_qs} << u"response0"_qs << u"60,339,180,364"_qs;
    }

    void labelsFitTheirText()
    {
        QFETCH(QString, precondition);
        QFETCH(QStringList, responses);
        QFETCH(QString, part);
        QFETCH(QString, expected);
        Cid::Box b;
        b.precondition = precondition;
        b.newState = u"next"_qs;
        b.stimulus = {u"BUTTON [push]"_qs};
        b.responses = responses;
        const Cid::Drawing d = Cid::DrawInterface({b});
        const Cid::BoxDrawing &bd = d.boxes.first();
        const QHash<QString, Cid::Rect> parts{{u"precondition"_qs, bd.precondition.rect},
                                              {u"newState"_qs, bd.newState.rect},
                                              {u"response0"_qs, bd.responses.value(0).rect},
                                              {u"response1"_qs, bd.responses.value(1).rect},
                                              {u"shape"_qs, d.shape}};
        QCOMPARE(rectText(parts.value(part)), expected);
        QCOMPARE(d.height, bd.responses.last().rect.bottom);
    }

    void labelsShowStatesWithoutMarkers()
    {
        CKELDataManager m;
        const CKELEVT *evt = TreeSketch::AddEvt(m, u"Oven.o~idle{0|1,2}(Oven.c{-1|1}(Oven.d{1|2}))"_qs, {1, 2});
        const QList<Cid::Box> boxes = Cid::BuildInterface(*evt, u"Oven"_qs);
        QCOMPARE(boxes.size(), 3);
        const Cid::Drawing d = Cid::DrawInterface(boxes);
        // a state whose own name starts like a marker keeps its name
        QCOMPARE(d.boxes[0].newState.text, u"o~idle"_qs);
        QCOMPARE(d.boxes[0].newState.status, 0);
        QCOMPARE(d.boxes[1].newState.text, u"c"_qs);
        QCOMPARE(d.boxes[1].newState.status, -1);
        QCOMPARE(d.boxes[2].precondition.text, u"c"_qs);
        QCOMPARE(d.boxes[2].precondition.status, -1);
        QCOMPARE(d.boxes[2].newState.text, u"d"_qs);
        QCOMPARE(d.boxes[2].newState.status, 1);
        // the root box has no stimulus and so no link into the shape
        QVERIFY(d.boxes[0].stimulus.isEmpty());
        QVERIFY(!d.boxes[0].stimulusLink);
        QVERIFY(d.boxes[2].responses.isEmpty());
        QVERIFY(!d.boxes[2].responseLink);
    }

    void noBoxesNoShape()
    {
        const Cid::Drawing d = Cid::DrawInterface({});
        QVERIFY(d.boxes.isEmpty());
        QCOMPARE(d.shape, Cid::Rect());
        QCOMPARE(d.width, 0);
    }

    // The diagram is rebuilt on demand: it hangs in a "CIDs" folder of its tree
    // and neither reaches the solution file.
    void createdDiagramIsDerived()
    {
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"Oven.idle(Button.push:3(Oven.cooking))"_qs);
        const auto records = [&m] { return m.BuildSolutionText().section(u'\n', 1); };
        const QString before = records();
        QList<Cid::Box> boxes;
        CKELCID *oven = Cid::CreateCID(m, *tree, u"Oven"_qs, &boxes);
        QVERIFY(oven);
        QCOMPARE(oven->GetName(), u"Oven"_qs);
        QCOMPARE(boxes.size(), 2);
        CKELData *folder = oven->GetParent();
        QVERIFY(folder);
        QCOMPARE(folder->GetTypeCode(), int(KEL::CIDs));
        QCOMPARE(folder->GetParent(), tree);
        QVERIFY(!folder->IsPersistent());
        QVERIFY(!oven->IsPersistent());
        CKELCID *button = Cid::CreateCID(m, *tree, u"Button"_qs);
        QVERIFY(button);
        QCOMPARE(button->GetParent(), folder);
        QCOMPARE(folder->ChildCount(), 2);
        QCOMPARE(records(), before);
        QCOMPARE(tree->Nodes().size(), 3);
    }

    void largeTrees_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<bool>("sameBehavior");
        QTest::addColumn<int>("components");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("lastBox");
        const int n = 100000;
        QTest::newRow("chain of one component")
            << true << false << 1 << n << u"99999: b99998 -> b99999 | C0 [b99998] | "_qs;
        QTest::newRow("chain of two alternating components")
            << true << false << 2 << n / 2 << u"49999: b99996 -> b99998 | C1 [b99997] | C1 [b99999]"_qs;
        QTest::newRow("node with many children") << false << false << 1 << n << u"99999: b0 -> b99999 | C0 [b0] | "_qs;
        QTest::newRow("node with many equal children") << false << true << 1 << 2 << u"1: b0 -> b | C0 [b0] | "_qs;
    }

    void largeTrees()
    {
        QFETCH(bool, chain);
        QFETCH(bool, sameBehavior);
        QFETCH(int, components);
        QFETCH(int, boxes);
        QFETCH(QString, lastBox);
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddLargeTree(m, chain, 100000, components, sameBehavior);
        QList<Cid::Box> found;
        QVERIFY(Cid::CreateCID(m, *tree, u"C0"_qs, &found));
        QCOMPARE(found.size(), boxes);
        QCOMPARE(boxText(found.last()), lastBox);
        QCOMPARE(Cid::DrawInterface(found).boxes.size(), boxes);
    }
};

QTEST_GUILESS_MAIN(TestCid)
#include "tst_cid.moc"
