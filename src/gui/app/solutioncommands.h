#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CDialogRunner;
class CKELDataManager;
class QWidget;

// The file side of a solution: New, Open, Save, Save As, Close and the
// check that runs before a changed solution would be lost. Failures to read
// or write are told to the user with their reason; nothing fails silently.
class CSolutionCommands : public QObject
{
    Q_OBJECT
public:
    CSolutionCommands(CKELDataManager &manager, CDialogRunner &dialogs, QWidget *window);

    static QString Filter();

    bool New();
    // Asks for a file, then opens it.
    bool Open();
    // A solution that cannot be read is reported; the open one then stays.
    bool OpenPath(const QString &path);
    bool Save();
    bool SaveAs();
    // Closes the solution after the check; the window then shows none.
    bool Close();

    // Asks whether a changed solution should be saved first. True when the
    // caller may go on and replace or close it.
    bool ConfirmDiscard();
    // The check before exit: ConfirmDiscard, then the solution is closed.
    bool CloseCheck();
    // "Solution " + name + "has been changed. Save it?"
    QString ChangedQuestion() const;

    // The collaboration part sets these: saving a shared solution, and
    // saving under a name on the server. While the second is unset, Save As
    // saves locally without asking where.
    std::function<bool()> sharedSave;
    std::function<bool()> saveAsShared;
    // Where Save As goes, when the collaboration part decides it (it asks
    // only while connected); Shared then runs saveAsShared.
    enum class SaveAsTarget { Local, Shared, Cancelled };
    std::function<SaveAsTarget()> saveAsTarget;

signals:
    // Long work starts or ends; the window shows the text at once.
    void busy(const QString &text);
    void idle(const QString &text);
    void fileOpened(const QString &path);
    void fileSaved(const QString &path);

private:
    bool writeTo(const QString &path);
    bool saveToChosenFile();
    QString displayLabel() const;

    CKELDataManager &m_manager;
    CDialogRunner &m_dialogs;
    QWidget *m_window;
};
