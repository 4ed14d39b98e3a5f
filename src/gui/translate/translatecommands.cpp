#include "translatecommands.h"

#include "saloptionsdlg.h"
#include "selectbtdlg.h"
#include "translationresultdlg.h"
#include "translateguitexts.h"

#include "app/mainframe.h"
#include "dialogs/dialogrunner.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"
#include "translate/translateexception.h"

#include <QApplication>
#include <QSettings>

#include <exception>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Restores the cursor however the translation ends.
class CBusyCursor
{
public:
    CBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CBusyCursor() { QApplication::restoreOverrideCursor(); }
    CBusyCursor(const CBusyCursor &) = delete;
    CBusyCursor &operator=(const CBusyCursor &) = delete;
};

QString selectTitle(CTranslateCommands::Kind kind)
{
    return kind == CTranslateCommands::Uppaal ? TranslateGuiTexts::SelectBtUppaal : TranslateGuiTexts::SelectBtSal;
}

} // namespace

CTranslateCommands::CTranslateCommands(CMainFrame &frame) : QObject(&frame), m_frame(frame)
{
    const std::unique_ptr<QSettings> stored = OpenSettings();
    m_sal.Settings().ReadFrom(*stored);
}

CTranslateCommands::~CTranslateCommands() = default;

std::unique_ptr<QSettings> CTranslateCommands::OpenSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("Verdantis"), QStringLiteral("Verdantis"));
}

bool CTranslateCommands::ShowOptions()
{
    CSALOptionsDlg dialog(Settings(), &m_frame);
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return false;
    Settings() = dialog.Settings();
    const std::unique_ptr<QSettings> stored = OpenSettings();
    Settings().WriteTo(*stored);
    stored->sync();
    if (stored->status() != QSettings::NoError)
        m_frame.Manager().Prompt().Message(TranslateGuiTexts::OptionsNotStored(stored->fileName()));
    return true;
}

bool CTranslateCommands::TranslateChosen(Kind kind, int preselectedTreeId)
{
    CKELDataManager &manager = m_frame.Manager();
    CSelectBTDlg dialog(manager, selectTitle(kind), preselectedTreeId, &m_frame);
    if (dialog.IsEmpty()) {
        manager.Prompt().Message(TranslateGuiTexts::NoTree);
        return false;
    }
    if (kind == Uppaal)
        dialog.OfferProperties(Settings().properties);
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return false;
    if (kind == Uppaal)
        Settings().properties = dialog.PropertiesChecked();
    return Translate(dialog.SelectedTreeId(), kind);
}

bool CTranslateCommands::Translate(int treeId, Kind kind)
{
    CKELDataManager &manager = m_frame.Manager();
    const CKELData *tree = manager.Lookup(treeId);
    if (!tree || !tree->IsTree())
        return false;

    CTranslateSetFiles files;
    if (kind == SalWithSets) {
        const QString filter = TranslateGuiTexts::AllFiles;
        files.declarations = m_frame.Dialogs().OpenFileName(&m_frame, TranslateGuiTexts::SelectDeclarations, filter);
        if (files.declarations.isEmpty())
            return false;
        // without one every set starts empty
        files.initialisation =
            m_frame.Dialogs().OpenFileName(&m_frame, TranslateGuiTexts::SelectInitialisation, filter);
    }

    std::optional<CTranslationResult> result;
    QString failure;
    {
        const CBusyCursor busy;
        try {
            if (kind == Uppaal) {
                CTranslateUPPAAL uppaal;
                uppaal.Settings() = Settings();
                result = uppaal.Translate(manager, treeId);
            } else {
                result = m_sal.Translate(manager, treeId, kind == SalWithSets, files);
            }
        } catch (const CTranslateException &e) {
            failure = e.Message();
        } catch (const std::exception &e) {
            // e.g. out of memory on a huge random tree; never past the event loop
            failure = TranslateGuiTexts::TranslationFailed(QString::fromLocal8Bit(e.what()));
        }
    }
    if (!failure.isEmpty()) {
        manager.Prompt().Message(failure);
        return false;
    }
    if (!result)
        return false;
    CTranslationResultDlg dialog(std::move(*result), m_frame.Dialogs(), manager.Prompt(), &m_frame);
    m_frame.Dialogs().Run(dialog);
    return true;
}
