#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// The one way the application runs a modal dialog or asks for a file name.
// Tests replace the hooks with functions that fill the fields and accept,
// or that name a file, so that every command runs without a person.
class CDialogRunner
{
public:
    // QDialog::exec() unless a hook is set; returns the dialog's result.
    int Run(QDialog &dialog);
    // A file to open or to save to; empty when the user cancelled.
    QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter);
    QString SaveFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &defaultSuffix,
                         const QString &directory);

    std::function<int(QDialog &)> dialogHook;
    std::function<QString(const QString &caption)> openFileHook;
    std::function<QString(const QString &caption)> saveFileHook;
};
