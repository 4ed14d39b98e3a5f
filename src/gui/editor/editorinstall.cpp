#include "editorinstall.h"

#include "childframe.h"
#include "editoricons.h"
#include "editortexts.h"
#include "posterdialog.h"
#include "tessel1doc.h"
#include "tessel1view.h"
#include "treeexport.h"
#include "treewindows.h"

#include "canvas/canvasbars.h"
#include "canvas/canvasscene.h"
#include "canvas/panwindow.h"
#include "dialogs/dialogrunner.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QWidgetAction>

namespace {

QString plainText(QString text)
{
    return text.remove(u'&').remove(QStringLiteral("..."));
}

// Export and print go after "Close" (before the recent files), else before
// "Quit", else at the end.
void placeFileCommands(QMenu *file, const QList<QAction *> &commands)
{
    if (!file)
        return;
    const QList<QAction *> actions = file->actions();
    QAction *before = nullptr;
    bool found = false;
    for (qsizetype i = 0; i < actions.size() && !found; ++i) {
        if (plainText(actions[i]->text()) == u"Close") {
            before = i + 1 < actions.size() ? actions[i + 1] : nullptr;
            found = true;
        }
    }
    for (qsizetype i = 0; i < actions.size() && !found; ++i) {
        if (actions[i]->menuRole() == QAction::QuitRole || plainText(actions[i]->text()) == u"Quit") {
            before = actions[i];
            found = true;
        }
    }
    file->insertSeparator(before);
    for (QAction *a : commands)
        file->insertAction(before, a);
}

} // namespace

