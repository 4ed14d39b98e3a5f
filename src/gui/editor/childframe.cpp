#include "childframe.h"

#include "tessel1doc.h"
#include "tessel1view.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

CChildFrame::CChildFrame(CKELDataManager &manager, int treeId, QWidget *parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_findBar = new QWidget(body);
    auto *bar = new QHBoxLayout(m_findBar);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(new QLabel(tr("Find:"), m_findBar));
    m_findEdit = new QLineEdit(m_findBar);
    m_findEdit->setPlaceholderText(tr("tag, component or behavior"));
    m_findEdit->setClearButtonEnabled(true);
    bar->addWidget(m_findEdit, 1);
    auto *next = new QToolButton(m_findBar);
    next->setText(tr("Next"));
    next->setToolTip(tr("Find the next node (F3)"));
    bar->addWidget(next);
    m_findStatus = new QLabel(m_findBar);
    bar->addWidget(m_findStatus);
    auto *closeFind = new QToolButton(m_findBar);
    closeFind->setText(QStringLiteral("\u00d7"));
    closeFind->setToolTip(tr("Close the find bar (Esc)"));
    bar->addWidget(closeFind);
    m_findBar->hide();
    layout->addWidget(m_findBar);

    m_info = new QLabel(body);
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setWordWrap(true);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_info->setContentsMargins(6, 3, 6, 3);
    m_info->hide();
    layout->addWidget(m_info);

    m_doc = new CTessel1Doc(manager, treeId);
    m_view = new CTessel1View(*m_doc, body);
    m_doc->setParent(m_view);
    layout->addWidget(m_view, 1);
    setWidget(body);
    setWindowTitle(m_doc->Title());
    resize(760, 520);

    connect(m_doc, &CTessel1Doc::titleChanged, this, &QWidget::setWindowTitle);
    // the window goes with its tree; nothing of it needs saving
    connect(m_doc, &CTessel1Doc::treeRemoved, this, &QWidget::close);
    connect(m_view, &CTessel1View::findRequested, this, &CChildFrame::ShowFindBar);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &CChildFrame::findNext);
    connect(next, &QToolButton::clicked, this, &CChildFrame::findNext);
    connect(closeFind, &QToolButton::clicked, this, &CChildFrame::HideFindBar);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_findBar);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &CChildFrame::HideFindBar);
    auto *again = new QShortcut(QKeySequence::FindNext, m_findBar);
    again->setContext(Qt::WidgetWithChildrenShortcut);
    connect(again, &QShortcut::activated, this, &CChildFrame::findNext);
}

int CChildFrame::TreeId() const
{
    return m_doc->ElementId();
}

void CChildFrame::ShowFindBar()
{
    m_findBar->show();
    m_findEdit->setFocus();
    m_findEdit->selectAll();
}

void CChildFrame::HideFindBar()
{
    m_findBar->hide();
    m_findStatus->clear();
    m_view->setFocus();
}

bool CChildFrame::FindBarShown() const
{
    return !m_findBar->isHidden();
}

QString CChildFrame::FindStatus() const
{
    return m_findStatus->text();
}

void CChildFrame::SetInfoText(const QString &text)
{
    m_info->setText(text);
    m_info->setVisible(!text.isEmpty());
}

QString CChildFrame::InfoText() const
{
    return m_info->text();
}

void CChildFrame::findNext()
{
    const bool found = m_view->FindNext(m_findEdit->text());
    m_findStatus->setText(found || m_findEdit->text().isEmpty() ? QString() : tr("Not found"));
}
