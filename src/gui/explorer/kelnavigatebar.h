#pragma once

#include <QDockWidget>

class CKELDataManager;
class CKELNavigateTree;

// The dock "Solution Explorer Window" that holds the explorer tree.
class CKELNavigateBar : public QDockWidget
{
    Q_OBJECT
public:
    explicit CKELNavigateBar(CKELDataManager &manager, QWidget *parent = nullptr);

    CKELNavigateTree *Tree() const { return m_tree; }

private:
    CKELNavigateTree *m_tree;
};
