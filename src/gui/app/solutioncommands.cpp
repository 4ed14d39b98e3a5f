#include "solutioncommands.h"
#include "apptexts.h"
#include "model/modeltexts.h"

#include "dialogs/dialogrunner.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"
#include "model/solutionfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

CSolutionCommands::CSolutionCommands(CKELDataManager &manager, CDialogRunner &dialogs, QWidget *window)
    : QObject(window)
    , m_manager(manager)
    , m_dialogs(dialogs)
    , m_window(window)
{}

QString CSolutionCommands::Filter()
{
    return AppTexts::FileFilter;
}

QString CSolutionCommands::displayLabel() const
{
    // the name as the solution's label shows it, with its marks
    const CKELSolution *s = m_manager.Solution();
    if (!s)
        return {};
    QString name = s->DisplayName();
    if (!m_manager.IsLocal())
        name += ModelTexts::SharedMark;
    if (s->IsModified())
        name += u'*';
    return name;
}

QString CSolutionCommands::ChangedQuestion() const
{
    return AppTexts::ChangedQuestion(displayLabel());
}

bool CSolutionCommands::ConfirmDiscard()
{
    const CKELSolution *s = m_manager.Solution();
    if (!s || !s->IsModified())
        return true;
    switch (m_manager.Prompt().YesNoCancel(ChangedQuestion(), AppTexts::MessageCaption)) {
    case CPrompt::Yes: return Save();
    case CPrompt::No: return true;
    case CPrompt::Cancel: break;
    }
    return false;
}

bool CSolutionCommands::CloseCheck()
{
    if (!ConfirmDiscard())
        return false;
    if (m_manager.Solution())
        m_manager.CloseSolution();
    return true;
}

bool CSolutionCommands::New()
{
    if (!ConfirmDiscard())
        return false;
    m_manager.NewSolution();
    return true;
}

bool CSolutionCommands::Close()
{
    return CloseCheck();
}

bool CSolutionCommands::Open()
{
    const QString path = m_dialogs.OpenFileName(m_window, AppTexts::OpenCaption, Filter());
    if (path.isEmpty())
        return false;
    return OpenPath(path);
}

bool CSolutionCommands::OpenPath(const QString &given)
{
    if (!ConfirmDiscard())
        return false;
    // the solution remembers where it came from, in one spelling
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QString shown = QDir::toNativeSeparators(path);
    emit busy(AppTexts::Opening(shown));
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!CSolutionFile::Read(m_manager, path, &error)) {
        emit idle(QString());
        m_manager.Prompt().Message(error.isEmpty() ? AppTexts::CannotRead(shown) : error);
        return false;
    }
    // the reader names the solution after its file once it has been replaced
    m_manager.MarkSaved();
    emit idle(AppTexts::Opened(shown, m_manager.IdMap().size(), double(timer.elapsed()) / 1000.0)
              + (m_manager.LastLoadReport().damagedCounter ? AppTexts::CounterIgnored : QString()));
    emit fileOpened(path);
    return true;
}

bool CSolutionCommands::writeTo(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    emit busy(AppTexts::Saving(shown));
    QString error;
    bool inPlace = false;
    if (!CSolutionFile::Write(m_manager, path, &error, &inPlace)) {
        emit idle(QString());
        m_manager.Prompt().Message(error.isEmpty() ? AppTexts::CannotWrite(shown) : error);
        return false;
    }
    emit idle(inPlace ? AppTexts::SavedInPlace(shown) : AppTexts::Saved(shown));
    return true;
}

bool CSolutionCommands::Save()
{
    const CKELSolution *s = m_manager.Solution();
    if (!s)
        return false;
    if (!m_manager.IsLocal() && sharedSave)
        return sharedSave();
    // a solution that was never saved needs a file, not a choice of where
    if (s->Path().isEmpty() && m_manager.IsLocal())
        return saveToChosenFile();
    if (!m_manager.IsLocal())
        return SaveAs();
    if (!writeTo(s->Path()))
        return false;
    m_manager.MarkSaved();
    emit fileSaved(QFileInfo(s->Path()).absoluteFilePath());
    return true;
}

bool CSolutionCommands::SaveAs()
{
    const CKELSolution *s = m_manager.Solution();
    if (!s)
        return false;
    if (saveAsTarget) {
        switch (saveAsTarget()) {
        case SaveAsTarget::Local: break;
        case SaveAsTarget::Shared: return saveAsShared && saveAsShared();
        case SaveAsTarget::Cancelled: return false;
        }
    } else if (saveAsShared && !m_manager.Prompt().YesNo(AppTexts::SaveLocallyQuestion, AppTexts::SaveLocallyCaption)) {
        return saveAsShared();
    }
    return saveToChosenFile();
}

bool CSolutionCommands::saveToChosenFile()
{
    const CKELSolution *s = m_manager.Solution();
    // a shared solution's path is its name on the server, not a place on disk
    QString directory;
    if (!s->Path().isEmpty() && m_manager.IsLocal())
        directory = QFileInfo(s->Path()).absolutePath();
    if (directory.isEmpty())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path =
        m_dialogs.SaveFileName(m_window, AppTexts::SaveAsCaption, Filter(), QStringLiteral("kvf"), directory);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".kvf");
    if (!writeTo(path))
        return false;
    m_manager.SetSolutionPath(QFileInfo(path).absoluteFilePath());
    m_manager.SetLocal(true);
    m_manager.MarkSaved();
    emit fileSaved(s->Path());
    return true;
}
