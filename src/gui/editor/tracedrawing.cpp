#include "tracedrawing.h"

#include "canvas/canvasscene.h"
#include "canvas/svgwriter.h"
#include "canvas/compositeshape.h"
#include "model/keldatamanager.h"
#include "tessel1doc.h"

#include <QBuffer>

QByteArray TraceDrawing(CKELDataManager &manager, int treeId)
{
    const CTessel1Doc doc(manager, treeId);
    const CCanvasScene &scene = doc.Scene();
    if (!CSvgWriter::CanWrite(scene))
        return {};
    const QRectF area = scene.DrawingArea();
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    const CKELData *tree = manager.Lookup(treeId);
    if (!CSvgWriter::Write(scene, area, buffer, tree ? tree->GetName() : QString(), QString()))
        return {};
    // inline in a page: no XML declaration
    if (svg.startsWith("<?xml")) {
        const qsizetype end = svg.indexOf('\n');
        svg.remove(0, end + 1);
    }
    const qsizetype close = svg.lastIndexOf("</svg>");
    if (close < 0)
        return {};
    QByteArray marks;
    for (auto it = scene.Shapes().cbegin(); it != scene.Shapes().cend(); ++it) {
        const QRectF r = it.value()->sceneBoundingRect().translated(-area.topLeft());
        marks += "<rect class=\"hit\" id=\"n" + QByteArray::number(it.key()) + "\" x=\"" + QByteArray::number(r.x())
                 + "\" y=\"" + QByteArray::number(r.y()) + "\" width=\"" + QByteArray::number(r.width())
                 + "\" height=\"" + QByteArray::number(r.height()) + "\"/>\n";
    }
    svg.insert(close, marks);
    return svg;
}
