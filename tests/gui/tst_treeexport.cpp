// Pictures of a tree: the right type and size, all of the tree, the
// notation's colours whatever the desktop theme.
#include "editortestkit.h"

#include "canvas/canvasscene.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/treeexport.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using EditorTestKit::Fixture;

namespace {

// A root with two children; 0..440 wide, 0..115 high, plus the margin.
struct SmallTree
{
    Fixture f;
    std::unique_ptr<CTessel1Doc> doc;
    SmallTree()
    {
        const int a = f.Add(0, u"Oven"_qs, 110, 0);
        f.Add(a, u"Door"_qs, 0, 65);
        f.Add(a, u"Lamp"_qs, 210, 65);
        doc = std::make_unique<CTessel1Doc>(f.m, f.tree);
    }
};

QByteArray head(const QString &path, int n)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(n) : QByteArray();
}

} // namespace

namespace {

struct SvgParts
{
    QStringList items; // every drawn element with its style, numbers and text, sorted
    QHash<QString, int> counts;
    QList<QPair<QPointF, QPointF>> links; // first and last point of each path
    QStringList texts;
    QSize viewBox;
    int unstyled = 0; // rects, paths and texts without a class
    QString error;
};

SvgParts readSvg(const QString &path)
{
    SvgParts parts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return parts;
    QXmlStreamReader xml(&file);
    bool inDefs = false;
    QHash<QString, QString> styles; // by class
    static const QRegularExpression rule(u"\\.(\\w+)\\{([^}]*)\\}"_qs);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"defs")
            inDefs = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const QXmlStreamAttributes a = xml.attributes();
        ++parts.counts[name];
        if (name == u"defs")
            inDefs = true;
        if (name == u"style") {
            for (const auto &m : rule.globalMatch(xml.readElementText()))
                styles.insert(m.captured(1), m.captured(2));
        }
        if (name == u"svg") {
            const QStringList box = a.value(u"viewBox"_qs).toString().split(u' ');
            parts.viewBox = QSize(box.value(2).toInt(), box.value(3).toInt());
        }
        if (inDefs || (name != u"rect" && name != u"path" && name != u"text"))
            continue;
        parts.unstyled += !a.hasAttribute(u"class"_qs) && a.value(u"width"_qs) != u"100%";
        QString item = name + u' ' + styles.value(a.value(u"class"_qs).toString());
        for (const char *key : {"x", "y", "width", "height", "d"})
            item += u' ' + a.value(QLatin1String(key)).toString();
        if (name == u"text") {
            parts.texts.append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            item += u' ' + parts.texts.last();
        }
        if (name == u"path" && a.hasAttribute(u"class"_qs)) {
            static const QRegularExpression number(u"-?[0-9.]+"_qs);
            QList<qreal> v;
            for (const auto &m : number.globalMatch(a.value(u"d"_qs).toString()))
                v.append(m.captured().toDouble());
            if (v.size() >= 4)
                parts.links.append({QPointF(v[0], v[1]), QPointF(v[v.size() - 2], v.last())});
        }
        parts.items.append(item);
    }
    parts.error = xml.hasError() ? xml.errorString() : QString();
    parts.items.sort();
    return parts;
}

} // namespace

class TestTreeExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<QSize>("size");
        // the drawing spans -10..420 by -10..125 (the tree and a margin of 10)
        QTest::newRow("png at 1") << u"t.png"_qs << 1.0 << QByteArray("\x89PNG") << QSize(430, 135);
        QTest::newRow("png at 2") << u"t2.PNG"_qs << 2.0 << QByteArray("\x89PNG") << QSize(860, 270);
        QTest::newRow("svg") << u"t.svg"_qs << 1.0 << QByteArray("<?xml") << QSize(430, 135);
        QTest::newRow("pdf") << u"t.pdf"_qs << 1.0 << QByteArray("%PDF") << QSize(430, 135);
    }

    void formats()
    {
        QFETCH(QString, name);
        QFETCH(double, scale);
        QFETCH(QByteArray, magic);
        QFETCH(QSize, size);
        SmallTree t;
        const QString path = m_dir.filePath(name);
        const TreeExport::Result r = TreeExport::Export(t.doc->Scene(), path, scale);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(QFileInfo(path).size() > 100);
        QCOMPARE(head(path, magic.size()), magic);
        QCOMPARE(r.size, size);
        switch (TreeExport::FormatOf(path)) {
        case TreeExport::Format::Png:
            QCOMPARE(QImageReader(path).size(), size);
            QCOMPARE(r.usedScale, scale);
            break;
        case TreeExport::Format::Svg: {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            QVERIFY(text.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height())));
            QVERIFY(text.contains(u"Oven"_qs) && text.contains(u"Lamp"_qs)); // texts stay text
            break;
        }
        case TreeExport::Format::Pdf: {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray pdf = f.readAll();
            const QRegularExpression box(u"/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"_qs);
            const auto m = box.match(QString::fromLatin1(pdf));
            QVERIFY(m.hasMatch());
            QVERIFY(qAbs(m.captured(1).toDouble() - size.width()) < 1.5);
            QVERIFY(qAbs(m.captured(2).toDouble() - size.height()) < 1.5);
            break;
        }
        case TreeExport::Format::Unknown: QFAIL("unknown format"); break;
        }
    }

    // A scale too large for one picture shrinks until all of the tree fits.
    void pngSizeNeverCutsTheTree_data()
    {
        QTest::addColumn<QRectF>("drawing");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("reduced");
        QTest::newRow("small at 4") << QRectF(0, 0, 500, 300) << 4.0 << false;
        QTest::newRow("very wide") << QRectF(0, 0, 2000000, 400) << 1.0 << true;
        QTest::newRow("very tall") << QRectF(0, 0, 300, 90000) << 1.0 << true;
        QTest::newRow("too many pixels") << QRectF(0, 0, 20000, 20000) << 1.0 << true;
        QTest::newRow("nonsense scale") << QRectF(0, 0, 500, 300) << -3.0 << false;
    }

    void pngSizeNeverCutsTheTree()
    {
        QFETCH(QRectF, drawing);
        QFETCH(double, scale);
        QFETCH(bool, reduced);
        double used = 0;
        const QSize size = TreeExport::PngSize(drawing, scale, &used);
        QCOMPARE(used < (scale > 0 ? scale : 1.0), reduced);
        QVERIFY(size.width() <= TreeExport::kMaxPngSide && size.height() <= TreeExport::kMaxPngSide);
        QVERIFY(qint64(size.width()) * size.height() <= TreeExport::kMaxPngPixels + size.width() + size.height());
        // the whole drawing at the scale used, rounded up to whole pixels
        QVERIFY(size.width() >= drawing.width() * used - 0.001 && size.width() < drawing.width() * used + 1);
        QVERIFY(size.height() >= drawing.height() * used - 0.001 && size.height() < drawing.height() * used + 1);
    }

    void largeTreeFitsInOnePicture()
    {
        Fixture f;
        // 400 roots side by side: far wider than the largest picture at 100 %
        for (int i = 0; i < 400; ++i)
            f.Add(0, u"N"_qs, i * 210, 0);
        f.Add(0, u"Last"_qs, 400 * 210, 3000);
        CTessel1Doc doc(f.m, f.tree);
        const QString path = m_dir.filePath(u"wide.png"_qs);
        const TreeExport::Result r = TreeExport::Export(doc.Scene(), path, 1.0);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.usedScale < 1.0);
        QImageReader reader(path);
        reader.setAllocationLimit(0); // larger than a reader takes by default
        const QImage image = reader.read();
        QCOMPARE(image.size(), r.size);
        // the last node, far right and low, is in the picture: its green shows
        bool green = false;
        for (int x = image.width() - 1; x > image.width() * 0.95 && !green; --x) {
            for (int y = image.height() - 1; y > image.height() * 0.9 && !green; --y)
                green = image.pixelColor(x, y) == QColor(0, 255, 0);
        }
        QVERIFY(green);
    }

    void coloursIgnoreTheDesktopTheme()
    {
        const QPalette saved = QApplication::palette();
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(20, 20, 20));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(230, 230, 230));
        QApplication::setPalette(dark);
        SmallTree t;
        const QString path = m_dir.filePath(u"dark.png"_qs);
        QVERIFY(TreeExport::Export(t.doc->Scene(), path, 1.0).ok);
        QApplication::setPalette(saved);
        const QImage image(path);
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));                    // ground
        QCOMPARE(image.pixelColor(10 + 110 + 195, 10 + 45), QColor(0, 255, 0)); // inside the root
        // text is dark on the green box, not the theme's light text
        int darkText = 0;
        for (int x = 10 + 160; x < 10 + 300; ++x) {
            for (int y = 10 + 2; y < 10 + 24; ++y)
                darkText += image.pixelColor(x, y).lightness() < 60;
        }
        QVERIFY(darkText > 10);
    }

    void collapsedSubtreesStayHidden()
    {
        SmallTree t;
        const int root = t.f.Tree()->Roots().first()->GetId();
        const QRectF whole = t.doc->Scene().DrawingArea();
        t.doc->SetCollapsed(root, true);
        const QRectF shown = t.doc->Scene().DrawingArea();
        QVERIFY(shown.height() < whole.height());
        QVERIFY(shown.width() < whole.width());
    }

    void failuresSayWhy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("unknown ending") << u"tree.gif"_qs;
        QTest::newRow("no folder") << u"/no/such/folder/tree.png"_qs;
    }

    void failuresSayWhy()
    {
        QFETCH(QString, path);
        SmallTree t;
        const TreeExport::Result r =
            TreeExport::Export(t.doc->Scene(), path.startsWith(u'/') ? path : m_dir.filePath(path), 1);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(path)));
    }

    // A poster's part is cut at its edge: nothing of it, texts included, may
    // run over the page's label or into the next part.
    void partOfAPosterStaysInItsPlace()
    {
        SmallTree t;
        const QRectF drawing = t.doc->Scene().DrawingArea();
        QImage page(drawing.size().toSize(), QImage::Format_RGB32);
        page.fill(Qt::white);
        const QRectF part(0, 0, page.width(), 40); // through the root's texts
        {
            QPainter p(&page);
            p.setClipRect(part);
            t.doc->Scene().RenderPlain(&p, QRectF(page.rect()), drawing);
        }
        int outside = 0;
        for (int y = int(part.bottom()) + 1; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x)
                outside += page.pixel(x, y) != qRgb(255, 255, 255);
        }
        QCOMPARE(outside, 0);
    }

    // SVG straight from the records: a box, a link and a text are one element
    // each, styles are shared classes, whatever a user typed stays text in a
    // file that any XML reader takes, and the picture is the one the canvas
    // gives: the same elements at the layout's places, each link from its
    // parent's bottom to its child's top.
    void svgHasOneElementPerPart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("lampAt");
        QTest::addColumn<bool>("collapsed");
        QTest::addColumn<bool>("marked");
        const QPoint below(210, 65);
        QTest::newRow("plain names") << u"Lamp"_qs << below << false << false;
        QTest::newRow("markup in a name") << u"<b>&\"Lamp\"'</svg>"_qs << below << false << false;
        QTest::newRow("control characters") << u"La\u0001mp\u001F\ttab"_qs << below << false << false;
        QTest::newRow("beyond latin") << u"Lampe \u00e9t\u00e9 \u20ac \u4e2d"_qs << below << false << false;
        QTest::newRow("beside its parent: a bent link") << u"Lamp"_qs << QPoint(330, 0) << false << false;
        QTest::newRow("collapsed root") << u"Lamp"_qs << below << true << false;
        QTest::newRow("matching mark and a simulation step") << u"Lamp"_qs << below << false << true;
    }

    void svgHasOneElementPerPart()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, lampAt);
        QFETCH(bool, collapsed);
        QFETCH(bool, marked);
        Fixture f;
        const int a = f.Add(0, u"Oven"_qs, 110, 0);
        const int door = f.Add(a, u"Door"_qs, 0, 65);
        f.Add(a, name, lampAt.x(), lampAt.y());
        CTessel1Doc doc(f.m, f.tree);
        if (collapsed)
            doc.SetCollapsed(a, true);
        if (marked) {
            doc.IntegrationMarks().codes.insert(a, 3);
            doc.Reconcile();
            doc.SetSimulationMark(door, 2);
        }
        const QString fromRecords = m_dir.filePath(u"records.svg"_qs);
        const QString fromCanvas = m_dir.filePath(u"canvas.svg"_qs);
        const TreeExport::Result r = TreeExport::ExportTreeSvg(f.m, f.tree, fromRecords, &doc, ColourScheme::Current());
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(TreeExport::Export(doc.Scene(), fromCanvas, 1).ok);
        const SvgParts svg = readSvg(fromRecords);
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.items, readSvg(fromCanvas).items);

        const QRectF area = doc.Scene().DrawingArea();
        QCOMPARE(svg.viewBox, area.size().toSize());
        const int shown = collapsed ? 1 : 3;
        QCOMPARE(svg.counts.value(u"text"_qs), 3 * shown);
        QCOMPARE(svg.counts.value(u"g"_qs), 0);
        QCOMPARE(svg.unstyled, collapsed ? 2 : 0); // the collapse mark's box and plus
        QCOMPARE(svg.links.size(), shown - 1);
        for (const CKELMethod *n : f.Tree()->Nodes()) {
            if (!doc.IsShown(n->GetId()))
                continue;
            // the box's frame where the layout put it
            const QPointF at = QPointF(n->x, n->y) - area.topLeft();
            QVERIFY2(
                svg.items.filter(QRegularExpression(QStringLiteral("^rect \\S* %1 %2 ").arg(at.x()).arg(at.y()))).size()
                    >= 1,
                qPrintable(svg.items.join(u'\n')));
            if (!n->ParentId())
                continue;
            // its link from the parent's bottom port into its own top port
            const CKELNodeShape *child = doc.NodeShape(n->GetId());
            const CKELNodeShape *parent = doc.NodeShape(n->ParentId());
            const QPair<QPointF, QPointF> expected{parent->PortScenePos(CKELNodeShape::BottomPort) - area.topLeft(),
                                                   child->PortScenePos(CKELNodeShape::TopPort) - area.topLeft()};
            QVERIFY(svg.links.contains(expected));
        }
        // the name as typed, less what XML cannot carry; wrapped lines join up
        const QRegularExpression unwritten(u"[\\x00-\\x1F\\s]"_qs);
        if (!collapsed)
            QVERIFY2(svg.texts.join(QString()).remove(unwritten).contains(QString(name).remove(unwritten)),
                     qPrintable(svg.texts.join(u'|')));
    }

    // Parts of a drawing: together they cover all of it, none is larger than
    // asked, neighbours overlap by what was asked.
    void tilesCoverTheDrawing_data()
    {
        QTest::addColumn<QRectF>("drawing");
        QTest::addColumn<QSizeF>("part");
        QTest::addColumn<qreal>("overlap");
        QTest::addColumn<QSize>("grid");
        QTest::newRow("fits in one") << QRectF(-10, -10, 300, 200) << QSizeF(400, 400) << 0.0 << QSize(1, 1);
        QTest::newRow("exactly two across") << QRectF(0, 0, 800, 100) << QSizeF(400, 400) << 0.0 << QSize(2, 1);
        QTest::newRow("a sliver more") << QRectF(0, 0, 801, 100) << QSizeF(400, 400) << 0.0 << QSize(3, 1);
        QTest::newRow("overlapping") << QRectF(0, 0, 1000, 1000) << QSizeF(400, 400) << 20.0 << QSize(3, 3);
        QTest::newRow("wide and shallow")
            << QRectF(-10, 5, 2000000, 400) << QSizeF(32000, 32000) << 0.0 << QSize(63, 1);
    }

    void tilesCoverTheDrawing()
    {
        QFETCH(QRectF, drawing);
        QFETCH(QSizeF, part);
        QFETCH(qreal, overlap);
        QFETCH(QSize, grid);
        const QList<TreeExport::Tile> tiles = TreeExport::TilesOf(drawing, part, overlap);
        QCOMPARE(tiles.size(), qsizetype(grid.width()) * grid.height());
        QCOMPARE(tiles.last().column + 1, grid.width());
        QCOMPARE(tiles.last().row + 1, grid.height());
        QRectF covered;
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            const QRectF &source = tiles[i].source;
            QVERIFY(source.width() <= part.width() && source.height() <= part.height());
            QVERIFY(drawing.contains(source));
            covered |= source;
            if (tiles[i].column > 0)
                QVERIFY(qAbs(tiles[i - 1].source.right() - source.left() - overlap) < 1e-6);
        }
        QCOMPARE(covered, drawing);
    }

    // A tree far too wide for one picture comes out as numbered tiles at the
    // scale asked, together as large as the drawing.
    void pngTilesHoldTheWholeTree()
    {
        Fixture f;
        for (int i = 0; i < 12; ++i)
            f.Add(0, u"N"_qs, i * 210, 0);
        CTessel1Doc doc(f.m, f.tree);
        const QRectF drawing = doc.Scene().DrawingArea();
        const QString path = m_dir.filePath(u"wide.png"_qs);
        const TreeExport::Result r = TreeExport::ExportPngTiles(doc.Scene(), path, 2.0, QSize(1000, 800));
        QVERIFY2(r.ok, qPrintable(r.error));
        const int count = r.size.width() * r.size.height();
        QCOMPARE(r.size, QSize(int(std::ceil(drawing.width() * 2 / 1000)), 1));
        int width = 0;
        for (int n = 1; n <= count; ++n) {
            const QSize size = QImageReader(TreeExport::TileFileName(path, n, count)).size();
            QVERIFY(size.width() <= 1000 && size.height() == int(std::ceil(drawing.height() * 2)));
            width += size.width();
        }
        QCOMPARE(width, int(std::ceil(drawing.width() * 2)));
        QVERIFY(!QFile::exists(TreeExport::TileFileName(path, count + 1, count)));
        QCOMPARE(TreeExport::TileFileName(u"/a/b.c/tree.png"_qs, 7, 12), u"/a/b.c/tree-007.png"_qs);
    }

    void posterHasAPagePerPart_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("two across") << 2 << 1;
        QTest::newRow("three by two") << 3 << 2;
    }

    void posterHasAPagePerPart()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        SmallTree t;
        const QString path = m_dir.filePath(u"poster.pdf"_qs);
        const TreeExport::Result r = TreeExport::ExportPdfPoster(t.doc->Scene(), path, columns, rows);
        QVERIFY2(r.ok, qPrintable(r.error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString pdf = QString::fromLatin1(f.readAll());
        QCOMPARE(pdf.count(QRegularExpression(u"/Type\\s*/Page\\b"_qs)), columns * rows);
        // an A4 sheet, not a page the size of the drawing
        QVERIFY(pdf.contains(QRegularExpression(u"/MediaBox \\[0 0 (595|841|842)"_qs)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestTreeExport)
#include "tst_treeexport.moc"
