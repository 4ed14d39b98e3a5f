#include "dialogrunner.h"

#include "dialogwidgets.h"

#include <QDialog>
#include <QFileDialog>

int CDialogRunner::Run(QDialog &dialog)
{
    // a dialog too narrow cuts its own title off
    DialogWidgets::FitDialog(dialog);
    if (dialogHook)
        return dialogHook(dialog);
    return dialog.exec();
}

QString CDialogRunner::OpenFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    if (openFileHook)
        return openFileHook(caption);
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (Run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString CDialogRunner::SaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                    const QString &defaultSuffix, const QString &directory)
{
    if (saveFileHook)
        return saveFileHook(caption);
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // QFileDialog asks before overwriting an existing file
    if (Run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
