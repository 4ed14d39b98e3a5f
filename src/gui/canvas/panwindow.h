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
    // Whether the overview waits to be brought up to date.
    bool RenderPending() const { return m_renderTimer.isActive(); }

    QSize sizeHint() const override { return QSize(220, 170); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void followChanges(bool on);
    void scheduleRender();
    void scheduleFullRender();
    void noteChanged(const QList<QRectF> &rects);
    void render();
    void renderPart(const QRect &pixels);
    void moveViewTo(const QPointF &widgetPos);
    QRectF contentRect() const;

    CCanvasView *m_view = nullptr; // let go when it closes
    QList<QMetaObject::Connection> m_connections;
    // Listening to the scene's changed areas slows every change of the
    // canvas, so a hidden overview does not: it is drawn whole when shown.
    QMetaObject::Connection m_changedFeed;
    // The whole canvas, drawn once and then only where it changed.
    QImage m_picture;
    QRectF m_pictureScene; // the scene rectangle the picture shows
    QList<QRectF> m_dirty; // changed since the last drawing, in the scene
    bool m_full = true;
    QTimer m_renderTimer;
    QPointF m_grabOffset;
};
