// How a node and its links are drawn: cells, texts, colours, marks, ports.
#include "editortestkit.h"

#include "canvas/canvasscene.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

using EditorTestKit::Fixture;

namespace {

// Cells are compared as left, top, right, bottom.
QRect box(int l, int t, int r, int b)
{
    return QRect(l, t, r - l, b - t);
}

// Draws one shape on white at 1:1 with a margin of 10.
QImage paintShape(CKELNodeShape &shape)
{
    CCanvasScene scene;
    shape.setPos(0, 0);
    scene.addItem(&shape);
    const QRect area = shape.GetBorderArea().adjusted(-10, -10, 10, 10);
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    scene.RenderPlain(&p, QRectF(QPointF(0, 0), area.size()), area);
    p.end();
    scene.removeItem(&shape);
    return image;
}

// A parent over its child 100 below, linked on a scene.
struct LinkedPair
{
    Fixture f;
    CCanvasScene scene;
    CKELNodeShape *parent = nullptr;
    CKELNodeShape *child = nullptr;
    CKELLinkShape *link = nullptr;
    LinkedPair(int kind, int status)
    {
        const int a = f.Add(0, u"Door"_qs);
        parent = new CKELNodeShape(a);
        child = new CKELNodeShape(f.Add(a, u"Door"_qs));
        for (CKELNodeShape *s : {parent, child}) {
            s->RefreshFromModel(f.m);
            scene.AddShape(s);
        }
        child->setPos(0, 100);
        link = new CKELLinkShape(parent, child, kind, status);
        scene.AddLinkShape(link);
    }
};

} // namespace

class TestKelNodeShape : public QObject
{
    Q_OBJECT
private slots:
    void cells_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("missType");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<int>("jumpType");
        QTest::addColumn<QString>("extTag");
        QTest::addColumn<bool>("showExtTag");
        QTest::addColumn<bool>("doubleLine");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("tagRect");
        QTest::addColumn<QRect>("comRect");
        QTest::addColumn<QRect>("staRect");
        QTest::addColumn<QRect>("extraTagRect"); // empty when none is drawn
        QTest::addColumn<QString>("tagText");
        QTest::addColumn<QString>("comText");

