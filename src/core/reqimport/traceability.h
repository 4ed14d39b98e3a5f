#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class CKELDataManager;
class CKELVersion;
class QIODevice;

// Which requirements a version's design covers, and which behavior of the
// design answers to no requirement.
namespace Traceability {

enum class Coverage { Covered, OnlyInRBTs, NotCovered };
QString CoverageText(Coverage c); // "covered", "only in RBTs", "not covered"

struct CNodeRef
{
    int id = 0;
    int treeId = 0;
    QString label; // "R1:DOOR[open]"
};

struct CRequirementRow
{
    int id = 0;
    QString tag;
    QString description;
    QStringList rbts;            // names of the RBTs made from it
    QList<CNodeRef> designNodes; // nodes of IBTs/DBTs carrying its tag
    Coverage coverage = Coverage::NotCovered;
};

struct CUntracedRow
{
    CNodeRef node;
    QString reason; // "no requirement tag" or "tag R9 names no requirement"
};

struct CComponentRow
{
    QString name;
    QStringList inDesign;   // tags its design-tree nodes carry
    QStringList onlyInRBTs; // tags only its RBT nodes carry
};

struct CTree
{
    int id = 0;
    QString name;
};

struct CReport
{
    QString solution;
    QString version;
    QList<CTree> designTrees;
    QList<CRequirementRow> requirements;
    QList<CUntracedRow> untraced;
    QList<CComponentRow> components;
    int designNodeCount = 0;
    int Count(Coverage c) const;
};

CReport Build(const CKELDataManager &manager, const CKELVersion *version);
// The version with this name, or null.
const CKELVersion *VersionNamed(const CKELDataManager &manager, const QString &name);

QByteArray ToCsv(const CReport &report);
QByteArray ToJson(const CReport &report);

// An SVG picture of a design tree whose element with id "n" + node id
// stands over each node, so the report's links can point at it; empty when
// no drawing is available.
using TreeDrawing = std::function<QByteArray(int treeId)>;
// One self-contained HTML file: the summary, the tables and, when drawing
// is given, each design tree drawn with the rows' nodes linked into it.
bool WriteHtml(const CReport &report, QIODevice &out, const TreeDrawing &drawing);

enum class Format { Html, Csv, Json, Unknown };
// The report in one of the formats; false when the device refused the bytes.
bool Write(const CReport &report, Format format, QIODevice &out, const TreeDrawing &drawing);
Format FormatNamed(const QString &name);  // "html", "csv", "json"
Format FormatOfPath(const QString &path); // by extension

} // namespace Traceability
