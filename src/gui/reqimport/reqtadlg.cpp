#include "reqtadlg.h"
#include "reqimportguitexts.h"

#include "selectrbtdlg.h"
#include "tagspecsdlg.h"

#include "dialogs/dialogrunner.h"
#include "edit/editstep.h"
#include "editor/childframe.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "model/keldatamanager.h"
#include "model/keltypes.h"
#include "model/prompt.h"
#include "reqimport/documentimport.h"
#include "reqimport/reqimport.h"
#include "reqimport/reqimporttexts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

#include <memory>

namespace {

QPushButton *button(QWidget *parent, const QString &text, const QString &objectName)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

QListWidget *wordList(QWidget *parent, const QString &objectName)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QStringList entries(const QListWidget *list)
{
    QStringList words;
    for (int i = 0; i < list->count(); ++i)
        words.append(list->item(i)->text());
    return words;
}

} // namespace

CReqTADlg::CReqTADlg(CKELDataManager &manager, CDialogRunner &dialogs, CTreeWindows *windows, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_dialogs(dialogs)
    , m_windows(windows)
{
    setWindowTitle(ReqImportGuiTexts::AssistantTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    buildMenu(bar);
    layout->setMenuBar(bar);

    auto *heading = new QLabel(ReqImportGuiTexts::AssistantHeading, this);
    heading->setObjectName(QStringLiteral("heading"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("text"));
    // the text is read and saved as plain text; pasted formatting would be lost anyway
    m_text->setAcceptRichText(false);
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);

    auto *split = new QSplitter(Qt::Horizontal, this);
    auto *left = new QWidget(split);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_text, 1);
    leftLayout->addWidget(buildWalkBar());
    split->addWidget(left);
    split->addWidget(buildLists());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);
    layout->addWidget(buildNodes());

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    layout->addWidget(m_status);

    // a new solution has none of the requirements this dialog put into the old one
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, [this] {
        m_synced = false;
        m_lastTreeId = 0;
    });
    if (m_windows) {
        connect(m_windows, &CTreeWindows::activeViewChanged, this, [this] { noteActiveTree(); });
        noteActiveTree();
    }
    resize(1040, 680);
}

QWidget *CReqTADlg::buildWalkBar()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    QPushButton *start = button(box, ReqImportGuiTexts::Start, QStringLiteral("start"));
    QPushButton *back = button(box, ReqImportGuiTexts::Back, QStringLiteral("back"));
    QPushButton *forward = button(box, ReqImportGuiTexts::Forward, QStringLiteral("forward"));
    QPushButton *end = button(box, ReqImportGuiTexts::End, QStringLiteral("end"));
    m_skipAdded = new QCheckBox(ReqImportGuiTexts::SkipAdded, box);
    m_skipAdded->setObjectName(QStringLiteral("skipAdded"));
    QPushButton *addTag = button(box, ReqImportGuiTexts::AddTag, QStringLiteral("addTag"));
    QPushButton *addComponent = button(box, ReqImportGuiTexts::AddComponent, QStringLiteral("addComponent"));
    QPushButton *addBehavior = button(box, ReqImportGuiTexts::AddBehavior, QStringLiteral("addBehavior"));
    grid->addWidget(start, 0, 0);
    grid->addWidget(back, 0, 1);
    grid->addWidget(forward, 0, 2);
    grid->addWidget(end, 0, 3);
    grid->addWidget(m_skipAdded, 0, 4);
    grid->addWidget(addTag, 1, 0);
    grid->addWidget(addComponent, 1, 1);
    grid->addWidget(addBehavior, 1, 2);
    grid->setColumnStretch(5, 1);
    connect(start, &QPushButton::clicked, this, &CReqTADlg::WalkStart);
    connect(back, &QPushButton::clicked, this, [this] { Walk(-1); });
    connect(forward, &QPushButton::clicked, this, [this] { Walk(1); });
    connect(end, &QPushButton::clicked, this, &CReqTADlg::WalkEnd);
    connect(addTag, &QPushButton::clicked, this, &CReqTADlg::AddTag);
    connect(addComponent, &QPushButton::clicked, this, &CReqTADlg::AddComponent);
    connect(addBehavior, &QPushButton::clicked, this, &CReqTADlg::AddBehavior);
    return box;
}

