#pragma once

#include "explorermenu.h"

#include <QHash>
#include <QList>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

class CKELData;
class CKELDataManager;
class QMenu;

// The solution explorer's tree: one item per place an element is shown,
// under its owner and, as a virtual item, under each element that lists it
// as a virtual child. Items know only their element's id; the tree follows
// the manager's change signals and never holds model data of its own.
class CKELNavigateTree : public QTreeWidget
{
    Q_OBJECT
public:
    enum ItemType { OwnItem = QTreeWidgetItem::UserType + 1, VirtualItem };

    explicit CKELNavigateTree(CKELDataManager &manager, QWidget *parent = nullptr);
    ~CKELNavigateTree() override;

    CKELDataManager &Manager() const { return m_manager; }
    CExplorerMenu &Menu() { return m_menu; }
    const CExplorerMenu &Menu() const { return m_menu; }

    // Deletes every item and shows the open solution afresh.
    void Rebuild();
    // The texts and icons of every item of the element.
    void RefreshLabels(int elementId);

    QTreeWidgetItem *ItemOf(int elementId) const { return m_own.value(elementId); }
    QList<QTreeWidgetItem *> VirtualItemsOf(int elementId) const { return m_virtual.value(elementId); }
    static int ElementIdOf(const QTreeWidgetItem *item);
    static bool IsVirtual(const QTreeWidgetItem *item) { return item && item->type() == VirtualItem; }
    CExplorerTarget TargetOf(const QTreeWidgetItem *item) const;

    // The context menu of an item, or null when its kind has none. Choosing
    // a command remembers the item and runs the command.
    std::unique_ptr<QMenu> ContextMenuFor(QTreeWidgetItem *item);
    QTreeWidgetItem *LastRightClicked() const { return m_rightClicked; }
    // What a double click does: tells the listeners which element to open.
    void Activate(QTreeWidgetItem *item);

    // How many item texts change notifications have set so far (for
    // measuring that a change touches only the items it must).
    qint64 LabelWrites() const { return m_labelWrites; }

signals:
    // A double click on an item.
    void elementActivated(int typeCode, const CExplorerTarget &target);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
    // A drag only ever copies: a drop that answered "move" must not take
    // the item out of the explorer.
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    void resizeEvent(QResizeEvent *event) override;

private:
    void onAdded(int id);
    void onChanged(int id);
    void onAboutToBeRemoved(int id);
    void onCurrentVersionChanged(int previousId, int currentId);
    void onModifiedChanged();

    QTreeWidgetItem *buildSubtree(const CKELData *element);
    QTreeWidgetItem *makeItem(const CKELData *element, bool isVirtual);
    void forget(QTreeWidgetItem *item);
    void removeItemTree(QTreeWidgetItem *item);
    void removeElementItems(int id);
    void syncVirtualChildren(const CKELData *element);
    int ownedInsertIndex(const CKELData *element, const QTreeWidgetItem *parentItem) const;
    void setLabel(QTreeWidgetItem *item, const CKELData *element);
    void expandTop();
    // The column is as wide as the widest label shown, at least as wide as
    // the view; measured once per turn of the event loop, not per change.
    void scheduleWidth();
    void fitWidth();

    CKELDataManager &m_manager;
    CExplorerMenu m_menu;
    QHash<int, QTreeWidgetItem *> m_own;
    QHash<int, QList<QTreeWidgetItem *>> m_virtual;
    QTreeWidgetItem *m_rightClicked = nullptr;
    qint64 m_labelWrites = 0;
    QTimer m_widthTimer;
};
