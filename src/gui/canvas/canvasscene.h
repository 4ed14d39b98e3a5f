#pragma once

#include "canvasdelegate.h"
#include "colourscheme.h"

#include <QGraphicsScene>
#include <QHash>
#include <QList>
#include <QMetaMethod>
#include <QPointer>

#include <memory>

class CCanvasAction;
class CCanvasScene;
class CCompositeShape;
class CLinkShape;
class QGraphicsLineItem;
class QUndoStack;

struct CShapeMove
{
    int key = 0;
    QPoint from;
    QPoint to;
};

// Holds a canvas in one batch of changes for as long as it lives.
class CCanvasBatch
{
public:
    explicit CCanvasBatch(CCanvasScene &scene);
    ~CCanvasBatch();
    CCanvasBatch(const CCanvasBatch &) = delete;
    CCanvasBatch &operator=(const CCanvasBatch &) = delete;

private:
    CCanvasScene &m_scene;
};

// The canvas model: shapes and links on an area of whole pages, the order
// in which shapes were selected, the gestures that move shapes and draw or
// cut links, and the undo stack of canvas actions.
class CCanvasScene : public QGraphicsScene
{
    Q_OBJECT
    enum class Gesture { None, Move, DrawLink, DragLinkEnd };

public:
    explicit CCanvasScene(QObject *parent = nullptr);
    ~CCanvasScene() override;

    // ---- Pages -----------------------------------------------------------
    int PagesWide() const { return m_pagesWide; }
    int PagesHigh() const { return m_pagesHigh; }
    void SetPages(int wide, int high);
    QRect PageArea() const;
    // White room left of and above the page origin, so that a drawing laid
    // out from the origin does not sit flush against the canvas edge. It is
    // the view's own: no place of a shape changes.
    void SetMargin(int margin);
    int Margin() const { return m_margin; }
    // Adds pages to the right until extent.x is inside, then below until
    // extent.y is; returns whether the area grew.
    bool GrowToReach(const QPoint &extent);
    // Grows the area, as placing them did, to hold every shape.
    void GrowToHoldShapes();

    // ---- Shapes ----------------------------------------------------------
    // The scene owns what is added; keys are unique within the scene.
    void AddShape(CCompositeShape *shape);
    CCompositeShape *ShapeByKey(int key) const { return m_shapes.value(key, nullptr); }
    const QHash<int, CCompositeShape *> &Shapes() const { return m_shapes; }
    // Removes the shape together with the links on its ports.
    void RemoveShape(int key);
    void AddLinkShape(CLinkShape *link);
    void RemoveLinkShape(CLinkShape *link);
    CLinkShape *FindLink(int startKey, int endKey) const;
    // Removes every shape and link; the undo history goes with them.
    void ClearCanvas();

    // Whether a move or a link is being dragged right now.
    bool GestureUnderway() const { return m_gesture != Gesture::None; }

    // ---- Selection -------------------------------------------------------
    // Selected shapes and links in the order in which they were selected.
    const QList<QGraphicsItem *> &SelectionOrder() const { return m_selectionOrder; }
    QGraphicsItem *GetCurrentSelectShape() const;
    QGraphicsItem *GetSecondSelectShape() const;
    int SelectionCount() const { return int(m_selectionOrder.size()); }
    void SelectOnly(QGraphicsItem *item);

    // ---- Hit testing -----------------------------------------------------
    // The topmost visible shape or link at a point, or null.
    QGraphicsItem *ShapeAt(const QPointF &p) const;
    CCompositeShape *CompositeAt(const QPointF &p) const;

    // ---- Actions ---------------------------------------------------------
    QUndoStack *UndoStack() const { return m_undo; }
    // Runs an action as one undo step; a macro without actions is
    // discarded. Returns whether it was kept. A delegate that owns the
    // history runs the action instead, and the scene's stack stays empty.
    bool Execute(std::unique_ptr<CCanvasAction> action);
    // The latest undoable action, or null.
    const CCanvasAction *PeekUndo() const;

    // ---- Where user changes go ------------------------------------------
    void SetDelegate(CCanvasDelegate *delegate) { m_delegate = delegate; }
    CCanvasDelegate &Delegate();
    // Ports that a drawn link joins: from this port of the start shape to
    // that port of the end shape.
    void SetLinkPorts(int fromPort, int toPort);
    int LinkFromPort() const { return m_linkFromPort; }
    int LinkToPort() const { return m_linkToPort; }

    // Direct changes, for scenes whose shapes stand for nothing else.
    bool PlaceDirect(int key, const QPoint &pos, const QSize &size);
    CLinkShape *ConnectDirect(int startKey, int startPort, int endKey, int endPort);
    bool DisconnectDirect(int startKey, int endKey);

