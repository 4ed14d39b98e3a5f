#include "kelnavigatebar.h"

#include "explorertexts.h"

#include "kelnavigatetree.h"

CKELNavigateBar::CKELNavigateBar(CKELDataManager &manager, QWidget *parent)
    : QDockWidget(ExplorerTexts::WindowTitle, parent)
    , m_tree(new CKELNavigateTree(manager, this))
{
    setObjectName(QStringLiteral("ToolBox"));
    setWidget(m_tree);
}