QWidget *CReqTADlg::buildLists()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_tags = wordList(box, QStringLiteral("tags"));
    m_components = wordList(box, QStringLiteral("components"));
    m_behaviors = wordList(box, QStringLiteral("behaviors"));
    m_types = wordList(box, QStringLiteral("types"));
    m_types->addItems(ReqImportTexts::BehaviorTypes());
    const struct
    {
        QString label;
        QListWidget *list;
        QString removeName;
    } columns[] = {{ReqImportGuiTexts::TagColumn, m_tags, QStringLiteral("removeTag")},
                   {ReqImportGuiTexts::ComponentColumn, m_components, QStringLiteral("removeComponent")},
                   {ReqImportGuiTexts::BehaviorsColumn, m_behaviors, QStringLiteral("removeBehavior")},
                   {ReqImportGuiTexts::TypesColumn, m_types, QString()}};
    int column = 0;
    for (const auto &c : columns) {
        auto *label = new QLabel(c.label, box);
        label->setBuddy(c.list);
        grid->addWidget(label, 0, column);
        grid->addWidget(c.list, 1, column);
        if (!c.removeName.isEmpty()) {
            QPushButton *remove = button(box, ReqImportGuiTexts::Remove, c.removeName);
            grid->addWidget(remove, 2, column);
            QListWidget *list = c.list;
            connect(remove, &QPushButton::clicked, this, [list] {
                const QList<QListWidgetItem *> chosen = list->selectedItems();
                for (QListWidgetItem *item : chosen)
                    std::unique_ptr<QListWidgetItem>(list->takeItem(list->row(item))).reset();
            });
        }
        ++column;
    }
    return box;
}

QWidget *CReqTADlg::buildNodes()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_nodes = new QPlainTextEdit(box);
    m_nodes->setObjectName(QStringLiteral("nodes"));
    m_nodes->setMaximumHeight(130);
    auto *label = new QLabel(ReqImportGuiTexts::NodesLabel, box);
    label->setBuddy(m_nodes);
    QPushButton *create = button(box, ReqImportGuiTexts::CreateNode, QStringLiteral("createNode"));
    QPushButton *exportNodes = button(box, ReqImportGuiTexts::ExportNodes, QStringLiteral("exportNodes"));
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(m_nodes, 1, 0, 3, 1);
    grid->addWidget(create, 1, 1);
    grid->addWidget(exportNodes, 2, 1);
    grid->setColumnStretch(0, 1);
    connect(create, &QPushButton::clicked, this, &CReqTADlg::CreateNode);
    connect(exportNodes, &QPushButton::clicked, this, &CReqTADlg::ExportNodes);
    return box;
}

