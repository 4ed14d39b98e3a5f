#pragma once

#include "canvastypes.h"

#include <QList>
#include <QPoint>
#include <QSize>
#include <QUndoCommand>

class CCanvasScene;

// An undoable change of the canvas. Actions keep keys and values, never
// shape pointers, and look the shapes up again whenever they run, so an
// action whose shapes are gone does nothing instead of crashing.
class CCanvasAction : public QUndoCommand
{
public:
    // What an action touched; the editor reacts to some kinds (auto-arrange).
    enum Kind {
        Move,   // a drag of one or more shapes
        Resize, // same width, same height
        Align,  // the align bar
        Layout, // a layout pass: one step however many shapes it moves
        Format, // the format bar
        AddLink,
        RemoveLink,
        Macro, // several actions as one step
    };

    // A parent macro owns its child actions and runs them as its own step.
    CCanvasAction(CCanvasScene &scene, Kind kind, const QString &text, QUndoCommand *parent = nullptr);
    Kind ActionKind() const { return m_kind; }
    // Keys of the shapes this action changes (for links: the end shapes).
    virtual QList<int> AffectedKeys() const = 0;

protected:
    CCanvasScene &Scene() const { return m_scene; }

private:
    CCanvasScene &m_scene;
    Kind m_kind;
};

// Moves and resizes shapes through the scene's delegate.
class CGeometryAction : public CCanvasAction
{
public:
    struct Entry
    {
        int key = 0;
        QPoint fromPos, toPos;
        QSize fromSize, toSize;
    };

    CGeometryAction(CCanvasScene &scene, Kind kind, const QString &text, const QList<Entry> &entries,
                    QUndoCommand *parent = nullptr);
    const QList<Entry> &Entries() const { return m_entries; }
    QList<int> AffectedKeys() const override;
    void redo() override;
    void undo() override;

private:
    QList<Entry> m_entries;
};

// Several actions run, and undone, as one step.
class CActionMacro : public CCanvasAction
{
public:
    CActionMacro(CCanvasScene &scene, Kind kind, const QString &text);
    int GetActionCount() const { return childCount(); }
    QList<int> AffectedKeys() const override;
};

// Changes the format overrides of shapes and links; pure view state.
class CFormatAction : public CCanvasAction
{
public:
    struct Entry
    {
        int key = 0;    // a composite shape, or the start of a link
        int endKey = 0; // the end of a link; 0 for a composite shape
        Canvas::CShapeFormat before, after;
    };

    CFormatAction(CCanvasScene &scene, const QString &text, const QList<Entry> &entries,
                  QUndoCommand *parent = nullptr);
    QList<int> AffectedKeys() const override;
    void redo() override;
    void undo() override;

private:
    void apply(bool forward);
    QList<Entry> m_entries;
};

// Adds or removes a link between two shapes directly on the canvas; used
// where no delegate owns the links.
class CLinkAction : public CCanvasAction
{
public:
    CLinkAction(CCanvasScene &scene, bool add, int startKey, int startPort, int endKey, int endPort,
                QUndoCommand *parent = nullptr);
    QList<int> AffectedKeys() const override { return {m_endKey}; }
    void redo() override;
    void undo() override;

private:
    void connect(bool on);
    int m_startKey, m_startPort, m_endKey, m_endPort;
    bool m_add;
    Canvas::CShapeFormat m_format; // of a removed link, restored with it
};
