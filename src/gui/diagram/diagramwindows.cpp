#include "diagramwindows.h"

#include "diagramdrawing.h"
#include "diagramwindow.h"

#include "canvas/canvasscene.h"
#include "dialogs/dialogrunner.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QDir>
#include <QMdiArea>

#include <memory>

CDiagramWindows::CDiagramWindows(CKELDataManager &manager, QMdiArea &area, CDialogRunner &dialogs, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_area(area)
    , m_dialogs(dialogs)
{
    connect(&m_manager, &CKELDataManager::elementAdded, this, &CDiagramWindows::onElementAdded);
    connect(&m_manager, &CKELDataManager::elementChanged, this, &CDiagramWindows::onElementChanged);
    connect(&m_manager, &CKELDataManager::elementAboutToBeRemoved, this, &CDiagramWindows::onElementAboutToBeRemoved);
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &CDiagramWindows::onSolutionReplaced);
}

bool CDiagramWindows::IsDiagram(const CKELDataManager &manager, int elementId)
{
    const CKELData *e = manager.Lookup(elementId);
    return e && (e->GetTypeCode() == KEL::CIN || e->GetTypeCode() == KEL::CID);
}

const CKELTree *CDiagramWindows::SourceOf(const CKELDataManager &manager, int diagramId)
{
    const CKELData *e = manager.Lookup(diagramId);
    if (!e)
        return nullptr;
    const CKELData *up = e->GetParent();
    // a CID stands in the "CIDs" folder of its tree, a CIN right under it
    if (e->GetTypeCode() == KEL::CID && up)
        up = up->GetParent();
    else if (e->GetTypeCode() != KEL::CIN)
        return nullptr;
    return up && up->IsTree() ? static_cast<const CKELTree *>(up) : nullptr;
}

CDiagramWindow *CDiagramWindows::Find(int diagramId) const
{
    return m_windows.value(diagramId).data();
}

QList<CDiagramWindow *> CDiagramWindows::Windows() const
{
    QList<CDiagramWindow *> out;
    for (const QPointer<CDiagramWindow> &w : m_windows) {
        if (w)
            out.append(w.data());
    }
    return out;
}

void CDiagramWindows::CloseAll()
{
    for (CDiagramWindow *w : Windows())
        w->close();
}

CDiagramWindow *CDiagramWindows::Open(int diagramId)
{
    if (CDiagramWindow *open = Find(diagramId)) {
        m_area.setActiveSubWindow(open);
        return open;
    }
    if (!IsDiagram(m_manager, diagramId) || !SourceOf(m_manager, diagramId))
        return nullptr;
    auto *window = new CDiagramWindow(diagramId, m_manager.Lookup(diagramId)->GetTypeCode());
    window->setWindowTitle(titleOf(diagramId));
    build(*window);
    m_windows.insert(diagramId, window);
    connect(window, &QObject::destroyed, this, [this, diagramId] {
        if (m_windows.value(diagramId).isNull())
            m_windows.remove(diagramId);
    });
    connect(window, &CDiagramWindow::exportRequested, this, [this](CDiagramWindow *w) { Export(*w); });
    m_area.addSubWindow(window);
    window->show();
    m_area.setActiveSubWindow(window);
    window->FitToWindow();
    return window;
}

void CDiagramWindows::build(CDiagramWindow &window)
{
    const CKELData *e = m_manager.Lookup(window.ElementId());
    if (!e)
        return;
    if (e->GetTypeCode() == KEL::CIN) {
        // the window keeps its own copy: moved boxes stay where the user put them
        auto network = std::make_shared<Cin::Network>(Cin::NetworkOf(*static_cast<const CKELCIN *>(e)));
        DiagramDrawing::DrawNetwork(window.Scene(), *network, m_manager);
        CCanvasScene *scene = &window.Scene();
        connect(scene, &CCanvasScene::shapesMoved, &window,
                [this, scene, network] { DiagramDrawing::FollowMovedBoxes(*scene, *network, m_manager); });
        return;
    }
    const QList<Cid::Box> boxes = BoxesOf(window.ElementId());
    DiagramDrawing::DrawInterface(window.Scene(), e->GetName(),
                                  Cid::DrawInterface(boxes, DiagramDrawing::MeasureLabelText));
}

