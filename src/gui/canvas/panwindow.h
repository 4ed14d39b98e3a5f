#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class CCanvasView;

// An overview of the whole canvas with the part the view shows as a frame;
// dragging the frame (or clicking beside it) moves the view.
class CPanWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CPanWindow(QWidget *parent = nullptr);

    void SetView(CCanvasView *view);
    CCanvasView *View() const { return m_view; }
    // The frame of the visible area in this widget's coordinates.
    QRectF VisibleFrame() const;
    // Where a scene rectangle lands in this widget.
    QRectF MapFromScene(const QRectF &r) const;
    QPointF MapToScene(const QPointF &p) const;

    QSize sizeHint() const override { return QSize(220, 170); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void scheduleRender();
    void render();
    void moveViewTo(const QPointF &widgetPos);
    QRectF contentRect() const;

    CCanvasView *m_view = nullptr; // let go when it closes
    QList<QMetaObject::Connection> m_connections;
    QImage m_picture;
    QTimer m_renderTimer;
    QPointF m_grabOffset;
};
