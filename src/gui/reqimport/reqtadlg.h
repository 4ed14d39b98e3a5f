#pragma once

#include "reqimport/requirementscan.h"
#include "reqimport/wordwalker.h"

#include <QDialog>
#include <QPointer>

class CDialogRunner;
class CKELDataManager;
class CTreeWindows;
class QAction;
class QCheckBox;
class QLabel;
class QMenuBar;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

// "Import Requirements and Component Behaviors": the user walks a
// requirements text word by word, files words as tags, components and
// behaviors, composes node lines from them, and exports requirements and
// nodes into the model. The dialog keeps its own copy of the text and
// touches the model only through the manager's commands, so it works in a
// shared solution too. It holds element ids only, never elements.
class CReqTADlg : public QDialog
{
    Q_OBJECT
public:
    // windows may be null (no tree editor): nodes then always go to an RBT
    // the user picks.
    CReqTADlg(CKELDataManager &manager, CDialogRunner &dialogs, CTreeWindows *windows, QWidget *parent = nullptr);

    // Replaces the text, as "Open" does after reading a file.
    void SetText(const QString &text);
    QString Text() const;
    // The word the walk has selected (the rich edit's selection).
    QString SelectedWord() const;
    // Requirements were imported from or exported to the model here.
    bool RequirementsSynced() const { return m_synced; }
    const CTagSpecs &TagSpecs() const { return m_tagRules; }

    QTextEdit *TextEdit() const { return m_text; }
    QListWidget *TagList() const { return m_tags; }
    QListWidget *ComponentList() const { return m_components; }
    QListWidget *BehaviorList() const { return m_behaviors; }
    QListWidget *TypeList() const { return m_types; }
    QPlainTextEdit *NodesEdit() const { return m_nodes; }
    QCheckBox *SkipAddedBox() const { return m_skipAdded; }
    QLabel *StatusLabel() const { return m_status; }

    // ---- the commands, as the buttons and the menu run them -------------
    void OpenTextFile();
    void SaveTextFile();
    void NewText();
    void ImportFromModel();
    void ExportRequirementsToModel();
    void ExportRequirementsToFile();
    void WalkStart();
    void WalkEnd();
    void Walk(int direction);
    void AddTag();
    void AddComponent();
    void AddBehavior();
    void CreateNode();
    void ExportNodes();

private:
    QWidget *buildLists();
    QWidget *buildWalkBar();
    QWidget *buildNodes();
    void buildMenu(QMenuBar *bar);
    void addSelectionTo(QListWidget *list, const QString &kind);
    void showStep(const CWordWalker::Step &step);
    void syncWalker();
    bool haveVersion();
    int targetTree();
    void noteActiveTree();
    QString selectedEntry(const QListWidget *list) const;

    CKELDataManager &m_manager;
    CDialogRunner &m_dialogs;
    QPointer<CTreeWindows> m_windows;
    CWordWalker m_walker;
    CTagSpecs m_tagRules;
    QString m_fileName;
    int m_lastTreeId = 0; // the tree window last active; the dialog takes focus from it
    bool m_synced = false;

    QTextEdit *m_text = nullptr;
    QListWidget *m_tags = nullptr;
    QListWidget *m_components = nullptr;
    QListWidget *m_behaviors = nullptr;
    QListWidget *m_types = nullptr;
    QPlainTextEdit *m_nodes = nullptr;
    QCheckBox *m_skipAdded = nullptr;
    QLabel *m_status = nullptr;
};
