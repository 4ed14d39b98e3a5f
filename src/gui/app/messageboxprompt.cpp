#include "messageboxprompt.h"

#include <QMessageBox>

void CMessageBoxPrompt::Message(const QString &text, const QString &caption)
{
    QMessageBox::information(m_parent, caption, text, QMessageBox::Ok);
}

bool CMessageBoxPrompt::YesNo(const QString &text, const QString &caption)
{
    return QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

CPrompt::Answer CMessageBoxPrompt::YesNoCancel(const QString &text, const QString &caption)
{
    switch (QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return Cancel;
    }
}

bool CMessageBoxPrompt::OkCancel(const QString &text, const QString &caption)
{
    return QMessageBox::information(m_parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}