QList<Cid::Box> CDiagramWindows::BoxesOf(int cidId)
{
    const auto it = m_cidBoxes.constFind(cidId);
    if (it != m_cidBoxes.constEnd())
        return *it;
    const CKELData *e = m_manager.LookupAs<CKELCID>(cidId, KEL::CID);
    const CKELTree *source = SourceOf(m_manager, cidId);
    if (!e || !source)
        return {};
    QList<Cid::Box> boxes = Cid::BuildInterface(*source, e->GetName());
    m_cidBoxes.insert(cidId, boxes);
    return boxes;
}

QString CDiagramWindows::titleOf(int diagramId) const
{
    const CKELData *e = m_manager.Lookup(diagramId);
    const CKELTree *source = SourceOf(m_manager, diagramId);
    if (!e || !source)
        return QString();
    if (e->GetTypeCode() == KEL::CIN)
        return QStringLiteral("CIN: ") + source->GetName();
    return QStringLiteral("CID: ") + e->GetName() + QStringLiteral(" (") + source->GetName() + u')';
}

void CDiagramWindows::ExpectNew(int typeCode, int treeId)
{
    m_expected.append({typeCode, treeId});
}

void CDiagramWindows::CancelExpected(int typeCode, int treeId)
{
    m_expected.removeOne(qMakePair(typeCode, treeId));
}

void CDiagramWindows::onElementAdded(int id)
{
    const CKELData *e = m_manager.Lookup(id);
    if (!e || (e->GetTypeCode() != KEL::CIN && e->GetTypeCode() != KEL::CID))
        return;
    const CKELTree *source = SourceOf(m_manager, id);
    if (!source)
        return;
    // taken now, while the tree is as it was when the diagram was made
    if (e->GetTypeCode() == KEL::CID)
        m_cidBoxes.insert(id, Cid::BuildInterface(*source, e->GetName()));
    const int index = int(m_expected.indexOf(qMakePair(e->GetTypeCode(), source->GetId())));
    if (index < 0)
        return;
    m_expected.removeAt(index);
    Open(id);
}

void CDiagramWindows::onElementChanged(int id)
{
    // a renamed tree renames the windows of its diagrams
    for (CDiagramWindow *w : Windows()) {
        const CKELTree *source = SourceOf(m_manager, w->ElementId());
        if (w->ElementId() == id || (source && source->GetId() == id))
            w->setWindowTitle(titleOf(w->ElementId()));
    }
}

void CDiagramWindows::onElementAboutToBeRemoved(int id)
{
    // the diagram itself, or anything that owns it: its tree, version, ...
    auto goesWith = [this, id](int diagramId) {
        for (const CKELData *e = m_manager.Lookup(diagramId); e; e = e->GetParent()) {
            if (e->GetId() == id)
                return true;
        }
        return false;
    };
    for (CDiagramWindow *w : Windows()) {
        if (goesWith(w->ElementId()))
            w->close();
    }
    for (auto it = m_cidBoxes.begin(); it != m_cidBoxes.end();) {
        if (goesWith(it.key()))
            it = m_cidBoxes.erase(it);
        else
            ++it;
    }
    m_expected.removeIf([id](const QPair<int, int> &e) { return e.second == id; });
}

void CDiagramWindows::onSolutionReplaced()
{
    CloseAll();
    m_cidBoxes.clear();
    m_expected.clear();
}

bool CDiagramWindows::Export(CDiagramWindow &window)
{
    const QString path = m_dialogs.SaveFileName(
        &window, QStringLiteral("Export Picture"),
        QStringLiteral("PNG picture (*.png);;JPEG picture (*.jpg);;SVG drawing (*.svg);;PDF document (*.pdf)"),
        QStringLiteral("png"), QDir::homePath());
    if (path.isEmpty())
        return false;
    if (window.ExportPicture(path))
        return true;
    m_manager.Prompt().Message(QStringLiteral("The picture could not be written to ") + QDir::toNativeSeparators(path)
                               + u'.');
    return false;
}
