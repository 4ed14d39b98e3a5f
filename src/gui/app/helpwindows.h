#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

class QMainWindow;
class QTextBrowser;

// One line of Help > Keyboard Shortcuts.
struct CShortcutEntry
{
    QString where;   // "File", "Tree", "Tree window"
    QString command; // the action's text without "&"
    QKeySequence keys;
};

// Every shortcut the window's actions carry, read from the actions
// themselves (so the list cannot fall behind the menus), followed by the
// keys a tree window answers. Sorted by place, then command.
QList<CShortcutEntry> CollectShortcuts(const QMainWindow &window);

// The table of CollectShortcuts, with a filter field.
class CKeyboardShortcutsDlg : public QDialog
{
    Q_OBJECT
public:
    CKeyboardShortcutsDlg(const QList<CShortcutEntry> &entries, QWidget *parent = nullptr);
};

// The user guide: the HTML pages made from docs/guide, in a browser
// window of the program's own.
class CUserGuideWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CUserGuideWindow(const QString &indexPage, QWidget *parent = nullptr);
    QTextBrowser *Browser() const { return m_browser; }

    // The guide's first page: installed beside the program, in the data
    // folders, or in the build tree; empty when there is none.
    static QString FindGuide();

private:
    QTextBrowser *m_browser;
};
