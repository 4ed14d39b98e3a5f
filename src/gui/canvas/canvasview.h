#pragma once

#include <QGraphicsView>
#include <QImage>

class CCanvasScene;

// A window onto a canvas: zoom (Ctrl+wheel, steps, fit, 100 %), pan with
// the middle button or Space+drag, rubber-band selection.
class CCanvasView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit CCanvasView(CCanvasScene *scene, QWidget *parent = nullptr);
    ~CCanvasView() override;

    CCanvasScene *CanvasScene() const;

    static constexpr double kMinZoom = 1e-4;
    static constexpr double kMaxZoom = 16.0;
    static constexpr double kZoomStep = 1.25;

    double Zoom() const { return m_zoom; }
    void SetZoom(double factor);
    void ZoomIn();
    void ZoomOut();
    // Shows everything drawn (the page area when nothing is).
    void FitToWindow();
    void ZoomTo100();
    // The scene rectangle that the viewport shows.
    QRectF VisibleSceneRect() const;

    // Zoomed far out on a large canvas the view paints from a picture of the
    // whole canvas at the current zoom, redrawn only where the canvas
    // changed: a repaint then costs one picture, not one call per shape.
    static constexpr double kOverviewZoom = 0.2;
    static constexpr int kOverviewShapes = 1000;
    static constexpr qint64 kOverviewPixels = qint64(4096) * 4096;
    bool PaintsFromOverview() const;

signals:
    void zoomChanged(double factor);
    void visibleAreaChanged();
    // Sent while the view is still whole, so that whoever follows it can let
    // go before it is taken apart.
    void viewClosing(CCanvasView *view);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool IsPanning() const { return m_panning; }

private:
    void applyZoom(double factor);
    void noteSceneChanged(const QList<QRectF> &rects);
    void dropOverview();
    void renderOverview(const QRect &pixels);

    QImage m_overview;
    QRectF m_overviewScene; // the scene rectangle the picture shows
    QList<QRectF> m_overviewDirty;
    // While anyone listens to the scene's list of changed areas, Qt hands
    // every moved item's area through it instead of straight to the views;
    // the view listens only while it keeps a picture.
    QMetaObject::Connection m_changedFeed;

    QPoint m_panFrom;
    double m_zoom = 1.0;
    bool m_panning = false;
    bool m_spaceHeld = false;
};
