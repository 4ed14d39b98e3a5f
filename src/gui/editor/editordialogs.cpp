#include "editorhooks.h"

#include "editortexts.h"

#include "dialogs/dialogrunner.h"
#include "dialogs/kelextrainfodlg.h"
#include "dialogs/kelnodedlg.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QMessageBox>
#include <QPushButton>

CEditorDialogs StandardEditorDialogs(CKELDataManager &manager, CDialogRunner &runner)
{
    CEditorDialogs d;
    d.nodeAttributes = [&manager, &runner](QWidget *parent, const CKELTree &tree, CNodeAttributes &attributes,
                                           bool /*isNew*/) {
        const CKELVersion *version = manager.VersionOf(&tree);
        CKELNodeDlg dlg(manager, version ? version : manager.CurrentVersion(), manager.Prompt(), parent);
        dlg.SetAttributes(attributes);
        if (runner.Run(dlg) != QDialog::Accepted)
            return false;
        attributes = dlg.Attributes();
        return true;
    };
    d.extraInfo = [&manager, &runner](QWidget *parent, QStringList &tags, QStringList &names) {
        CKELExtraInfoDlg dlg(manager.Prompt(), parent);
        dlg.SetEntries(tags, names);
        if (runner.Run(dlg) != QDialog::Accepted)
            return false;
        tags = dlg.Tags();
        names = dlg.Names();
        return true;
    };
    d.removeChildren = [&runner](QWidget *parent, int childCount) {
        QMessageBox box(QMessageBox::Question, EditorTexts::RemoveChildrenCaption,
                        EditorTexts::RemoveChildrenQuestion.arg(childCount), QMessageBox::NoButton, parent);
        QPushButton *subtree = box.addButton(EditorTexts::RemoveWholeSubtree, QMessageBox::DestructiveRole);
        QPushButton *keep = box.addButton(EditorTexts::KeepChildrenAsRoots, QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(EditorTexts::CancelRemoval, QMessageBox::RejectRole);
        box.setDefaultButton(keep);
        box.setEscapeButton(cancel);
        runner.Run(box);
        if (box.clickedButton() == subtree)
            return CRemoveChoice::WholeSubtree;
        if (box.clickedButton() == keep)
            return CRemoveChoice::KeepChildren;
        return CRemoveChoice::Cancel;
    };
    return d;
}