CEditor::CEditor(const CEditorHost &host)
    : QObject(host.window)
    , m_host(host)
    , m_windows(new CTreeWindows(*host.manager, *host.mdiArea, this))
    , m_bars(new CCanvasBars(this))
{
    if (m_host.dialogs)
        m_windows->Dialogs() = StandardEditorDialogs(*m_host.manager, *m_host.dialogs);
    if (m_host.setTreeOpener)
        m_host.setTreeOpener([w = m_windows](int id) { w->Open(id); });

    m_bars->Install(m_host.formatBar, m_host.alignBar);
    if (m_host.panDock) {
        m_pan = new CPanWindow(m_host.panDock);
        m_host.panDock->setWidget(m_pan);
    }
    if (m_host.statusBar) {
        m_zoomLabel = new QLabel(m_host.statusBar);
        m_zoomLabel->setMinimumWidth(90);
        m_host.statusBar->addPermanentWidget(m_zoomLabel);
    }

    auto menu = [this](const QString &title) { return m_host.menuNamed ? m_host.menuNamed(title) : nullptr; };
    // one key each: the main window's own commands use none of these
    QMenu *edit = menu(tr("&Edit"));
    if (edit && !edit->isEmpty())
        edit->addSeparator();
    add(edit, nullptr, tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), [](CTessel1View &v) { v.CutSelection(); });
    add(edit, nullptr, tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), [](CTessel1View &v) { v.CopySelection(); });
    add(edit, nullptr, tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), [](CTessel1View &v) { v.Paste(); });
    add(edit, nullptr, tr("&Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D),
        [](CTessel1View &v) { v.DuplicateSelection(); });
    add(edit, nullptr, tr("&Delete"), QKeySequence(), [](CTessel1View &v) { v.OnDelete(); });
    add(edit, nullptr, tr("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A),
        [](CTessel1View &v) { v.SelectAllNodes(); });
    QMenu *tree = menu(tr("&Tree"));
    add(tree, m_host.treeBar, EditorTexts::AddNode, QKeySequence(), [](CTessel1View &v) { v.OnAddNode(); });
    add(tree, m_host.treeBar, EditorTexts::AddLink, QKeySequence(), [](CTessel1View &v) { v.OnAddLink(); });
    add(tree, m_host.treeBar, EditorTexts::ArrangeTree, QKeySequence(), [](CTessel1View &v) { v.OnArrangeTree(); });
    m_autoArrange = add(tree, m_host.treeBar, EditorTexts::AutoArrangeTree, QKeySequence(),
                        [](CTessel1View &v) { v.OnAutoArrangeTree(); });
    m_autoArrange->setCheckable(true);
    add(tree, nullptr, EditorTexts::RearrangeAll, QKeySequence(), [](CTessel1View &v) { v.RearrangeAll(); });
    if (tree)
        tree->addSeparator();
    add(tree, nullptr, tr("&Find..."), QKeySequence::Find, [this](CTessel1View &) {
        if (CChildFrame *f = m_windows->ActiveFrame())
            f->ShowFindBar();
    });
    add(tree, nullptr, tr("Find &Next"), QKeySequence::FindNext, [](CTessel1View &v) { v.FindNext(v.LastFindText()); });

    QMenu *view = menu(tr("&View"));
    if (view)
        view->addSeparator();
    add(view, nullptr, tr("Zoom &In"), QKeySequence::ZoomIn, [](CTessel1View &v) { v.ZoomIn(); });
    add(view, nullptr, tr("Zoom &Out"), QKeySequence::ZoomOut, [](CTessel1View &v) { v.ZoomOut(); });
    add(view, nullptr, tr("&Fit to Window"), QKeySequence(Qt::CTRL | Qt::Key_0),
        [](CTessel1View &v) { v.FitToWindow(); });
    add(view, nullptr, tr("Actual Size (&100%)"), QKeySequence(Qt::CTRL | Qt::Key_1),
        [](CTessel1View &v) { v.ZoomTo100(); });

    // Tool buttons take no keyboard focus: the bars' commands are in a menu
    // too, where the keyboard reaches them.
    if (QMenu *format = menu(tr("F&ormat"))) {
        for (QToolBar *bar : {m_host.formatBar, m_host.alignBar}) {
            if (!bar)
                continue;
            if (!format->isEmpty())
                format->addSeparator();
            for (QAction *a : bar->actions()) {
                if (!a->isSeparator() && !qobject_cast<QWidgetAction *>(a))
                    format->addAction(a);
            }
        }
    }

    placeFileCommands(
        menu(tr("&File")),
        {add(nullptr, nullptr, tr("&Export..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
             [this](CTessel1View &) { ExportActive(); }),
         add(nullptr, nullptr, tr("&Print..."), QKeySequence::Print, [this](CTessel1View &) { PrintActive(); })});

    connect(m_windows, &CTreeWindows::activeViewChanged, this, &CEditor::onActiveViewChanged);
    onActiveViewChanged(m_windows->ActiveView());
}

CEditor::~CEditor() = default;

QAction *CEditor::add(QMenu *menu, QToolBar *bar, const QString &text, const QKeySequence &key,
                      const std::function<void(CTessel1View &)> &run)
{
    auto *a = new QAction(EditorIcon(text), text, this);
    if (!key.isEmpty())
        a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, run] {
        if (CTessel1View *v = m_windows->ActiveView())
            run(*v);
    });
    if (menu)
        menu->addAction(a);
    if (bar)
        bar->addAction(a);
    m_actions.append(a);
    return a;
}

QAction *CEditor::Action(const QString &text) const
{
    for (QAction *a : m_actions) {
        if (plainText(a->text()) == text)
            return a;
    }
    return nullptr;
}

void CEditor::onActiveViewChanged(CTessel1View *view)
{
    for (const QMetaObject::Connection &c : std::as_const(m_viewConnections))
        disconnect(c);
    m_viewConnections.clear();
    m_active = view;
    m_bars->SetScene(view ? view->CanvasScene() : nullptr);
    if (m_pan)
        m_pan->SetView(view);
    if (view) {
        m_viewConnections = {
            connect(view, &CTessel1View::autoRearrangeChanged, this, &CEditor::updateActions),
            connect(view, &CCanvasView::zoomChanged, this, &CEditor::updateActions),
            connect(view, &CCanvasView::viewClosing, this, [this] { onActiveViewChanged(nullptr); }),
        };
    }
    updateActions();
}

void CEditor::updateActions()
{
    for (QAction *a : std::as_const(m_actions))
        a->setEnabled(m_active != nullptr);
    if (m_autoArrange)
        m_autoArrange->setChecked(m_active && m_active->AutoRearrange());
    if (m_zoomLabel)
        m_zoomLabel->setText(m_active ? tr("Zoom: %1%").arg(qRound(m_active->Zoom() * 1000) / 10.0) : QString());
}

