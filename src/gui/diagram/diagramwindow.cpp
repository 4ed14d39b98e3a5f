#include "diagramwindow.h"

#include "canvas/canvasscene.h"
#include "canvas/canvasview.h"

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr qreal kFitMargin = 12.0;
// a picture larger than this is refused rather than exhausting memory
constexpr qint64 kMaxPixels = qint64(1) << 26;

} // namespace

CDiagramWindow::CDiagramWindow(int elementId, int typeCode, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_scene(new CCanvasScene(this))
    , m_elementId(elementId)
    , m_typeCode(typeCode)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // nothing here may start a link: the diagram is derived, not drawn
    m_scene->SetLinkPorts(-1, -1);
    auto *body = new QWidget;
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tools = new QToolBar(body);
    m_tools->setIconSize(QSize(16, 16));
    m_view = new CCanvasView(m_scene, body);
    m_view->setInteractive(true);
    layout->addWidget(m_tools);
    layout->addWidget(m_view, 1);
    setWidget(body);

    m_tools->addAction(QStringLiteral("Fit"), this, &CDiagramWindow::FitToWindow);
    m_tools->addAction(QStringLiteral("Zoom In"), m_view, &CCanvasView::ZoomIn);
    m_tools->addAction(QStringLiteral("Zoom Out"), m_view, &CCanvasView::ZoomOut);
    m_tools->addAction(QStringLiteral("100 %"), m_view, &CCanvasView::ZoomTo100);
    m_tools->addSeparator();
    m_tools->addAction(QStringLiteral("Export Picture..."), this, [this] { emit exportRequested(this); });
    resize(900, 600);
}

QAction *CDiagramWindow::Action(const QString &text) const
{
    for (QAction *a : m_tools->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

QRectF CDiagramWindow::drawingArea() const
{
    // connections may run outside the boxes, so everything drawn counts
    const QRectF all = m_scene->itemsBoundingRect();
    if (all.isEmpty())
        return QRectF(m_scene->PageArea());
    return all.adjusted(-kFitMargin, -kFitMargin, kFitMargin, kFitMargin);
}

void CDiagramWindow::FitToWindow()
{
    const QRectF area = drawingArea();
    const QSize room = m_view->viewport()->size();
    if (area.isEmpty() || room.isEmpty())
        return;
    m_view->SetZoom(std::min({room.width() / area.width(), room.height() / area.height(), 1.0}));
    m_view->centerOn(area.center());
}

QImage CDiagramWindow::Picture(double scale) const
{
    const QRectF area = drawingArea();
    const QSize size((area.size() * scale).toSize());
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxPixels)
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_scene->RenderPlain(&painter, QRectF(QPointF(0, 0), QSizeF(size)), area);
    return image;
}

bool CDiagramWindow::ExportPicture(const QString &path) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"svg" || suffix == u"pdf") {
        // drawings, not pixels: any size fits, and the text stays text
        const QRectF area = drawingArea();
        const QRectF target(QPointF(0, 0), area.size());
        QPainter painter;
        std::unique_ptr<QSvgGenerator> svg;
        std::unique_ptr<QPdfWriter> pdf;
        if (suffix == u"svg") {
            svg = std::make_unique<QSvgGenerator>();
            svg->setFileName(path);
            svg->setSize(area.size().toSize());
            svg->setViewBox(target);
            svg->setTitle(windowTitle());
            if (!painter.begin(svg.get()))
                return false;
        } else {
            pdf = std::make_unique<QPdfWriter>(path);
            pdf->setResolution(72); // one point a scene unit
            pdf->setPageSize(QPageSize(area.size(), QPageSize::Point));
            pdf->setPageMargins(QMarginsF());
            pdf->setTitle(windowTitle());
            if (!painter.begin(pdf.get()))
                return false;
        }
        painter.setRenderHint(QPainter::Antialiasing);
        m_scene->RenderPlain(&painter, target, area);
        return painter.end() && QFileInfo(path).size() > 0;
    }
    const QImage image = Picture();
    if (image.isNull())
        return false;
    QImageWriter writer(path);
    return writer.write(image);
}
