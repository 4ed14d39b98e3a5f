#include "reqimport.h"

#include "model/prompt.h"

#include "nodeline.h"
#include "reqimporttexts.h"

#include "edit/editstep.h"
#include "model/codepage1252.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace ReqImport {

QString DecodeText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        text = Cp1252::decode(view.data(), view.size());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool ReadText(const QString &path, QString &text, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    text = DecodeText(f.readAll());
    return true;
}

bool WriteText(const QString &path, const QString &text, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

QString RequirementsText(const CKELDataManager &manager)
{
    QString text;
    const CKELVersion *version = manager.CurrentVersion();
    const CKELData *folder = version ? version->RequirementsFolder() : nullptr;
    if (!folder)
        return text;
    for (const auto &c : folder->Children()) {
        if (c->GetTypeCode() != KEL::Requirement)
            continue;
        const auto *r = static_cast<const CKELRequirement *>(c.get());
        text += r->GetName() + QStringLiteral(": ") + r->Description() + QStringLiteral("\n\n");
    }
    return text;
}

int ExportRequirements(CKELDataManager &manager, const QList<CScannedRequirement> &requirements)
{
    CEditStep step(manager, QStringLiteral("Import Requirements")); // one undo step for the whole import
    // Each refusal would be a box of its own, one after the other: they are
    // gathered and shown as one. Questions still reach the user.
    class CGatheringPrompt : public CPrompt
    {
    public:
        explicit CGatheringPrompt(CPrompt &user) : m_user(user) {}
        void Message(const QString &text, const QString &) override { messages.append(text); }
        bool YesNo(const QString &text, const QString &caption) override { return m_user.YesNo(text, caption); }
        Answer YesNoCancel(const QString &text, const QString &caption) override
        {
            return m_user.YesNoCancel(text, caption);
        }
        bool OkCancel(const QString &text, const QString &caption) override { return m_user.OkCancel(text, caption); }
        QStringList messages;

    private:
        CPrompt &m_user;
    };
    CPrompt &user = manager.Prompt();
    CGatheringPrompt gathering(user);
    manager.SetPrompt(&gathering);
    int added = 0;
    for (const CScannedRequirement &r : requirements) {
        if (manager.AddRequirement(r.tag, r.description))
            ++added;
    }
    manager.SetPrompt(&user);
    if (gathering.messages.size() == 1)
        user.Message(gathering.messages.first());
    else if (!gathering.messages.isEmpty())
        user.Message(QStringLiteral("%1 requirements were not added:\n\n").arg(gathering.messages.size())
                     + gathering.messages.join(u'\n'));
    return added;
}

NodeExport ExportNodes(CKELDataManager &manager, int treeId, const QString &nodesText, int defaultKind)
{
    CEditStep step(manager, QStringLiteral("Import Nodes")); // one undo step for the whole import
    NodeExport result;
    const CKELData *e = manager.Lookup(treeId);
    int top = 20;
    if (e && e->IsTree()) {
        for (const CKELMethod *n : static_cast<const CKELTree *>(e)->Nodes())
            top = std::max(top, n->y + std::max(n->h, 50) + 40);
    }
    // "light" beside an existing "LIGHT" is most often a slip: ask, once per name
    const CKELVersion *version = e ? manager.VersionOf(e) : nullptr;
    const auto caseTwin = [&manager, version](const QString &name) {
        const CKELData *folder = version ? version->ComponentsFolder() : nullptr;
        if (!folder || name.isEmpty() || manager.FindComponent(name, version))
            return QString();
        for (const auto &c : folder->Children()) {
            if (c->GetTypeCode() == KEL::Component && c->GetName().compare(name, Qt::CaseInsensitive) == 0)
                return c->GetName();
        }
        return QString();
    };
    QHash<QString, QString> chosen; // name as written -> name to use, empty to leave the node out
    constexpr int kPerRow = 5;
    int placed = 0;
    for (QStringView line : QStringView(nodesText).split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const CNodeLine parsed = CNodeLine::Parse(line, defaultKind);
        CNodeAttributes a;
        a.requirementTag = parsed.tag;
        a.component = parsed.component;
        a.behavior = parsed.behavior;
        a.behaviorType = parsed.kind;
        if (!chosen.contains(a.component)) {
            if (const QString twin = caseTwin(a.component); !twin.isEmpty()) {
                const CPrompt::Answer answer = manager.Prompt().YesNoCancel(
                    ReqImportTexts::CaseTwinQuestion(a.component, twin), QStringLiteral("Component"));
                chosen.insert(a.component, answer == CPrompt::Yes  ? twin
                                           : answer == CPrompt::No ? a.component
                                                                   : QString());
            }
        }
        if (const auto use = chosen.constFind(a.component); use != chosen.cend()) {
            if (use->isEmpty()) {
                ++result.refused;
                continue;
            }
            a.component = *use;
        }
        const int x = 20 + (placed % kPerRow) * 230;
        const int y = top + (placed / kPerRow) * 90;
        if (manager.AddNode(treeId, 0, a, x, y)) {
            ++result.added;
            ++placed;
        } else {
            ++result.refused;
        }
    }
    return result;
}

QString AddWord(QStringList &list, const QString &word, const QString &kind)
{
    if (word.isEmpty())
        return ReqImportTexts::EmptyAdd(kind);
    if (!list.contains(word, Qt::CaseInsensitive))
        list.append(word);
    return QString();
}

QString CreateNodeLine(const QString &tag, const QString &component, const QString &behavior, int behaviorTypeIndex,
                       QString *error)
{
    QString missing;
    if (tag.isEmpty())
        missing = QStringLiteral("Tag");
    else if (component.isEmpty())
        missing = QStringLiteral("Component");
    else if (behavior.isEmpty())
        missing = QStringLiteral("Component Behaviors");
    else if (behaviorTypeIndex < 0 || behaviorTypeIndex >= ReqImportTexts::BehaviorTypes().size())
        missing = QStringLiteral("Behavior Types");
    if (!missing.isEmpty()) {
        if (error)
            *error = ReqImportTexts::MissingChoice(missing);
        return QString();
    }
    return CNodeLine::Build(tag, component, behavior, behaviorTypeIndex + 1);
}

} // namespace ReqImport
