#include "panwindow.h"

#include "canvasscene.h"
#include "canvasview.h"

#include <QMouseEvent>
#include <QPainter>

CPanWindow::CPanWindow(QWidget *parent)
    : QWidget(parent)
{
    // redrawing a large tree on every change would make editing sluggish
    m_renderTimer.setSingleShot(true);
    m_renderTimer.setInterval(150);
    connect(&m_renderTimer, &QTimer::timeout, this, &CPanWindow::render);
    setMinimumSize(80, 60);
    setCursor(Qt::OpenHandCursor);
}

void CPanWindow::SetView(CCanvasView *view)
{
    if (m_view == view)
        return;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_view = view;
    if (m_view) {
        m_connections = {
            connect(m_view, &CCanvasView::visibleAreaChanged, this, qOverload<>(&QWidget::update)),
            connect(m_view, &CCanvasView::viewClosing, this, [this] { SetView(nullptr); }),
            connect(m_view->scene(), &QGraphicsScene::changed, this, &CPanWindow::scheduleRender),
            connect(m_view->CanvasScene(), &CCanvasScene::pagesChanged, this, &CPanWindow::scheduleRender),
        };
    }
    render();
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

void CPanWindow::render()
{
    const QRectF content = contentRect();
    if (content.isEmpty()) {
        m_picture = QImage();
        update();
        return;
    }
    m_picture = QImage(content.size().toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    m_picture.fill(Qt::white);
    QPainter p(&m_picture);
    p.setRenderHint(QPainter::Antialiasing);
    m_view->CanvasScene()->RenderPlain(&p, QRectF(QPointF(0, 0), m_picture.size()), m_view->sceneRect());
    update();
}

void CPanWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x9A, 0x9A, 0x9A));
    const QRectF content = contentRect();
    if (content.isEmpty())
        return;
    p.drawImage(content.topLeft(), m_picture);
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(VisibleFrame().intersected(content));
}

void CPanWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scheduleRender();
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