void CReqTADlg::buildMenu(QMenuBar *bar)
{
    auto action = [this](QMenu *menu, const QString &text, const QString &objectName, auto run) {
        QAction *a = menu->addAction(text);
        a->setObjectName(objectName);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    QMenu *file = bar->addMenu(ReqImportGuiTexts::FileMenu);
    action(file, ReqImportGuiTexts::New, QStringLiteral("actionNew"), [this] { NewText(); });
    action(file, ReqImportGuiTexts::Open, QStringLiteral("actionOpen"), [this] { OpenTextFile(); });
    action(file, ReqImportGuiTexts::Save, QStringLiteral("actionSave"), [this] { SaveTextFile(); });
    file->addSeparator();
    QMenu *importFrom = file->addMenu(ReqImportGuiTexts::ImportFrom);
    action(importFrom, ReqImportGuiTexts::FromFile, QStringLiteral("actionImportFile"), [this] { OpenTextFile(); });
    action(importFrom, ReqImportGuiTexts::FromModel, QStringLiteral("actionImportModel"),
           [this] { ImportFromModel(); });
    QMenu *exportTo = file->addMenu(ReqImportGuiTexts::ExportTo);
    action(exportTo, ReqImportGuiTexts::FromFile, QStringLiteral("actionExportFile"),
           [this] { ExportRequirementsToFile(); });
    action(exportTo, ReqImportGuiTexts::FromModel, QStringLiteral("actionExportModel"),
           [this] { ExportRequirementsToModel(); });
    file->addSeparator();
    action(file, ReqImportGuiTexts::Exit, QStringLiteral("actionExit"), [this] { close(); });

    QMenu *edit = bar->addMenu(ReqImportGuiTexts::EditMenu);
    action(edit, ReqImportGuiTexts::Undo, QStringLiteral("actionUndo"), [this] { m_text->undo(); });
    action(edit, ReqImportGuiTexts::Redo, QStringLiteral("actionRedo"), [this] { m_text->redo(); });
    edit->addSeparator();
    action(edit, ReqImportGuiTexts::Cut, QStringLiteral("actionCut"), [this] { m_text->cut(); });
    action(edit, ReqImportGuiTexts::Copy, QStringLiteral("actionCopy"), [this] { m_text->copy(); });
    action(edit, ReqImportGuiTexts::Paste, QStringLiteral("actionPaste"), [this] { m_text->paste(); });
    action(edit, ReqImportGuiTexts::SelectAll, QStringLiteral("actionSelectAll"), [this] { m_text->selectAll(); });

    QMenu *view = bar->addMenu(ReqImportGuiTexts::ViewMenu);
    QAction *wrap = action(view, ReqImportGuiTexts::WrapLines, QStringLiteral("actionWrap"), [this](bool on) {
        m_text->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    });
    wrap->setCheckable(true);
    wrap->setChecked(true);

    QMenu *help = bar->addMenu(ReqImportGuiTexts::HelpMenu);
    action(help, ReqImportGuiTexts::HowTo, QStringLiteral("actionHowTo"),
           [this] { m_manager.Prompt().Message(ReqImportGuiTexts::HowToText, ReqImportGuiTexts::AssistantHeading); });
}

// ---- text ---------------------------------------------------------------

void CReqTADlg::SetText(const QString &text)
{
    m_text->setPlainText(text);
    m_text->document()->setModified(false);
    m_walker.SetText(m_text->toPlainText());
}

QString CReqTADlg::Text() const
{
    return m_text->toPlainText();
}

QString CReqTADlg::SelectedWord() const
{
    return m_text->textCursor().selectedText();
}

void CReqTADlg::OpenTextFile()
{
    const QString path = m_dialogs.OpenFileName(this, ReqImportGuiTexts::OpenCaption, DocumentImport::FileFilter());
    if (path.isEmpty())
        return;
    QString text;
    QString error;
    if (!DocumentImport::Read(path, m_tagRules, text, &error)) {
        m_manager.Prompt().Message(error);
        return;
    }
    SetText(text);
    if (DocumentImport::ConverterFor(path) == DocumentImport::Converter::None) {
        m_fileName = path;
        m_status->setText(QFileInfo(path).fileName());
    } else {
        // the text is a conversion: "Save" must not write it over the document
        m_fileName.clear();
        m_status->setText(ReqImportGuiTexts::Converted(QFileInfo(path).fileName()));
    }
}

void CReqTADlg::SaveTextFile()
{
    // ".txt", not another suffix, so that "Open" offers the file again
    const QString path = m_dialogs.SaveFileName(this, ReqImportGuiTexts::SaveAsCaption, ReqImportGuiTexts::TextFilter,
                                                QStringLiteral("txt"), m_fileName);
    if (path.isEmpty())
        return;
    QString error;
    if (!ReqImport::WriteText(path, m_text->toPlainText(), &error)) {
        m_manager.Prompt().Message(error);
        return;
    }
    m_fileName = path;
    m_text->document()->setModified(false);
    m_status->setText(QFileInfo(path).fileName());
}

void CReqTADlg::NewText()
{
    if (m_text->document()->isModified() && !m_manager.Prompt().YesNo(ReqImportGuiTexts::DiscardChangedText))
        return;
    SetText(QString());
    m_fileName.clear();
    m_status->clear();
}

// ---- requirements -------------------------------------------------------

bool CReqTADlg::haveVersion()
{
    if (m_manager.CurrentVersion())
        return true;
    m_manager.Prompt().Message(ReqImportGuiTexts::NoSolution);
    return false;
}

void CReqTADlg::ImportFromModel()
{
    if (!haveVersion())
        return;
    SetText(ReqImport::RequirementsText(m_manager));
    m_synced = true;
    m_status->setText(ReqImportGuiTexts::CurrentVersionRequirements);
}

void CReqTADlg::ExportRequirementsToModel()
{
    if (!haveVersion())
        return;
    CTagSpecsDlg rules(this);
    rules.SetRules(m_tagRules);
    if (m_dialogs.Run(rules) != QDialog::Accepted)
        return;
    m_tagRules = rules.Rules();
    m_tagRules.addedTags = entries(m_tags);
    const QList<CScannedRequirement> found = RequirementScan::Scan(m_text->toPlainText(), m_tagRules);
    int added = 0;
    {
        // every requirement the text yields is one step: one Undo takes them back
        CEditStep step(m_manager, ReqImportGuiTexts::StepImportRequirements);
        added = ReqImport::ExportRequirements(m_manager, found);
    }
    m_synced = true;
    QString status = ReqImportGuiTexts::RequirementsAdded(added);
    if (added < found.size())
        status += ReqImportGuiTexts::Refused(found.size() - added);
    m_status->setText(status);
}

void CReqTADlg::ExportRequirementsToFile()
{
    m_manager.Prompt().Message(ReqImportTexts::NotImplemented(), ReqImportGuiTexts::MessageCaption);
}

// ---- walking the words --------------------------------------------------

void CReqTADlg::syncWalker()
{
    // the user may have edited the text; the walk goes on from the selection
    const QString text = m_text->toPlainText();
    if (m_walker.Text() != text) {
        const int direction = m_walker.LastDirection();
        m_walker.SetText(text);
        m_walker.SetLastDirection(direction);
    }
    m_walker.SetSkipAdded(m_skipAdded->isChecked());
    m_walker.SetAddedWords(entries(m_tags) + entries(m_components) + entries(m_behaviors));
}

void CReqTADlg::showStep(const CWordWalker::Step &step)
{
    if (!step.found) {
        m_manager.Prompt().Message(step.message, ReqImportGuiTexts::MessageCaption);
        return;
    }
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(int(step.start));
    cursor.setPosition(int(step.start + step.length), QTextCursor::KeepAnchor);
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
    m_text->setFocus();
}

void CReqTADlg::Walk(int direction)
{
    syncWalker();
    const QTextCursor cursor = m_text->textCursor();
    showStep(m_walker.Move(direction, {cursor.selectionStart(), cursor.selectionEnd()}));
}

void CReqTADlg::WalkStart()
{
    syncWalker();
    showStep(m_walker.Start());
}

void CReqTADlg::WalkEnd()
{
    syncWalker();
    showStep(m_walker.End());
}

// ---- the lists ----------------------------------------------------------

void CReqTADlg::addSelectionTo(QListWidget *list, const QString &kind)
{
    // one line per entry: a line break inside one would split its node line
    const QString word = SelectedWord().simplified();
    QStringList words = entries(list);
    const QString error = ReqImport::AddWord(words, word, kind);
    if (!error.isEmpty()) {
        m_manager.Prompt().Message(error, ReqImportTexts::ErrorCaption());
        return;
    }
    if (words.size() > list->count())
        list->addItem(words.constLast());
    // the entry just filed is the one "Create Node" takes next
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().compare(word, Qt::CaseInsensitive) == 0) {
            list->setCurrentRow(i);
            break;
        }
    }
}

