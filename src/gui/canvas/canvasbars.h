#pragma once

#include "canvasedits.h"

#include <QObject>
#include <QPointer>

class CCanvasScene;
class QAction;
class QComboBox;
class QFontComboBox;
class QToolBar;

// The format bar (font, size, fill colour, line colour, line width) and the
// align bar, acting on the selection of whichever canvas is active.
class CCanvasBars : public QObject
{
    Q_OBJECT
public:
    explicit CCanvasBars(QObject *parent = nullptr);

    // Puts the controls on the two bars (either may be null).
    void Install(QToolBar *formatBar, QToolBar *alignBar);
    void SetScene(CCanvasScene *scene);
    CCanvasScene *Scene() const { return m_scene; }

    QAction *AlignAction(CanvasEdits::Alignment how) const;
    QList<QAction *> AlignActions() const { return m_alignActions; }
    QFontComboBox *FontBox() const { return m_font; }
    QComboBox *SizeBox() const { return m_size; }
    QComboBox *WidthBox() const { return m_width; }
    QAction *FillAction() const { return m_fill; }
    QAction *LineColourAction() const { return m_lineColour; }

private:
    void updateEnabled();
    void chooseColour(bool fill);

    QPointer<CCanvasScene> m_scene;
    QMetaObject::Connection m_selectionConnection;
    QList<QAction *> m_alignActions;
    QFontComboBox *m_font = nullptr;
    QComboBox *m_size = nullptr;
    QComboBox *m_width = nullptr;
    QAction *m_fill = nullptr;
    QAction *m_lineColour = nullptr;
    QList<QWidget *> m_formatWidgets;
};
