#include "kelnavigatebar.h"

#include "kelnavigatetree.h"

CKELNavigateBar::CKELNavigateBar(CKELDataManager &manager, QWidget *parent)
    : QDockWidget(QStringLiteral("Solution Explorer Window"), parent)
    , m_tree(new CKELNavigateTree(manager, this))
{
    setObjectName(QStringLiteral("ToolBox"));
    setWidget(m_tree);
}