void CReqTADlg::AddTag()
{
    addSelectionTo(m_tags, ReqImportTexts::TagKind());
}

void CReqTADlg::AddComponent()
{
    addSelectionTo(m_components, ReqImportTexts::ComponentKind());
}

void CReqTADlg::AddBehavior()
{
    addSelectionTo(m_behaviors, ReqImportTexts::BehaviorKind());
}

QString CReqTADlg::selectedEntry(const QListWidget *list) const
{
    const QList<QListWidgetItem *> chosen = list->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.constFirst()->text();
}

// ---- nodes --------------------------------------------------------------

void CReqTADlg::CreateNode()
{
    const QList<QListWidgetItem *> type = m_types->selectedItems();
    QString error;
    const QString line =
        ReqImport::CreateNodeLine(selectedEntry(m_tags), selectedEntry(m_components), selectedEntry(m_behaviors),
                                  type.isEmpty() ? -1 : m_types->row(type.constFirst()), &error);
    if (line.isEmpty()) {
        m_manager.Prompt().Message(error, ReqImportGuiTexts::MessageCaption);
        return;
    }
    QTextCursor cursor = m_nodes->textCursor();
    cursor.movePosition(QTextCursor::End);
    // a line the user typed without its line feed must not swallow the new one
    const QString nodes = m_nodes->toPlainText();
    cursor.insertText(!nodes.isEmpty() && !nodes.endsWith(u'\n') ? u'\n' + line : line);
    m_nodes->setTextCursor(cursor);
    m_text->setFocus();
}