    // ---- Drawing ---------------------------------------------------------
    // Whether items draw selection marks: not while rendering for export.
    static bool DrawsMarks(const QGraphicsScene *scene);
    // Everything drawn, with a small margin; the page origin when empty.
    QRectF DrawingArea() const;
    // The page, grid and link colours this scene draws with now.
    ColourScheme::CanvasColours CanvasColours() const;
    // Renders on a white ground without page borders or selection marks.
    void RenderPlain(QPainter *painter, const QRectF &target, const QRectF &source);

    // Called by shapes whose place changed.
    void NoteShapeMoved(const CCompositeShape *shape);

    // ---- Many changes at once --------------------------------------------
    // Between Begin and End (nested pairs count once) the shapes placed are
    // only noted; the page area and the scene rectangle follow them once at
    // the end, not once a shape. A layout of every node then costs what
    // moving the nodes costs.
    void BeginBatch();
    void EndBatch();
    bool InBatch() const { return m_batchDepth > 0; }

    // ---- What an edit cost -----------------------------------------------
    // Shapes and links painted in windows and in plain pictures (exports,
    // the pan window's overview), links that followed a moved end and shapes
    // placed, since the last reset. An edit of a few shapes keeps these
    // small however large the canvas is; tests watch them.
    struct CWork
    {
        qint64 painted = 0;
        qint64 paintedPlain = 0;
        qint64 linksFollowed = 0;
        qint64 placed = 0;
    };
    const CWork &Work() const { return m_work; }
    void ResetWork() { m_work = {}; }
    void NotePainted() { ++(m_plain ? m_work.paintedPlain : m_work.painted); }
    void NoteLinkFollowed() { ++m_work.linksFollowed; }
    // Whether anything listens to the list of changed areas: while anything
    // does, every change of every item goes through that list rather than
    // straight to the windows.
    bool ChangedAreasFollowed() const { return isSignalConnected(QMetaMethod::fromSignal(&QGraphicsScene::changed)); }
    // Qt ties every view to that list for good once anything listens; call
    // this after a listener came or went, so that the views follow it and
    // are let go again when nobody listens.
    void ViewsFollowListeners();

signals:
    void actionExecuted(const CCanvasAction *action);
    void pagesChanged(int wide, int high);
    void selectionOrderChanged();
    void shapesMoved(const QList<CShapeMove> &moves);

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void helpEvent(QGraphicsSceneHelpEvent *event) override;

private:
    class CDirectDelegate;

    QGraphicsItem *layerFor(QHash<quint64, QGraphicsItem *> &layers, qreal z, const QPointF &at);
    void dropLayerIfEmpty(QGraphicsItem *layer);
    void noteOutOfLayer(const CCompositeShape *shape);
    void scheduleRehome();
    void rehomeMoved();
    void updateSelectionOrder();
    void updateSceneRect();
    void reach(const QRect &r);
    void noteShapeAdded(const CCompositeShape *shape);
    void finishMove();
    void finishLinkGesture(const QPointF &at);
    void endRubberLine();

    QHash<int, CCompositeShape *> m_shapes;
    // holders of the shapes and of the links, by cell of the canvas
    QHash<quint64, QGraphicsItem *> m_shapeLayers;
    QHash<quint64, QGraphicsItem *> m_linkLayers;
    QList<QGraphicsItem *> m_spareLayers; // emptied holders, held for reuse
    // Activating a window tells every top-level item unless the scene has a
    // panel to activate: one empty panel spares a sort of every item.
    QGraphicsItem *m_panel = nullptr;
    QList<int> m_outOfLayer; // shapes that moved out of their holder's cell
    bool m_rehomeScheduled = false;
    QList<QGraphicsItem *> m_selectionOrder;
    QUndoStack *m_undo;
    std::unique_ptr<CDirectDelegate> m_direct;
    CCanvasDelegate *m_delegate = nullptr;
    QRectF m_outside; // shapes left of or above the page origin
    int m_margin = 0;
    int m_pagesWide = 1;
    int m_pagesHigh = 1;
    int m_linkFromPort = 1;
    int m_linkToPort = 0;
    bool m_plain = false;
    int m_batchDepth = 0;
    QRect m_batchReach;      // of the shapes placed during the batch
    QList<int> m_batchMoved; // their links follow once, at the end
    CWork m_work;

    Gesture m_gesture = Gesture::None;
    QHash<int, QPoint> m_pressPositions;
    int m_gestureStartKey = 0;
    int m_gestureEndKey = 0;
    QGraphicsLineItem *m_rubberLine = nullptr;
};
