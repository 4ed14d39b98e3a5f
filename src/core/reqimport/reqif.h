#pragma once

#include <QList>
#include <QString>

class CKELDataManager;
class QIODevice;

// Requirements exchanged with requirements-management tools as ReqIF: each
// requirement a SPEC-OBJECT with the tag and the description as string
// attributes, each version of the solution a SPECIFICATION listing its
// requirements.
namespace ReqIF {

struct CEntry
{
    QString tag;
    QString description;
    bool operator==(const CEntry &) const = default;
};

struct CModule
{
    QString name;
    QList<CEntry> entries;
};

// Every version's requirements. False (and why) when the device refused the bytes.
bool Write(const CKELDataManager &manager, QIODevice &out, QString *error = nullptr);

struct CReadReport
{
    QList<CModule> modules;
    int withoutTag = 0; // objects with no tag attribute or an empty one
    int duplicates = 0; // a tag already read from an earlier object
};
// Reads the requirements of a ReqIF file. Content this program has no use
// for (other attribute types, relations, tool extensions) is passed over.
// A malformed file gives "line L, column C: reason"; a document type
// declaration is refused, since ReqIF has none and entities are the usual
// way to make a small file expand without bound.
bool Read(QIODevice &in, CReadReport &report, QString *error);

// The requirements an import takes: those of the module named like
// wanted (when given), else of the one named like the current version,
// else of all, first occurrence of a tag first.
QList<CEntry> Choose(const CReadReport &report, const QString &wanted, const QString &currentVersion, QString *error);

struct CChange
{
    int id = 0;
    QString tag;
    QString oldDescription;
    QString newDescription;
};
struct CImportPlan
{
    QList<CEntry> added;
    QList<CChange> changed;
    int unchanged = 0;
};
// What importing entries into the current version would add and change.
CImportPlan Plan(const CKELDataManager &manager, const QList<CEntry> &entries);
// The changes as lines "R1: old -> new" for the user to consent to.
QString DescribeChanges(const CImportPlan &plan);

struct CApplied
{
    int added = 0;
    int changed = 0;
    int refused = 0;
};
// Adds the new requirements and, when update is on, changes the differing
// descriptions; one undo step.
CApplied Apply(CKELDataManager &manager, const CImportPlan &plan, bool update);

} // namespace ReqIF
