#pragma once

// Helpers shared by the desktop program's tests: a private settings and
// data home, scripted dialog answers, and the explorer as text.

#include "app/tessel1app.h"
#include "dialogs/dialogrunner.h"
#include "explorer/kelnavigatetree.h"

#include <QDialog>
#include <QDir>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

namespace GuiTestKit {

inline QString ExampleSolution()
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/microwave.kvf");
}

// Settings and recovery copies go to a fresh folder, never the user's.
// Call before anything reads settings.
inline std::unique_ptr<QTemporaryDir> IsolateHome()
{
    auto home = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath(QStringLiteral("data"))));
    qputenv("HOME", QFile::encodeName(home->path()));
    CTessel1App::SetIdentity();
    return home;
}

// Answers the dialogs the program runs, one step per dialog, in order.
// A step fills the fields as a user would and presses OK; what the dialog
// then does (close or stay open) is its own business.
class CDialogScript
{
public:
    QStringList titles; // every dialog that was run

    template<class D> void Accept(std::function<void(D &)> fill)
    {
        m_steps.push_back([fill](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            if (!d) {
                qWarning("unexpected dialog %s", qPrintable(dialog.windowTitle()));
                return int(QDialog::Rejected);
            }
            fill(*d);
            d->accept();
            return d->result();
        });
    }
    template<class D> void Use(std::function<int(D &)> act)
    {
        m_steps.push_back([act](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            return d ? act(*d) : int(QDialog::Rejected);
        });
    }
    void Cancel()
    {
        m_steps.push_back([](QDialog &) { return int(QDialog::Rejected); });
    }
    QStringList files; // answers to file dialogs, in order

    void Install(CDialogRunner &runner)
    {
        runner.dialogHook = [this](QDialog &d) {
            titles.append(d.windowTitle());
            if (m_steps.empty())
                return int(QDialog::Rejected);
            auto step = std::move(m_steps.front());
            m_steps.erase(m_steps.begin());
            return step(d);
        };
        auto file = [this](const QString &caption) {
            titles.append(caption);
            return files.isEmpty() ? QString() : files.takeFirst();
        };
        runner.openFileHook = file;
        runner.saveFileHook = file;
    }
    bool Done() const { return m_steps.empty(); }

private:
    std::vector<std::function<int(QDialog &)>> m_steps;
};

// The explorer's items as lines: two blanks per level, "~ " before an item
// that shows an element under another than its owner.
inline QString ItemsText(const QTreeWidget &tree)
{
    QString text;
    std::vector<std::pair<const QTreeWidgetItem *, int>> stack;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i)
        stack.emplace_back(tree.topLevelItem(i), 0);
    while (!stack.empty()) {
        const auto [item, depth] = stack.back();
        stack.pop_back();
        text += QString(depth * 2, u' ');
        if (CKELNavigateTree::IsVirtual(item))
            text += QStringLiteral("~ ");
        text += item->text(0) + u'\n';
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.emplace_back(item->child(i), depth + 1);
    }
    return text;
}

// The item reached by following labels from the top ("" matches the
// first virtual child with the next label instead of an owned one).
inline QTreeWidgetItem *ItemAt(const QTreeWidget &tree, const QStringList &path, bool lastVirtual = false)
{
    QTreeWidgetItem *item = nullptr;
    for (qsizetype depth = 0; depth < path.size(); ++depth) {
        const bool wantVirtual = lastVirtual && depth == path.size() - 1;
        const int count = item ? item->childCount() : tree.topLevelItemCount();
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem *c = item ? item->child(i) : tree.topLevelItem(i);
            if (c->text(0) == path[depth] && CKELNavigateTree::IsVirtual(c) == wantVirtual)
                found = c;
        }
        if (!found)
            return nullptr;
        item = found;
    }
    return item;
}

} // namespace GuiTestKit
