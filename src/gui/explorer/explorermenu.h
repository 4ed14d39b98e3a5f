#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The item a context-menu command or a double click acts on: its element
// and the element of its parent item (a state shown under a requirement
// reports that requirement).
struct CExplorerTarget
{
    int elementId = 0;
    int shownUnderId = 0;
};

// The context menus of the explorer by element kind. The layout fixes the
// command texts, their order and their groups; a command appears only once
// some part of the program has given it a handler, so the menus never show
// an entry that does nothing. Commands outside the layout are appended in a
// group of their own.
class CExplorerMenu
{
public:
    using Handler = std::function<void(const CExplorerTarget &)>;
    using CheckState = std::function<bool(const CExplorerTarget &)>;

    // The commands of a kind in menu order; an empty string separates groups.
    static QStringList Layout(int typeCode);

    // A null handler takes the command off the menu again.
    void SetHandler(int typeCode, const QString &command, Handler handler);
    bool HasHandler(int typeCode, const QString &command) const;
    // What the menu of a kind shows now: commands with handlers, and
    // separators only between groups that show something.
    QStringList Shown(int typeCode) const;
    bool Run(int typeCode, const QString &command, const CExplorerTarget &target) const;
    // A command with a check state is a switch: its entry is checkable and
    // shows whether it is on for the item (a null state makes it plain).
    void SetCheckState(int typeCode, const QString &command, CheckState state);
    CheckState CheckStateOf(int typeCode, const QString &command) const;

private:
    QHash<int, QHash<QString, Handler>> m_handlers;
    QHash<int, QHash<QString, CheckState>> m_checkStates;
    QHash<int, QStringList> m_extra; // commands outside the layout, in the order given
};
