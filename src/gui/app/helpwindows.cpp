#include "helpwindows.h"
#include "apptexts.h"

#include "editor/tessel1view.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

QString plain(QString text)
{
    text.remove(u'&');
    if (text.endsWith(QStringLiteral("...")))
        text.chop(3);
    return text;
}

// The menu path of an action, "Tool > Model Checking", or empty when no
// menu of the window's menu bar holds it.
QString menuPath(const QMenuBar *bar, const QAction *action)
{
    std::function<QString(const QMenu *, const QString &)> search = [&](const QMenu *menu, const QString &path) {
        for (QAction *a : menu->actions()) {
            if (a == action)
                return path;
            if (a->menu()) {
                const QString found = search(a->menu(), path + AppTexts::MenuPathSeparator + plain(a->text()));
                if (!found.isEmpty())
                    return found;
            }
        }
        return QString();
    };
    for (QAction *top : bar->actions()) {
        if (top->menu()) {
            const QString found = search(top->menu(), plain(top->text()));
            if (!found.isEmpty())
                return found;
        }
    }
    return QString();
}

// The system menu of every open tree window repeats Close: one per window
// would bury the real commands.
bool inSubWindow(const QObject *object)
{
    for (; object; object = object->parent()) {
        if (qobject_cast<const QMdiSubWindow *>(object))
            return true;
    }
    return false;
}

} // namespace

QList<CShortcutEntry> CollectShortcuts(const QMainWindow &window)
{
    QList<CShortcutEntry> entries;
    const auto actions = window.findChildren<QAction *>();
    for (const QAction *a : actions) {
        if (a->shortcut().isEmpty() || a->text().isEmpty() || inSubWindow(a))
            continue;
        QString where = menuPath(window.menuBar(), a);
        if (where.isEmpty())
            where = AppTexts::MainWindowPlace;
        for (const QKeySequence &keys : a->shortcuts())
            entries.append({where, plain(a->text()), keys});
    }
    for (const CTessel1View::KeyCommand &k : CTessel1View::KeyCommands())
        entries.append({AppTexts::TreeWindowPlace, k.text, QKeySequence(k.key)});
    std::stable_sort(entries.begin(), entries.end(), [](const CShortcutEntry &a, const CShortcutEntry &b) {
        return std::tie(a.where, a.command) < std::tie(b.where, b.command);
    });
    return entries;
}

CKeyboardShortcutsDlg::CKeyboardShortcutsDlg(const QList<CShortcutEntry> &entries, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(AppTexts::ShortcutsTitle);
    auto *filter = new QLineEdit(this);
    filter->setPlaceholderText(AppTexts::Filter);
    filter->setAccessibleName(AppTexts::FilterShortcuts);
    filter->setClearButtonEnabled(true);
    auto *table = new QTreeWidget(this);
    table->setObjectName(QStringLiteral("shortcutTable"));
    table->setAccessibleName(AppTexts::ShortcutTable);
    table->setHeaderLabels({AppTexts::CommandColumn, AppTexts::KeysColumn, AppTexts::WhereColumn});
    table->setRootIsDecorated(false);
    table->setAlternatingRowColors(true);
    for (const CShortcutEntry &e : entries) {
        new QTreeWidgetItem(table, {e.command, e.keys.toString(QKeySequence::NativeText), e.where});
    }
    table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(filter, &QLineEdit::textChanged, table, [table](const QString &text) {
        for (int i = 0; i < table->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = table->topLevelItem(i);
            const bool shown = text.isEmpty() || item->text(0).contains(text, Qt::CaseInsensitive)
                               || item->text(1).contains(text, Qt::CaseInsensitive)
                               || item->text(2).contains(text, Qt::CaseInsensitive);
            item->setHidden(!shown);
        }
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filter);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(560, 520);
}

CUserGuideWindow::CUserGuideWindow(const QString &indexPage, QWidget *parent)
    : QDialog(parent)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(AppTexts::GuideTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("guideBrowser"));
    m_browser->setAccessibleName(AppTexts::GuideBrowser);
    m_browser->setOpenExternalLinks(true);
    auto *back = new QPushButton(AppTexts::Back, this);
    auto *forward = new QPushButton(AppTexts::Forward, this);
    auto *home = new QPushButton(AppTexts::Contents, this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(m_browser->documentTitle().isEmpty() ? AppTexts::GuideTitle
                                                            : AppTexts::GuidePageTitle(m_browser->documentTitle()));
    });
    auto *bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(home);
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_browser);
    m_browser->setSource(QUrl::fromLocalFile(indexPage));
    resize(860, 720);
}

QString CUserGuideWindow::FindGuide()
{
    const QString page = QStringLiteral("verdantis/guide/index.html");
    QStringList candidates;
    const QString app = QCoreApplication::applicationDirPath();
    candidates << QDir(app).filePath(QStringLiteral("../share/") + page);
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, page);
    if (!installed.isEmpty())
        candidates << installed;
#ifdef VERDANTIS_BUILD_GUIDE
    candidates << QStringLiteral(VERDANTIS_BUILD_GUIDE "/index.html");
#endif
    for (const QString &c : std::as_const(candidates)) {
        if (QFileInfo(c).isFile())
            return QFileInfo(c).canonicalFilePath();
    }
    return QString();
}