        QTest::newRow("no size drawn 200 by 50")
            << 0 << 0 << 0 << QString() << 0 << QString() << true << false << box(0, 0, 200, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect() << u"R1"_qs << u"Door"_qs;
        QTest::newRow("record size") << 300 << 60 << 0 << QString() << 0 << QString() << true << false
                                     << box(0, 0, 300, 60) << box(0, 0, 75, 60) << box(75, 0, 300, 30)
                                     << box(75, 30, 300, 60) << QRect() << u"R1"_qs << u"Door"_qs;
        QTest::newRow("extended tag widens by a quarter")
            << 200 << 50 << 0 << QString() << 0 << u"X7"_qs << true << false << box(0, 0, 250, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << box(200, 0, 250, 50) << u"R1"_qs << u"Door"_qs;
        QTest::newRow("extended tag not shown keeps the width")
            << 200 << 50 << 0 << QString() << 0 << u"X7"_qs << false << false << box(0, 0, 200, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect() << u"R1"_qs << u"Door"_qs;
        QTest::newRow("odd width, quarter truncated")
            << 203 << 51 << 0 << QString() << 0 << u"X"_qs << true << false << box(0, 0, 253, 51) << box(0, 0, 50, 51)
            << box(50, 0, 203, 25) << box(50, 25, 203, 51) << box(203, 0, 253, 51) << u"R1"_qs << u"Door"_qs;
        QTest::newRow("double line keeps a margin of 3")
            << 200 << 50 << 0 << QString() << 0 << u"X"_qs << true << true << box(0, 0, 250, 50) << box(3, 3, 50, 47)
            << box(50, 3, 197, 25) << box(50, 25, 197, 47) << box(197, 3, 247, 47) << u"R1"_qs << u"Door"_qs;
        QTest::newRow("implied: tag plus")
            << 0 << 0 << 1 << QString() << 0 << QString() << true << false << box(0, 0, 200, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect() << u"R1 +"_qs << u"Door"_qs;
        QTest::newRow("missing: tag minus")
            << 0 << 0 << 2 << QString() << 0 << QString() << true << false << box(0, 0, 200, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect() << u"R1 -"_qs << u"Door"_qs;
        QTest::newRow("qualifier and reversion")
            << 0 << 0 << 0 << u"left"_qs << 1 << QString() << true << false << box(0, 0, 200, 50) << box(0, 0, 50, 50)
            << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect() << u"R1"_qs << u"Door left ^"_qs;
        QTest::newRow("go to") << 0 << 0 << 0 << QString() << 2 << QString() << true << false << box(0, 0, 200, 50)
                               << box(0, 0, 50, 50) << box(50, 0, 200, 25) << box(50, 25, 200, 50) << QRect()
                               << u"R1"_qs << u"Door ="_qs;
    }

    void cells()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, missType);
        QFETCH(QString, qualifier);
        QFETCH(int, jumpType);
        QFETCH(QString, extTag);
        QFETCH(bool, showExtTag);
        QFETCH(bool, doubleLine);
        QFETCH(QRect, frame);
        QFETCH(QRect, tagRect);
        QFETCH(QRect, comRect);
        QFETCH(QRect, staRect);
        QFETCH(QRect, extraTagRect);
        QFETCH(QString, tagText);
        QFETCH(QString, comText);

        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        CKELMethod *n = f.N(id);
        n->w = w;
        n->h = h;
        n->missType = missType;
        n->qualifier = qualifier;
        n->jumpType = jumpType;
        n->hasExtendedTag = !extTag.isEmpty();
        n->extendedTag = extTag;
        n->displayExtendedTag = showExtTag;
        n->doubleLine = doubleLine;

        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.OwnRect(), frame);
        QCOMPARE(shape.FrameCell()->rect, frame);
        QCOMPARE(shape.TagCell()->rect, tagRect);
        QCOMPARE(shape.ComCell()->rect, comRect);
        QCOMPARE(shape.StaCell()->rect, staRect);
        QCOMPARE(shape.TagCell()->text, tagText);
        QCOMPARE(shape.ComCell()->text, comText);
        QVERIFY(!shape.TagCell()->nullPen);
        QVERIFY(shape.ComCell()->nullPen);
        QVERIFY(shape.StaCell()->nullPen);
        if (extraTagRect.isNull()) {
            QVERIFY(!shape.ExtraTagCell());
        } else {
            QVERIFY(shape.ExtraTagCell());
            QCOMPARE(shape.ExtraTagCell()->rect, extraTagRect);
            QCOMPARE(shape.ExtraTagCell()->text, extTag);
        }
        QCOMPARE(shape.InnerFrameCell() != nullptr, doubleLine);
        if (doubleLine)
            QCOMPARE(shape.InnerFrameCell()->rect, box(3, 3, frame.width() - 3, frame.height() - 3));
        // links arrive at the top centre and leave at the bottom centre
        QCOMPARE(shape.PortCount(), 2);
        QCOMPARE(shape.GetPortByIndex(0)->at, QPointF(frame.width() / 2.0, 0));
        QCOMPARE(shape.GetPortByIndex(1)->at, QPointF(frame.width() / 2.0, frame.height()));
    }

    void behaviorCell_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("nonDeterministic");
        QTest::addColumn<QString>("text");
        QTest::newRow("state realisation") << 1 << false << u"[open]"_qs;
        QTest::newRow("selection") << 2 << false << u"?open?"_qs;
        QTest::newRow("event") << 3 << false << u"??open??"_qs;
        QTest::newRow("guard") << 4 << false << u"???open???"_qs;
        QTest::newRow("external input") << 5 << false << u">>open<<"_qs;
        QTest::newRow("internal output") << 8 << false << u"<open>"_qs;
        QTest::newRow("type outside the range has no brackets") << 11 << false << u"open"_qs;
        QTest::newRow("type zero has no brackets") << 0 << false << u"open"_qs;
        QTest::newRow("nondeterministic") << 1 << true << u"[] [open]"_qs;
    }

