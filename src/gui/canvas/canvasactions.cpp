#include "canvasactions.h"

#include "canvasscene.h"
#include "compositeshape.h"
#include "linkshape.h"

CCanvasAction::CCanvasAction(CCanvasScene &scene, Kind kind, const QString &text, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_kind(kind)
{
    setText(text);
}

// ---- Geometry ------------------------------------------------------------

CGeometryAction::CGeometryAction(CCanvasScene &scene, Kind kind, const QString &text, const QList<Entry> &entries,
                                 QUndoCommand *parent)
    : CCanvasAction(scene, kind, text, parent)
    , m_entries(entries)
{}

QList<int> CGeometryAction::AffectedKeys() const
{
    QList<int> keys;
    keys.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        keys.append(e.key);
    return keys;
}

// An entry that keeps its size passes no size: undoing a move must not
// undo a change of size made since.
void CGeometryAction::redo()
{
    const CCanvasBatch batch(Scene());
    CCanvasDelegate &d = Scene().Delegate();
    for (const Entry &e : std::as_const(m_entries))
        d.SetShapeGeometry(e.key, e.toPos, e.fromSize == e.toSize ? QSize() : e.toSize);
}

void CGeometryAction::undo()
{
    const CCanvasBatch batch(Scene());
    CCanvasDelegate &d = Scene().Delegate();
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        const Entry &e = m_entries[i];
        d.SetShapeGeometry(e.key, e.fromPos, e.fromSize == e.toSize ? QSize() : e.fromSize);
    }
}

// ---- Macro ---------------------------------------------------------------

CActionMacro::CActionMacro(CCanvasScene &scene, Kind kind, const QString &text) : CCanvasAction(scene, kind, text) {}

QList<int> CActionMacro::AffectedKeys() const
{
    QList<int> keys;
    for (int i = 0; i < childCount(); ++i) {
        if (const auto *a = dynamic_cast<const CCanvasAction *>(child(i)))
            keys += a->AffectedKeys();
    }
    return keys;
}

// ---- Format --------------------------------------------------------------

CFormatAction::CFormatAction(CCanvasScene &scene, const QString &text, const QList<Entry> &entries,
                             QUndoCommand *parent)
    : CCanvasAction(scene, Format, text, parent)
    , m_entries(entries)
{}

QList<int> CFormatAction::AffectedKeys() const
{
    QList<int> keys;
    for (const Entry &e : m_entries)
        keys.append(e.endKey ? e.endKey : e.key);
    return keys;
}

void CFormatAction::apply(bool forward)
{
    for (const Entry &e : std::as_const(m_entries)) {
        const Canvas::CShapeFormat &f = forward ? e.after : e.before;
        if (e.endKey) {
            if (CLinkShape *l = Scene().FindLink(e.key, e.endKey))
                l->SetFormat(f);
        } else if (CCompositeShape *s = Scene().ShapeByKey(e.key)) {
            s->SetFormat(f);
        }
    }
}

void CFormatAction::redo()
{
    apply(true);
}

void CFormatAction::undo()
{
    apply(false);
}

// ---- Links ---------------------------------------------------------------

CLinkAction::CLinkAction(CCanvasScene &scene, bool add, int startKey, int startPort, int endKey, int endPort,
                         QUndoCommand *parent)
    : CCanvasAction(scene, add ? AddLink : RemoveLink, add ? QObject::tr("Add Link") : QObject::tr("Remove Link"),
                    parent)
    , m_startKey(startKey)
    , m_startPort(startPort)
    , m_endKey(endKey)
    , m_endPort(endPort)
    , m_add(add)
{}

void CLinkAction::connect(bool on)
{
    if (on) {
        if (CLinkShape *l = Scene().ConnectDirect(m_startKey, m_startPort, m_endKey, m_endPort))
            l->SetFormat(m_format);
    } else {
        if (const CLinkShape *l = Scene().FindLink(m_startKey, m_endKey))
            m_format = l->Format();
        Scene().DisconnectDirect(m_startKey, m_endKey);
    }
}

void CLinkAction::redo()
{
    connect(m_add);
}

void CLinkAction::undo()
{
    connect(!m_add);
}
