#include "canvasview.h"

#include "canvasscene.h"

#include <QGraphicsItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QRubberBand>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionRubberBand>
#include <QWheelEvent>

#include <algorithm>

CCanvasView::CCanvasView(CCanvasScene *scene, QWidget *parent) : QGraphicsView(scene, parent)
{
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::RubberBandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setOptimizationFlags(QGraphicsView::DontSavePainterState | QGraphicsView::DontAdjustForAntialiasing);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // no background brush of its own: the scene draws the pages and the grey
    // around them in fixed colours, whatever the desktop theme
    setFocusPolicy(Qt::StrongFocus);
    if (scene)
        connect(scene, &QGraphicsScene::sceneRectChanged, this, &CCanvasView::dropOverview);
}

CCanvasView::~CCanvasView()
{
    emit viewClosing(this);
}

CCanvasScene *CCanvasView::CanvasScene() const
{
    return static_cast<CCanvasScene *>(scene());
}

void CCanvasView::applyZoom(double factor)
{
    factor = std::clamp(factor, kMinZoom, kMaxZoom);
    if (qFuzzyCompare(factor, m_zoom))
        return;
    const ViewportAnchor anchor = transformationAnchor();
    setTransform(QTransform::fromScale(factor, factor));
    setTransformationAnchor(anchor);
    m_zoom = factor;
    dropOverview();
    emit zoomChanged(m_zoom);
    emit visibleAreaChanged();
}

void CCanvasView::SetZoom(double factor)
{
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    applyZoom(factor);
    setTransformationAnchor(anchor);
}

void CCanvasView::ZoomIn()
{
    SetZoom(m_zoom * kZoomStep);
}

void CCanvasView::ZoomOut()
{
    SetZoom(m_zoom / kZoomStep);
}

void CCanvasView::ZoomTo100()
{
    // what the user works on stays in view: the selection, else the top of
    // the drawing, where a tree's root is
    QRectF keep;
    if (const CCanvasScene *s = CanvasScene()) {
        for (const QGraphicsItem *i : s->selectedItems())
            keep |= i->sceneBoundingRect();
        if (keep.isEmpty()) {
            const QRectF area = s->DrawingArea();
            keep = QRectF(area.topLeft(), QSizeF(area.width(), std::min<qreal>(area.height(), 80)));
        }
    }
    SetZoom(1.0);
    if (!keep.isEmpty())
        centerOn(keep.center());
    emit visibleAreaChanged();
}

void CCanvasView::FitToWindow()
{
    const QRectF drawing = CanvasScene() ? CanvasScene()->DrawingArea() : sceneRect();
    // room as if both scroll bars were shown, so that the fitted drawing
    // needs none, and a margin around it
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QSize room = maximumViewportSize() - QSize(bar, bar);
    if (drawing.isEmpty() || room.isEmpty())
        return;
    const qreal margin = std::max<qreal>(20, 0.03 * std::max(drawing.width(), drawing.height()));
    const QRectF area = drawing.adjusted(-margin, -margin, margin, margin);
    const double factor = std::min(room.width() / area.width(), room.height() / area.height());
    SetZoom(factor);
    centerOn(area.center());
    emit visibleAreaChanged();
}

QRectF CCanvasView::VisibleSceneRect() const
{
    return mapToScene(viewport()->rect()).boundingRect().intersected(sceneRect());
}

void CCanvasView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            double factor = m_zoom;
            for (int i = 0; i < std::abs(steps); ++i)
                factor = steps > 0 ? factor * kZoomStep : factor / kZoomStep;
            applyZoom(factor); // anchored under the mouse
        }
        event->accept();
        return;
    }
    QGraphicsView::wheelEvent(event);
}

void CCanvasView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_spaceHeld)) {
        m_panning = true;
        m_panFrom = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void CCanvasView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning) {
        const QPoint now = event->position().toPoint();
        const QPoint delta = now - m_panFrom;
        m_panFrom = now;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void CCanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        m_panning = false;
        viewport()->setCursor(m_spaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void CCanvasView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = true;
        viewport()->setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void CCanvasView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (!m_panning)
            viewport()->setCursor(Qt::ArrowCursor);
        event->accept();
        return;
    }
    QGraphicsView::keyReleaseEvent(event);
}

