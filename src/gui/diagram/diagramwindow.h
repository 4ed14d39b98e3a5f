#pragma once

#include <QMdiSubWindow>

class CCanvasScene;
class CCanvasView;
class QAction;
class QToolBar;

// The window of one derived diagram (a CIN or a CID): a read-only canvas
// with a small row of view commands above it. It is rebuilt, never edited.
class CDiagramWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    CDiagramWindow(int elementId, int typeCode, QWidget *parent = nullptr);

    int ElementId() const { return m_elementId; }
    int TypeCode() const { return m_typeCode; }
    CCanvasScene &Scene() const { return *m_scene; }
    CCanvasView &View() const { return *m_view; }
    QToolBar *Tools() const { return m_tools; }
    // "Fit", "Zoom In", "Zoom Out", "100 %", "Export Picture..."
    QAction *Action(const QString &text) const;

    // Shows everything drawn, the routes included.
    void FitToWindow();
    // The drawing without page borders or selection marks, on white.
    QImage Picture(double scale = 1.0) const;
    // PNG, JPEG or BMP by the file's extension; false when it cannot be written.
    bool ExportPicture(const QString &path) const;

signals:
    void exportRequested(CDiagramWindow *window);

private:
    QRectF drawingArea() const;

    CCanvasScene *m_scene;
    CCanvasView *m_view;
    QToolBar *m_tools;
    int m_elementId;
    int m_typeCode;
};