void CReqTADlg::noteActiveTree()
{
    if (!m_windows)
        return;
    if (const CChildFrame *frame = m_windows->ActiveFrame())
        m_lastTreeId = frame->TreeId();
}

int CReqTADlg::targetTree()
{
    if (m_windows) {
        noteActiveTree();
        const CKELData *tree = m_windows->Find(m_lastTreeId) ? m_manager.Lookup(m_lastTreeId) : nullptr;
        if (tree && tree->GetTypeCode() == KEL::RBT)
            return m_lastTreeId;
    }
    CSelectRBTDlg pick(m_manager, this);
    if (pick.IsEmpty()) {
        m_manager.Prompt().Message(ReqImportGuiTexts::NoRbt);
        return 0;
    }
    if (m_dialogs.Run(pick) != QDialog::Accepted)
        return 0;
    return pick.SelectedTreeId();
}

void CReqTADlg::ExportNodes()
{
    if (!m_synced && !m_manager.Prompt().YesNo(ReqImportTexts::NotImported())) {
        m_text->setFocus();
        return;
    }
    if (!haveVersion())
        return;
    const int treeId = targetTree();
    if (treeId == 0)
        return;
    // a line without brackets takes the chosen behavior type, a state when none is chosen
    const QList<QListWidgetItem *> type = m_types->selectedItems();
    const int defaultKind = type.isEmpty() ? int(KEL::StateRealisation) : m_types->row(type.constFirst()) + 1;
    ReqImport::NodeExport result;
    {
        CEditStep step(m_manager, ReqImportGuiTexts::StepImportNodes);
        result = ReqImport::ExportNodes(m_manager, treeId, m_nodes->toPlainText(), defaultKind);
    }
    const CKELData *tree = m_manager.Lookup(treeId);
    QString status = ReqImportGuiTexts::NodesAdded(result.added, tree ? tree->GetName() : QString::number(treeId));
    if (result.refused)
        status += ReqImportGuiTexts::Refused(result.refused);
    m_status->setText(status);
    if (m_windows && result.added > 0)
        m_windows->Open(treeId);
}
