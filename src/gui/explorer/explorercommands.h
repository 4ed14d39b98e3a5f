#pragma once

#include "explorermenu.h"

#include <QObject>

#include <functional>

class CDialogRunner;
class CKELDataManager;
class CKELNavigateTree;
class CKELVersion;
class QWidget;

// The explorer's own commands: each runs its dialog, then the model
// command with plain values. They are registered with the explorer's menus;
// the main menu calls the "New ..." ones for the current version. Later
// parts of the program register their commands with the same menus.
class CExplorerCommands : public QObject
{
    Q_OBJECT
public:
    CExplorerCommands(CKELNavigateTree &tree, CDialogRunner &dialogs, QWidget *dialogParent);

    // Opens the window of a tree or diagram. While none is set, the
    // "Open" entries are not shown and double clicks on trees do nothing.
    void SetTreeOpener(std::function<void(int elementId)> opener);
    bool HasTreeOpener() const { return bool(m_opener); }
    const std::function<void(int elementId)> &TreeOpener() const { return m_opener; }

    // A folder id of 0 means the folder of the current version.
    bool NewRequirement(int folderId = 0);
    bool ChangeRequirement(int requirementId);
    bool NewComponent(int folderId = 0);
    bool RenameComponent(int componentId);
    bool ChangeBehaviors(int componentId);
    bool RemoveState(const CExplorerTarget &target);
    bool NewRBT(int folderId = 0);
    bool ChangeRBT(int treeId);
    bool NewIBT(int folderId = 0);
    bool RenameDBT(int treeId);
    bool NewVersion(int fromVersionId);
    // Requirements, components and every kind of tree or diagram, each
    // with its own question.
    bool Remove(int elementId);
    void Open(int elementId);

private:
    void registerCommands();
    void registerOpen();
    void onActivated(int typeCode, const CExplorerTarget &target);
    // The version new elements go to: the current one, and only when the
    // folder the user chose belongs to it.
    const CKELVersion *versionForNew(int folderId) const;

    CKELNavigateTree &m_tree;
    CKELDataManager &m_manager;
    CDialogRunner &m_dialogs;
    QWidget *m_dialogParent;
    std::function<void(int)> m_opener;
};
