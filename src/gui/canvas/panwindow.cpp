#include "panwindow.h"

#include "canvasscene.h"
#include "canvasview.h"
#include "colourscheme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <utility>

CPanWindow::CPanWindow(QWidget *parent) : QWidget(parent)
{
    // redrawing a large tree on every change would make editing sluggish
    m_renderTimer.setSingleShot(true);
    m_renderTimer.setInterval(150);
    connect(&m_renderTimer, &QTimer::timeout, this, &CPanWindow::render);
    setMinimumSize(80, 60);
    setCursor(Qt::OpenHandCursor);
    // every box changes colour with the scheme: the kept picture is stale
    connect(&ColourScheme::Notifier(), &ColourScheme::CNotifier::changed, this, &CPanWindow::scheduleFullRender);
}

void CPanWindow::SetView(CCanvasView *view)
{
    if (m_view == view)
        return;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    followChanges(false);
    m_view = view;
    if (m_view) {
        m_connections = {
            connect(m_view, &CCanvasView::visibleAreaChanged, this, qOverload<>(&QWidget::update)),
            connect(m_view, &CCanvasView::viewClosing, this, [this] { SetView(nullptr); }),
            connect(m_view->scene(), &QGraphicsScene::sceneRectChanged, this, &CPanWindow::scheduleFullRender),
            connect(m_view->CanvasScene(), &CCanvasScene::pagesChanged, this, &CPanWindow::scheduleFullRender),
        };
        followChanges(isVisible());
    }
    m_full = true;
    render();
}

void CPanWindow::followChanges(bool on)
{
    if (!m_view || on == bool(m_changedFeed))
        return;
    if (on)
        m_changedFeed = connect(m_view->scene(), &QGraphicsScene::changed, this, &CPanWindow::noteChanged);
    else
        disconnect(std::exchange(m_changedFeed, {}));
    if (CCanvasScene *canvas = m_view->CanvasScene())
        canvas->ViewsFollowListeners();
}

void CPanWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    followChanges(true);
    scheduleFullRender();
}

void CPanWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    followChanges(false);
    m_full = true;
}

QRectF CPanWindow::contentRect() const
{
    if (!m_view || !m_view->scene())
        return QRectF();
    const QRectF scene = m_view->sceneRect();
    if (scene.isEmpty())
        return QRectF();
    const qreal s = std::min((width() - 4) / scene.width(), (height() - 4) / scene.height());
    const QSizeF size(scene.width() * s, scene.height() * s);
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QRectF CPanWindow::MapFromScene(const QRectF &r) const
{
    const QRectF content = contentRect();
    if (content.isEmpty())
        return QRectF();
    const QRectF scene = m_view->sceneRect();
    const qreal s = content.width() / scene.width();
    return QRectF(content.topLeft() + (r.topLeft() - scene.topLeft()) * s, r.size() * s);
}

QPointF CPanWindow::MapToScene(const QPointF &p) const
{
    const QRectF content = contentRect();
    if (content.isEmpty())
        return QPointF();
    const QRectF scene = m_view->sceneRect();
    const qreal s = content.width() / scene.width();
    return scene.topLeft() + (p - content.topLeft()) / s;
}

QRectF CPanWindow::VisibleFrame() const
{
    return m_view ? MapFromScene(m_view->VisibleSceneRect()) : QRectF();
}

void CPanWindow::scheduleRender()
{
    if (!m_renderTimer.isActive())
        m_renderTimer.start();
}

void CPanWindow::scheduleFullRender()
{
    m_full = true;
    scheduleRender();
}

void CPanWindow::noteChanged(const QList<QRectF> &rects)
{
    if (m_full || rects.isEmpty())
        return;
    m_dirty += rects;
    // many small changes are cheaper redrawn as the one part that holds them
    if (m_dirty.size() > 16) {
        QRectF all;
        for (const QRectF &r : std::as_const(m_dirty))
            all |= r;
        m_dirty = {all};
    }
    scheduleRender();
}

void CPanWindow::render()
{
    m_renderTimer.stop();
    if (!m_full && m_view && m_view->CanvasScene() && m_view->CanvasScene()->GestureUnderway()) {
        // a drag under way: the overview follows once it ends
        m_renderTimer.start();
        return;
    }
    const QRectF content = contentRect();
    if (content.isEmpty()) {
        m_picture = QImage();
        m_dirty.clear();
        update();
        return;
    }
    // as many pixels as the screen has there, so a scaled screen shows it crisp
    const QSize size = (content.size() * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
    const QRectF scene = m_view->sceneRect();
    if (m_full || m_picture.size() != size || m_pictureScene != scene) {
        // the whole tree, once; later changes redraw only their part
        m_full = false;
        m_dirty.clear();
        m_pictureScene = scene;
        m_picture = QImage(size, QImage::Format_RGB32);
        m_picture.fill(Qt::white);
        QPainter p(&m_picture);
        p.setRenderHint(QPainter::Antialiasing);
        m_view->CanvasScene()->RenderPlain(&p, QRectF(QPointF(0, 0), m_picture.size()), scene);
    } else {
        // the changed pixels, each drawn once however many changes met there
        const qreal s = m_picture.width() / m_pictureScene.width();
        QRegion pixels;
        for (const QRectF &r : std::as_const(m_dirty)) {
            const QRectF mapped((r.topLeft() - m_pictureScene.topLeft()) * s, r.size() * s);
            pixels |= mapped.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(m_picture.rect());
        }
        m_dirty.clear();
        for (const QRect &part : pixels)
            renderPart(part);
    }
    update();
}

void CPanWindow::renderPart(const QRect &pixels)
{
    // exactly the scene part that these pixels show
    const qreal s = m_picture.width() / m_pictureScene.width();
    if (pixels.isEmpty())
        return;
    const QRectF source(m_pictureScene.topLeft() + QPointF(pixels.topLeft()) / s, QSizeF(pixels.size()) / s);
    QPainter p(&m_picture);
    p.setClipRect(pixels);
    p.fillRect(pixels, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    m_view->CanvasScene()->RenderPlain(&p, QRectF(pixels), source);
}

void CPanWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x9A, 0x9A, 0x9A));
    const QRectF content = contentRect();
    if (content.isEmpty())
        return;
    p.drawImage(content, m_picture, QRectF(m_picture.rect()));
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(VisibleFrame().intersected(content));
}

void CPanWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scheduleFullRender();
}

void CPanWindow::moveViewTo(const QPointF &widgetPos)
{
    if (!m_view)
        return;
    m_view->centerOn(MapToScene(widgetPos - m_grabOffset));
    update();
}

void CPanWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_view)
        return;
    const QRectF frame = VisibleFrame();
    // grabbing the frame keeps the point under the mouse; a click beside it
    // centres the view there
    m_grabOffset = frame.contains(event->position()) ? event->position() - frame.center() : QPointF();
    moveViewTo(event->position());
}

void CPanWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        moveViewTo(event->position());
}
