#pragma once

#include "model/prompt.h"

#include <QPointer>
#include <QWidget>

// How the desktop program asks: modal message boxes over the main window.
class CMessageBoxPrompt : public CPrompt
{
public:
    explicit CMessageBoxPrompt(QWidget *parent = nullptr) : m_parent(parent) {}

    void Message(const QString &text, const QString &caption) override;
    bool YesNo(const QString &text, const QString &caption) override;
    Answer YesNoCancel(const QString &text, const QString &caption) override;
    bool OkCancel(const QString &text, const QString &caption) override;

private:
    QPointer<QWidget> m_parent;
};
