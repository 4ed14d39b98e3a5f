#include "canvasedits.h"

#include "canvasactions.h"
#include "canvasscene.h"
#include "compositeshape.h"
#include "linkshape.h"

namespace CanvasEdits {

bool ApplyFormat(CCanvasScene &scene, const QString &text, const std::function<void(Canvas::CShapeFormat &)> &change)
{
    QList<CFormatAction::Entry> entries;
    for (QGraphicsItem *i : scene.SelectionOrder()) {
        CFormatAction::Entry e;
        if (i->type() == Canvas::CompositeItem) {
            const auto *s = static_cast<CCompositeShape *>(i);
            e.key = s->Key();
            e.before = s->Format();
        } else if (i->type() == Canvas::LinkItem) {
            const auto *l = static_cast<CLinkShape *>(i);
            if (!l->GetStartShape() || !l->GetEndShape())
                continue;
            e.key = l->StartKey();
            e.endKey = l->EndKey();
            e.before = l->Format();
        } else {
            continue;
        }
        e.after = e.before;
        change(e.after);
        if (e.after != e.before)
            entries.append(e);
    }
    if (entries.isEmpty())
        return false;
    return scene.Execute(std::make_unique<CFormatAction>(scene, text, entries));
}

bool SetFaceName(CCanvasScene &scene, const QString &face)
{
    return ApplyFormat(scene, QObject::tr("Font"), [&face](Canvas::CShapeFormat &f) { f.faceName = face; });
}

bool SetPointSize(CCanvasScene &scene, int pointSize)
{
    if (pointSize <= 0)
        return false;
    return ApplyFormat(scene, QObject::tr("Font Size"),
                       [pointSize](Canvas::CShapeFormat &f) { f.pointSize = pointSize; });
}

bool SetFill(CCanvasScene &scene, const QColor &colour)
{
    if (!colour.isValid())
        return false;
    return ApplyFormat(scene, QObject::tr("Fill Colour"), [&colour](Canvas::CShapeFormat &f) { f.fill = colour; });
}

bool SetLineColor(CCanvasScene &scene, const QColor &colour)
{
    if (!colour.isValid())
        return false;
    return ApplyFormat(scene, QObject::tr("Line Colour"), [&colour](Canvas::CShapeFormat &f) { f.lineColor = colour; });
}

bool SetLineWidth(CCanvasScene &scene, int width)
{
    if (width < 0)
        return false;
    return ApplyFormat(scene, QObject::tr("Line Width"), [width](Canvas::CShapeFormat &f) { f.lineWidth = width; });
}

bool Align(CCanvasScene &scene, Alignment how)
{
    QList<const CCompositeShape *> shapes;
    for (QGraphicsItem *i : scene.SelectionOrder()) {
        if (i->type() == Canvas::CompositeItem)
            shapes.append(static_cast<CCompositeShape *>(i));
    }
    if (shapes.size() < 2)
        return false;
    auto frameOf = [](const CCompositeShape *s) { return s->OwnRect().translated(s->pos().toPoint()); };
    const QRect ref = frameOf(shapes.first());
    QList<CGeometryAction::Entry> entries;
    for (qsizetype i = 1; i < shapes.size(); ++i) {
        const QRect r = frameOf(shapes[i]);
        QPoint pos = r.topLeft();
        QSize size = r.size();
        switch (how) {
        case Alignment::Left: pos.setX(ref.left()); break;
        case Alignment::Centre: pos.setX(ref.left() + (ref.width() - r.width()) / 2); break;
        case Alignment::Right: pos.setX(ref.left() + ref.width() - r.width()); break;
        case Alignment::Top: pos.setY(ref.top()); break;
        case Alignment::Middle: pos.setY(ref.top() + (ref.height() - r.height()) / 2); break;
        case Alignment::Bottom: pos.setY(ref.top() + ref.height() - r.height()); break;
        case Alignment::SameWidth: size.setWidth(ref.width()); break;
        case Alignment::SameHeight: size.setHeight(ref.height()); break;
        }
        if (pos != r.topLeft() || size != r.size())
            entries.append({shapes[i]->Key(), r.topLeft(), pos, r.size(), size});
    }
    if (entries.isEmpty())
        return false;
    const bool resize = how == Alignment::SameWidth || how == Alignment::SameHeight;
    return scene.Execute(std::make_unique<CGeometryAction>(scene, resize ? CCanvasAction::Resize : CCanvasAction::Align,
                                                           resize ? QObject::tr("Same Size") : QObject::tr("Align"),
                                                           entries));
}

} // namespace CanvasEdits