bool CEditor::ExportActive()
{
    CTessel1View *view = m_windows->ActiveView();
    if (!view)
        return false;
    const QString filter = tr("PNG picture (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
    const QString name = view->Document().Title().section(QStringLiteral(": "), 1);
    const QString path = m_host.dialogs ? m_host.dialogs->SaveFileName(m_host.window, tr("Export Tree"), filter,
                                                                       QStringLiteral("png"), name)
                                        : QFileDialog::getSaveFileName(m_host.window, tr("Export Tree"), name, filter);
    if (path.isEmpty())
        return false;
    double scale = 1.0;
    if (TreeExport::FormatOf(path) == TreeExport::Format::Png) {
        QInputDialog ask(m_host.window);
        ask.setWindowTitle(tr("Export Tree"));
        ask.setLabelText(tr("Scale of the picture:"));
        ask.setInputMode(QInputDialog::DoubleInput);
        ask.setDoubleRange(0.05, 16.0);
        ask.setDoubleDecimals(2);
        ask.setDoubleValue(1.0);
        const int answer = m_host.dialogs ? m_host.dialogs->Run(ask) : ask.exec();
        if (answer != QDialog::Accepted)
            return false;
        scale = ask.doubleValue();
    }
    int columns = 1;
    int rows = 1;
    if (TreeExport::FormatOf(path) == TreeExport::Format::Pdf) {
        CPosterDialog ask(tr("Export Tree"), m_host.window);
        if ((m_host.dialogs ? m_host.dialogs->Run(ask) : ask.exec()) != QDialog::Accepted)
            return false;
        columns = ask.Columns();
        rows = ask.Rows();
    }
    const CTessel1Doc &doc = view->Document();
    const TreeExport::Result r =
        columns * rows > 1 ? TreeExport::ExportPdfPoster(*view->CanvasScene(), path, columns, rows)
        // SVG from the records: what the window shows without drawing its canvas once more
        : TreeExport::FormatOf(path) == TreeExport::Format::Svg
            ? TreeExport::ExportTreeSvg(doc.Manager(), doc.ElementId(), path, &doc, ColourScheme::Current())
            : TreeExport::Export(*view->CanvasScene(), path, scale);
    CPrompt &prompt = m_host.manager->Prompt();
    if (!r.ok) {
        prompt.Message(tr("The tree could not be exported to %1: %2").arg(path, r.error));
        return false;
    }
    if (r.usedScale < scale * 0.999 && TreeExport::FormatOf(path) == TreeExport::Format::Png)
        prompt.Message(
            tr("The tree is too large for a picture at that scale; it was drawn at %1 so that all of it fits.")
                .arg(r.usedScale, 0, 'g', 3));
    if (m_host.statusBar)
        m_host.statusBar->showMessage(tr("Exported to %1").arg(path), 5000);
    return true;
}

void CEditor::PrintActive()
{
    CTessel1View *view = m_windows->ActiveView();
    if (!view)
        return;
    CPosterDialog layout(tr("Print %1").arg(view->Document().Title()), m_host.window);
    if ((m_host.dialogs ? m_host.dialogs->Run(layout) : layout.exec()) != QDialog::Accepted)
        return;
    const int columns = layout.Columns();
    const int rows = layout.Rows();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(view->Document().Title());
    QPrintPreviewDialog preview(&printer, m_host.window);
    preview.setWindowTitle(tr("Print %1").arg(view->Document().Title()));
    // the tree may go while the preview is open (a shared solution's edit)
    QPointer<CCanvasScene> scene = view->CanvasScene();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [scene, columns, rows](QPrinter *p) {
        if (scene)
            TreeExport::PrintPoster(*scene, *p, columns, rows);
    });
    if (m_host.dialogs)
        m_host.dialogs->Run(preview);
    else
        preview.exec();
}

CEditor *InstallEditor(const CEditorHost &host)
{
    if (!host.manager || !host.mdiArea)
        return nullptr;
    return new CEditor(host);
}
