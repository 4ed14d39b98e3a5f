#include "programparts.h"

#include "collab/collabinstall.h"
#include "derive/derivedtreesinstall.h"
#include "diagram/diagraminstall.h"
#include "editor/editorinstall.h"
#include "reqimport/reqimportinstall.h"
#include "simulate/simulateinstall.h"
#include "translate/translateinstall.h"

CEditor *InstallProgramParts(CMainFrame &frame, bool collaboration)
{
    CEditor *editor = InstallEditor(frame);
    if (!editor)
        return nullptr;
    InstallDerivedTrees(frame, *editor);
    // wraps the tree opener the editor set, so it comes after the editor
    InstallDiagrams(frame, *editor);
    InstallTranslate(frame, *editor);
    InstallSimulate(frame, *editor);
    InstallReqImport(frame, *editor);
    if (collaboration)
        InstallCollab(frame, *editor);
    return editor;
}
