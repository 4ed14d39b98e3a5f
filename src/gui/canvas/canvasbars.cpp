#include "canvasbars.h"

#include "canvasscene.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QPainter>
#include <QToolBar>

namespace {

using CanvasEdits::Alignment;

// Bar icons are drawn here, so they need no artwork files.
QIcon alignIcon(Alignment how)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    const QColor box(70, 110, 200);
    switch (how) {
    case Alignment::Left:
        p.drawLine(3, 2, 3, 17);
        p.fillRect(4, 4, 12, 4, box);
        p.fillRect(4, 11, 7, 4, box);
        break;
    case Alignment::Centre:
        p.drawLine(10, 2, 10, 17);
        p.fillRect(4, 4, 12, 4, box);
        p.fillRect(6, 11, 8, 4, box);
        break;
    case Alignment::Right:
        p.drawLine(16, 2, 16, 17);
        p.fillRect(4, 4, 12, 4, box);
        p.fillRect(9, 11, 7, 4, box);
        break;
    case Alignment::Top:
        p.drawLine(2, 3, 17, 3);
        p.fillRect(4, 4, 4, 12, box);
        p.fillRect(11, 4, 4, 7, box);
        break;
    case Alignment::Middle:
        p.drawLine(2, 10, 17, 10);
        p.fillRect(4, 4, 4, 12, box);
        p.fillRect(11, 6, 4, 8, box);
        break;
    case Alignment::Bottom:
        p.drawLine(2, 16, 17, 16);
        p.fillRect(4, 4, 4, 12, box);
        p.fillRect(11, 9, 4, 7, box);
        break;
    case Alignment::SameWidth:
        p.fillRect(3, 4, 14, 4, box);
        p.fillRect(3, 12, 14, 4, box);
        p.drawLine(2, 2, 2, 17);
        p.drawLine(17, 2, 17, 17);
        break;
    case Alignment::SameHeight:
        p.fillRect(4, 3, 4, 14, box);
        p.fillRect(12, 3, 4, 14, box);
        p.drawLine(2, 2, 17, 2);
        p.drawLine(2, 17, 17, 17);
        break;
    }
    return QIcon(pm);
}

QIcon colourIcon(bool fill)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (fill) {
        p.fillRect(3, 3, 14, 14, QColor(0, 255, 0));
        p.setPen(Qt::black);
        p.drawRect(3, 3, 13, 13);
    } else {
        p.setPen(QPen(QColor(200, 0, 0), 3));
        p.drawLine(3, 16, 16, 3);
    }
    return QIcon(pm);
}

struct AlignEntry
{
    Alignment how;
    const char *text;
};

constexpr AlignEntry kAlignEntries[] = {
    {Alignment::Left, QT_TRANSLATE_NOOP("CCanvasBars", "Align Left")},
    {Alignment::Centre, QT_TRANSLATE_NOOP("CCanvasBars", "Align Centre")},
    {Alignment::Right, QT_TRANSLATE_NOOP("CCanvasBars", "Align Right")},
    {Alignment::Top, QT_TRANSLATE_NOOP("CCanvasBars", "Align Top")},
    {Alignment::Middle, QT_TRANSLATE_NOOP("CCanvasBars", "Align Middle")},
    {Alignment::Bottom, QT_TRANSLATE_NOOP("CCanvasBars", "Align Bottom")},
    {Alignment::SameWidth, QT_TRANSLATE_NOOP("CCanvasBars", "Same Width")},
    {Alignment::SameHeight, QT_TRANSLATE_NOOP("CCanvasBars", "Same Height")},
};

} // namespace

CCanvasBars::CCanvasBars(QObject *parent) : QObject(parent) {}

void CCanvasBars::Install(QToolBar *formatBar, QToolBar *alignBar)
{
    if (formatBar) {
        m_font = new QFontComboBox(formatBar);
        m_font->setToolTip(tr("Font"));
        m_font->setCurrentFont(QFont(QStringLiteral("Arial")));
        formatBar->addWidget(m_font);
        connect(m_font, &QFontComboBox::currentFontChanged, this, [this](const QFont &f) {
            if (m_scene)
                CanvasEdits::SetFaceName(*m_scene, f.family());
        });

        m_size = new QComboBox(formatBar);
        m_size->setToolTip(tr("Font Size"));
        m_size->setEditable(true);
        for (int s : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
            m_size->addItem(QString::number(s));
        m_size->setCurrentText(QStringLiteral("9"));
        formatBar->addWidget(m_size);
        connect(m_size, &QComboBox::textActivated, this, [this](const QString &text) {
            if (m_scene)
                CanvasEdits::SetPointSize(*m_scene, text.toInt());
        });

        m_fill = formatBar->addAction(colourIcon(true), tr("Fill Colour"));
        connect(m_fill, &QAction::triggered, this, [this] { chooseColour(true); });
        m_lineColour = formatBar->addAction(colourIcon(false), tr("Line Colour"));
        connect(m_lineColour, &QAction::triggered, this, [this] { chooseColour(false); });

        m_width = new QComboBox(formatBar);
        m_width->setToolTip(tr("Line Width"));
        for (int w = 1; w <= 8; ++w)
            m_width->addItem(QString::number(w), w);
        formatBar->addWidget(m_width);
        connect(m_width, &QComboBox::activated, this, [this](int index) {
            if (m_scene)
                CanvasEdits::SetLineWidth(*m_scene, m_width->itemData(index).toInt());
        });
        m_formatWidgets = {m_font, m_size, m_width};
    }
    if (alignBar) {
        for (const AlignEntry &e : kAlignEntries) {
            QAction *a = alignBar->addAction(alignIcon(e.how), tr(e.text));
            a->setData(int(e.how));
            connect(a, &QAction::triggered, this, [this, how = e.how] {
                if (m_scene)
                    CanvasEdits::Align(*m_scene, how);
            });
            m_alignActions.append(a);
        }
    }
    updateEnabled();
}

QAction *CCanvasBars::AlignAction(CanvasEdits::Alignment how) const
{
    for (QAction *a : m_alignActions) {
        if (a->data().toInt() == int(how))
            return a;
    }
    return nullptr;
}

void CCanvasBars::SetScene(CCanvasScene *scene)
{
    if (m_scene == scene)
        return;
    disconnect(m_selectionConnection);
    m_scene = scene;
    if (m_scene)
        m_selectionConnection =
            connect(m_scene, &CCanvasScene::selectionOrderChanged, this, &CCanvasBars::updateEnabled);
    updateEnabled();
}

void CCanvasBars::updateEnabled()
{
    const int selected = m_scene ? m_scene->SelectionCount() : 0;
    for (QAction *a : std::as_const(m_alignActions))
        a->setEnabled(selected >= 2);
    for (QWidget *w : std::as_const(m_formatWidgets))
        w->setEnabled(selected >= 1);
    for (QAction *a : {m_fill, m_lineColour}) {
        if (a)
            a->setEnabled(selected >= 1);
    }
}

void CCanvasBars::chooseColour(bool fill)
{
    if (!m_scene)
        return;
    const QColor c = QColorDialog::getColor(fill ? QColor(0, 255, 0) : QColor(Qt::black), nullptr,
                                            fill ? tr("Fill Colour") : tr("Line Colour"));
    if (!c.isValid() || !m_scene)
        return;
    if (fill)
        CanvasEdits::SetFill(*m_scene, c);
    else
        CanvasEdits::SetLineColor(*m_scene, c);
}