    void behaviorCell()
    {
        QFETCH(int, type);
        QFETCH(bool, nonDeterministic);
        QFETCH(QString, text);
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        f.N(id)->behavior = u"open"_qs;
        f.N(id)->behaviorType = type;
        f.N(id)->nonDeterministic = nonDeterministic;
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.StaCell()->text, text);
    }

    void extraInformationRows_data()
    {
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("extTag");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << QStringList() << QStringList() << true << false << 0;
        QTest::newRow("two rows") << QStringList{u"A"_qs, u"B"_qs} << QStringList{u"first"_qs, u"second"_qs} << true
                                  << false << 2;
        QTest::newRow("not shown") << QStringList{u"A"_qs} << QStringList{u"first"_qs} << false << false << 0;
        QTest::newRow("with the extended tag column")
            << QStringList{u"A"_qs} << QStringList{u"first"_qs} << true << true << 1;
        QTest::newRow("rows stop at the shorter list")
            << QStringList{u"A"_qs, u"B"_qs, u"C"_qs} << QStringList{u"first"_qs} << true << false << 1;
    }

    void extraInformationRows()
    {
        QFETCH(QStringList, tags);
        QFETCH(QStringList, names);
        QFETCH(bool, shown);
        QFETCH(bool, extTag);
        QFETCH(int, rows);
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        CKELMethod *n = f.N(id);
        n->extraInfoTags = tags;
        n->extraInfoNames = names;
        n->displayExtraInfo = shown;
        n->hasExtendedTag = extTag;
        n->extendedTag = extTag ? u"X"_qs : QString();
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.ExtraInfoRows(), rows);
        for (int i = 0; i < rows; ++i) {
            const int y = 50 + 25 * i;
            QCOMPARE(shape.ExtraInfoTagCell(i)->rect, box(0, y, 50, y + 25));
            QCOMPARE(shape.ExtraInfoTagCell(i)->text, tags[i]);
            QCOMPARE(shape.ExtraInfoNameCell(i)->rect, box(50, y, 200, y + 25));
            QCOMPARE(shape.ExtraInfoNameCell(i)->text, names[i]);
            QCOMPARE(shape.ExtraInfoExtTagCell(i) != nullptr, extTag);
            if (extTag)
                QCOMPARE(shape.ExtraInfoExtTagCell(i)->rect, box(200, y, 250, y + 25));
        }
        // the shape's height takes the rows in, and the outgoing port sits below them
        QCOMPARE(shape.GetShapeHeight(), 50 + 25 * rows);
        QCOMPARE(shape.GetPortByIndex(1)->at.y(), 50.0 + 25 * rows);
        QCOMPARE(shape.OwnRect().height(), 50);
    }

    void statusColours_data()
    {
        QTest::addColumn<int>("missType");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("evStyle");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("frameWidth");
        QTest::newRow("in requirement") << 0 << 0 << 0 << 0x00FF00u << 1;
        QTest::newRow("implied") << 1 << 0 << 0 << 0x00FFFFu << 1;
        QTest::newRow("missing") << 2 << 0 << 0 << 0x0000FFu << 1;
        QTest::newRow("simulation mark 1 over missing") << 2 << 1 << 0 << 0xFFFFFFu << 1;
        QTest::newRow("simulation mark 2") << 1 << 2 << 0 << CKELNodeShape::kCurrentStepFill << 1;
        QTest::newRow("simulation mark 3") << 0 << 3 << 0 << CKELNodeShape::kEarlierStepFill << 1;
        QTest::newRow("dropped evolution node is grey") << 2 << 0 << -1 << 0xD2D2D2u << 1;
        QTest::newRow("grey even while simulated") << 0 << 3 << -1 << 0xD2D2D2u << 1;
        QTest::newRow("added evolution node is bold") << 0 << 0 << 1 << 0x00FF00u << 3;
    }

    void statusColours()
    {
        QFETCH(int, missType);
        QFETCH(int, mark);
        QFETCH(int, evStyle);
        QFETCH(quint32, colour);
        QFETCH(int, frameWidth);
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        f.N(id)->missType = missType;
        f.N(id)->SetEvStyle(evStyle);
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m, mark);
        QCOMPARE(shape.FrameCell()->brushType, 1);
        QCOMPARE(Canvas::ToColorRef(shape.FrameCell()->bkColor), colour);
        QCOMPARE(shape.FrameCell()->lineWidth, frameWidth);
    }

    void highlight_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("integration point") << 1 << 0xFF0000u;
        QTest::newRow("missing precondition") << 2 << 0x0000FFu;
        QTest::newRow("matching node") << 3 << CKELNodeShape::kMatchingOutline;
    }

    void highlight()
    {
        QFETCH(int, code);
        QFETCH(quint32, colour);
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        f.N(id)->SetEvStyle(1);
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m);
        QVERIFY(shape.NullPen());
        shape.Highlight(code);
        QVERIFY(!shape.NullPen());
        QCOMPARE(Canvas::ToColorRef(shape.LineColor()), colour);
        QCOMPARE(shape.LineWidth(), 4);
        // another code keeps the colour
        shape.Highlight(9);
        QCOMPARE(Canvas::ToColorRef(shape.LineColor()), colour);
        // cleared, the node looks as before: no wide black outline is left
        shape.ClearHighlight();
        QVERIFY(shape.NullPen());
        QCOMPARE(shape.FrameCell()->lineWidth, 3);
        // the code given decides on every refresh
        shape.RefreshFromModel(f.m, 0, code);
        QCOMPARE(shape.HighlightCode(), code);
        QCOMPARE(Canvas::ToColorRef(shape.LineColor()), colour);
        shape.RefreshFromModel(f.m);
        QVERIFY(shape.NullPen());
    }

    void toolTips()
    {
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m);
        // a node says what it is and which requirement it belongs to
        const QString node = u"Node Door "_qs + f.N(id)->GetDecoratedBehavior();
        f.N(id)->requirementTag.clear();
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.HoverText(), node);
        f.N(id)->requirementTag = u"R7"_qs;
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.HoverText(), node + u"\nRequirement R7"_qs);
        QVERIFY(f.m.AddRequirement(u"R7"_qs, u"The door opens."_qs));
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.HoverText(), node + u"\nRequirement R7: The door opens."_qs);
        // an evolution node names every version it occurs in
        f.m.AddRBT(u"U"_qs, {}, 50);
        const int other = f.m.FindTree(KEL::RBTs, u"U"_qs)->GetId();
        f.N(id)->SetEvolution(true);
        f.N(id)->EvTags() = {f.tree, other, 9999};
        shape.RefreshFromModel(f.m);
        QCOMPARE(shape.HoverText(), u"Evolution Tree Node: \n\r Version: 1.0->T, 1.0->U, #9999"_qs);
    }

    void linkShapes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("arrow");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("width");
        QTest::newRow("ordinary") << 1 << 0 << int(CLinkShape::FilledArrow) << u"A connection"_qs << 0u << 1;
        QTest::newRow("atomic has no head")
            << 2 << 0 << int(CLinkShape::NoArrow) << u"An atomic connection"_qs << 0u << 1;
        QTest::newRow("into a dropped node")
            << 1 << -1 << int(CLinkShape::FilledArrow) << u"A connection"_qs << 0xD2D2D2u << 1;
        QTest::newRow("into an added node")
            << 2 << 1 << int(CLinkShape::NoArrow) << u"An atomic connection"_qs << 0u << 3;
    }

    void linkShapes()
    {
        QFETCH(int, kind);
        QFETCH(int, status);
        QFETCH(int, arrow);
        QFETCH(QString, tip);
        QFETCH(quint32, colour);
        QFETCH(int, width);
        LinkedPair pair(kind, status);
        CKELLinkShape *link = pair.link;
        QCOMPARE(link->EndArrowType(), arrow);
        QCOMPARE(link->toolTip(), tip);
        QCOMPARE(Canvas::ToColorRef(link->LineColor()), colour);
        QCOMPARE(link->LineWidth(), width);
        QCOMPARE(link->StartPort(), 1);
        QCOMPARE(link->EndPort(), 0);
        QCOMPARE(link->Line(), QLineF(100, 50, 100, 100));
    }

    // Wherever a child is dragged, its link leaves the parent's bottom, drops
    // onto the child's top with the whole head above the box, and runs under
    // neither box.
    void linkAfterMove_data()
    {
        QTest::addColumn<QPointF>("childAt");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("straight");
        QTest::newRow("straight below") << QPointF(0, 100) << 1 << true;
        QTest::newRow("far aside below") << QPointF(600, 100) << 1 << false;
        QTest::newRow("level beside") << QPointF(300, 0) << 1 << false;
        QTest::newRow("above to the right") << QPointF(300, -150) << 1 << false;
        QTest::newRow("above to the left") << QPointF(-300, -150) << 1 << false;
        QTest::newRow("above, overlapping across") << QPointF(50, -120) << 1 << false;
        QTest::newRow("atomic above") << QPointF(50, -120) << 2 << false;
    }

    void linkAfterMove()
    {
        QFETCH(QPointF, childAt);
        QFETCH(int, kind);
        QFETCH(bool, straight);
        LinkedPair pair(kind, 0);
        CKELLinkShape *link = pair.link;
        CKELNodeShape *pa = pair.parent;
        CKELNodeShape *pb = pair.child;
        pb->setPos(childAt); // the drag: the link follows

        const QPolygonF path = link->Path();
        QCOMPARE(path.first(), pa->PortScenePos(CKELNodeShape::BottomPort));
        QCOMPARE(path.last(), pb->PortScenePos(CKELNodeShape::TopPort));
        QCOMPARE(path.size() == 2, straight);
        QVERIFY2(path[1].y() > path[0].y(), "leaves the parent downward");
        const QLineF last(path[path.size() - 2], path.last());
        QVERIFY2(last.dy() > 0, "enters the child from above");
        if (!straight)
            QCOMPARE(last.dx(), 0.0);
        const QSizeF head = kind == 1 ? link->ArrowHeadSize() : QSizeF(0, 0);
        QVERIFY(last.length() >= head.width());
        // both wings of the head stay above the child's top
        const QPointF dir = (last.p2() - last.p1()) / last.length();
        const QPointF base = last.p2() - dir * head.width();
        for (qreal side : {-1.0, 1.0})
            QVERIFY(base.y() + side * dir.x() * head.height() <= last.p2().y());
        for (const QRect &box : {pa->DrawnRect(), pb->DrawnRect()}) {
            const QRectF inner = QRectF(box).adjusted(1, 1, -1, -1);
            for (qsizetype i = 1; i < path.size(); ++i) {
                for (int step = 0; step <= 40; ++step) {
                    const QPointF p = path[i - 1] + (path[i] - path[i - 1]) * (step / 40.0);
                    QVERIFY2(!inner.contains(p), qPrintable(QStringLiteral("stretch %1 runs under a box").arg(i)));
                }
            }
        }
    }

    // What reaches the pixels: the fill of the box and the outline of a mark.
    void paintedColours_data()
    {
        QTest::addColumn<int>("missType");
        QTest::addColumn<int>("evStyle");
        QTest::addColumn<int>("highlight");
        QTest::addColumn<QColor>("inside");
        QTest::addColumn<QColor>("edge");
        QTest::newRow("plain") << 0 << 0 << 0 << QColor(0, 255, 0) << QColor(Qt::black);
        QTest::newRow("missing") << 2 << 0 << 0 << QColor(255, 0, 0) << QColor(Qt::black);
        QTest::newRow("dropped") << 0 << -1 << 0 << QColor(0xD2, 0xD2, 0xD2) << QColor(Qt::black);
        QTest::newRow("integration point") << 0 << 0 << 1 << QColor(0, 255, 0) << QColor(0, 0, 255);
        QTest::newRow("missing precondition") << 0 << 0 << 2 << QColor(0, 255, 0) << QColor(255, 0, 0);
    }

    void paintedColours()
    {
        QFETCH(int, missType);
        QFETCH(int, evStyle);
        QFETCH(int, highlight);
        QFETCH(QColor, inside);
        QFETCH(QColor, edge);
        Fixture f;
        const int id = f.Add(0, u"Door"_qs);
        f.N(id)->missType = missType;
        f.N(id)->SetEvStyle(evStyle);
        f.N(id)->behavior.clear(); // no text where the pixels are read
        CKELNodeShape shape(id);
        shape.RefreshFromModel(f.m, 0, highlight);
        const QImage image = paintShape(shape);
        // the picture is offset by the margin of 10
        QCOMPARE(image.pixelColor(10 + 190, 10 + 45), inside);
        QCOMPARE(image.pixelColor(10 + 120, 10), edge);
        QCOMPARE(image.pixelColor(3, 3), QColor(Qt::white));
    }
};

QTEST_MAIN(TestKelNodeShape)
#include "tst_kelnodeshape.moc"
