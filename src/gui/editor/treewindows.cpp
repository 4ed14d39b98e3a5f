#include "treewindows.h"

#include "childframe.h"
#include "tessel1doc.h"
#include "tessel1view.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QMdiArea>
#include <QTimer>
#include <QUndoStack>

CTreeWindows::CTreeWindows(CKELDataManager &manager, QMdiArea &area, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_area(area)
{
    connect(&m_area, &QMdiArea::subWindowActivated, this, &CTreeWindows::onSubWindowActivated);
    connect(&m_manager, &CKELDataManager::elementAdded, this, &CTreeWindows::onElementAdded);
}

CTreeWindows::~CTreeWindows()
{
    // views keep pointers to the dialogs and commands held here
    for (CChildFrame *f : Frames()) {
        f->View().SetDialogs(nullptr);
        f->View().SetMenuCommands(nullptr);
    }
}

CChildFrame *CTreeWindows::Open(int treeId)
{
    if (CChildFrame *open = Find(treeId)) {
        m_area.setActiveSubWindow(open);
        open->View().setFocus();
        return open;
    }
    const CKELData *e = m_manager.Lookup(treeId);
    if (!e || !e->IsTree())
        return nullptr;
    auto *frame = new CChildFrame(m_manager, treeId);
    frame->View().SetDialogs(&m_dialogs);
    frame->View().SetMenuCommands(&m_menuCommands);
    m_frames.insert(treeId, frame);
    connect(frame, &QObject::destroyed, this, [this, treeId] {
        if (m_frames.value(treeId).isNull())
            m_frames.remove(treeId);
    });
    m_area.addSubWindow(frame);
    frame->show();
    m_area.setActiveSubWindow(frame);
    frame->View().centerOn(0, 0);
    frame->View().setFocus();
    emit frameOpened(frame);
    return frame;
}

CChildFrame *CTreeWindows::Find(int treeId) const
{
    return m_frames.value(treeId).data();
}

void CTreeWindows::Close(int treeId)
{
    if (CChildFrame *f = Find(treeId))
        f->close();
}

void CTreeWindows::CloseAll()
{
    for (CChildFrame *f : Frames())
        f->close();
}

QList<CChildFrame *> CTreeWindows::Frames() const
{
    QList<CChildFrame *> out;
    for (const QPointer<CChildFrame> &f : m_frames) {
        if (f)
            out.append(f.data());
    }
    return out;
}

CChildFrame *CTreeWindows::ActiveFrame() const
{
    return qobject_cast<CChildFrame *>(m_area.activeSubWindow());
}

CTessel1View *CTreeWindows::ActiveView() const
{
    CChildFrame *f = ActiveFrame();
    return f ? &f->View() : nullptr;
}

void CTreeWindows::onSubWindowActivated(QMdiSubWindow *window)
{
    auto *frame = qobject_cast<CChildFrame *>(window);
    emit activeViewChanged(frame ? &frame->View() : nullptr);
}

void CTreeWindows::onElementAdded(int id)
{
    if (!m_openNewTrees || !m_manager.IsLocal())
        return;
    const CKELData *e = m_manager.Lookup(id);
    if (!e || (e->GetTypeCode() != KEL::RBT && e->GetTypeCode() != KEL::DBT))
        return;
    // the new tree gets its name and requirements after this signal; open
    // once the edit is complete
    QTimer::singleShot(0, this, [this, id] {
        const CKELData *tree = m_manager.Lookup(id);
        if (tree && (tree->GetTypeCode() == KEL::RBT || tree->GetTypeCode() == KEL::DBT))
            Open(id);
    });
}
