#include "editorhooks.h"

#include "dialogs/dialogrunner.h"
#include "dialogs/kelextrainfodlg.h"
#include "dialogs/kelnodedlg.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

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
    return d;
}
