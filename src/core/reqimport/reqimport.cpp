#include "reqimport.h"

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
    int added = 0;
    for (const CScannedRequirement &r : requirements) {
        if (manager.AddRequirement(r.tag, r.description))
            ++added;
    }
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