void CCanvasView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    emit visibleAreaChanged();
}

void CCanvasView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    emit visibleAreaChanged();
}

// ---- Painting from the overview ------------------------------------------

bool CCanvasView::PaintsFromOverview() const
{
    const CCanvasScene *canvas = CanvasScene();
    if (!canvas || m_zoom > kOverviewZoom || canvas->Shapes().size() < kOverviewShapes)
        return false;
    const QSizeF pixels = sceneRect().size() * m_zoom * devicePixelRatioF();
    return pixels.width() * pixels.height() <= double(kOverviewPixels);
}

void CCanvasView::dropOverview()
{
    m_overview = QImage();
    m_overviewDirty.clear();
    if (!m_changedFeed)
        return;
    disconnect(m_changedFeed);
    m_changedFeed = {};
    if (CCanvasScene *canvas = CanvasScene())
        canvas->ViewsFollowListeners();
}

void CCanvasView::noteSceneChanged(const QList<QRectF> &rects)
{
    if (m_overview.isNull())
        return;
    m_overviewDirty += rects;
    // many small changes are cheaper redrawn as the one part that holds them
    if (m_overviewDirty.size() > 32) {
        QRectF all;
        for (const QRectF &r : std::as_const(m_overviewDirty))
            all |= r;
        m_overviewDirty = {all};
    }
}

void CCanvasView::renderOverview(const QRect &pixels)
{
    // exactly the scene part that these pixels show
    const qreal s = m_overview.width() / m_overviewScene.width();
    if (pixels.isEmpty())
        return;
    const QRectF source(m_overviewScene.topLeft() + QPointF(pixels.topLeft()) / s, QSizeF(pixels.size()) / s);
    QPainter p(&m_overview);
    p.setRenderHints(renderHints());
    p.setClipRect(pixels);
    scene()->render(&p, QRectF(pixels), source, Qt::IgnoreAspectRatio);
}

void CCanvasView::paintEvent(QPaintEvent *event)
{
    if (!PaintsFromOverview()) {
        dropOverview();
        QGraphicsView::paintEvent(event);
        return;
    }
    const QRectF scene = sceneRect();
    const qreal dpr = devicePixelRatioF();
    const QSize size = (scene.size() * m_zoom * dpr).toSize().expandedTo(QSize(1, 1));
    if (m_overview.isNull() || m_overview.size() != size || m_overviewScene != scene) {
        m_overview = QImage(size, QImage::Format_RGB32);
        m_overviewScene = scene;
        m_overviewDirty = {scene};
        if (!m_changedFeed) {
            m_changedFeed = connect(this->scene(), &QGraphicsScene::changed, this, &CCanvasView::noteSceneChanged);
            CanvasScene()->ViewsFollowListeners();
        }
    }
    // the changed pixels, each drawn once however many changes met there
    const qreal s = m_overview.width() / m_overviewScene.width();
    QRegion pixels;
    for (const QRectF &r : std::as_const(m_overviewDirty)) {
        const QRectF mapped((r.topLeft() - m_overviewScene.topLeft()) * s, r.size() * s);
        pixels |= mapped.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(m_overview.rect());
    }
    m_overviewDirty.clear();
    for (const QRect &part : pixels)
        renderOverview(part);

    QPainter p(viewport());
    p.fillRect(event->rect(), QColor(0x9A, 0x9A, 0x9A));
    p.save();
    p.setTransform(viewportTransform());
    p.drawImage(QRectF(scene.topLeft(), QSizeF(m_overview.size()) / (m_zoom * dpr)), m_overview);
    p.restore();
    const QRect band = rubberBandRect();
    if (!band.isEmpty()) {
        QStyleOptionRubberBand option;
        option.initFrom(viewport());
        option.rect = band;
        option.shape = QRubberBand::Rectangle;
        viewport()->style()->drawControl(QStyle::CE_RubberBand, &option, &p, viewport());
    }
}
