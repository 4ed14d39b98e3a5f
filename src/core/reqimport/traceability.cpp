#include "traceability.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"

#include <QFileInfo>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

namespace Traceability {

namespace {

QList<const CKELTree *> treesIn(const CKELData *folder, int typeCode)
{
    QList<const CKELTree *> out;
    if (!folder)
        return out;
    for (const auto &c : folder->Children()) {
        if (c->GetTypeCode() == typeCode)
            out << static_cast<const CKELTree *>(c.get());
    }
    return out;
}

QString nodeLabel(const CKELMethod *n)
{
    return n->requirementTag + u':' + n->component + n->GetDecoratedBehavior();
}

QByteArray csvField(const QString &text)
{
    QString t = text;
    // a leading formula character would run as a formula in a spreadsheet
    if (!t.isEmpty() && QStringView(u"=+-@").contains(t.front()))
        t.prepend(u'\'');
    if (t.contains(u',') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r') || t != text)
        return '"' + t.replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
    return t.toUtf8();
}

QByteArray csvLine(const QStringList &fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        line += csvField(fields[i]);
    }
    return line + "\r\n";
}

QString nodeIds(const QList<CNodeRef> &nodes)
{
    QStringList ids;
    for (const CNodeRef &n : nodes)
        ids << u'#' + QString::number(n.id);
    return ids.join(u' ');
}

QByteArray html(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QString CoverageText(Coverage c)
{
    switch (c) {
    case Coverage::Covered: return QStringLiteral("covered");
    case Coverage::OnlyInRBTs: return QStringLiteral("only in RBTs");
    case Coverage::NotCovered: break;
    }
    return QStringLiteral("not covered");
}

int CReport::Count(Coverage c) const
{
    int n = 0;
    for (const CRequirementRow &r : requirements)
        n += r.coverage == c;
    return n;
}

CReport Build(const CKELDataManager &manager, const CKELVersion *version)
{
    CReport report;
    if (!version)
        version = manager.CurrentVersion();
    if (!version)
        return report;
    report.solution = manager.Solution() ? manager.Solution()->DisplayName() : QString();
    report.version = version->GetName();

    QHash<QString, int> rowOfTag;
    if (const CKELData *folder = version->RequirementsFolder()) {
        for (const auto &c : folder->Children()) {
            if (c->GetTypeCode() != KEL::Requirement)
                continue;
            const auto *r = static_cast<const CKELRequirement *>(c.get());
            rowOfTag.insert(r->GetName(), int(report.requirements.size()));
            report.requirements << CRequirementRow{r->GetId(), r->GetName(), r->Description(),
                                                   {},         {},           Coverage::NotCovered};
        }
    }

    // component -> tags, kept in the order first met; the sets keep a
    // design of 10^5 nodes from comparing every tag with every other
    struct Tags
    {
        QStringList order;
        QSet<QString> seen;
    };
    QMap<QString, Tags> designTags;
    QMap<QString, Tags> rbtTags;
    auto note = [](QMap<QString, Tags> &map, const QString &component, const QString &tag) {
        Tags &tags = map[component];
        if (!tag.isEmpty() && !tags.seen.contains(tag)) {
            tags.seen.insert(tag);
            tags.order << tag;
        }
    };

    for (const CKELTree *rbt : treesIn(version->RBTFolder(), KEL::RBT)) {
        QSet<int> rows;
        for (int id : static_cast<const CKELRBT *>(rbt)->AssociatedRequirements()) {
            const CKELData *r = manager.Lookup(id);
            if (r && rowOfTag.contains(r->GetName()))
                rows.insert(rowOfTag.value(r->GetName()));
        }
        for (const CKELMethod *n : rbt->Nodes()) {
            note(rbtTags, n->component, n->requirementTag);
            if (rowOfTag.contains(n->requirementTag))
                rows.insert(rowOfTag.value(n->requirementTag));
        }
        QList<int> ordered = rows.values();
        std::sort(ordered.begin(), ordered.end());
        for (int row : ordered)
            report.requirements[row].rbts << rbt->GetName();
    }

    for (const CKELTree *tree : treesIn(version->DBTFolder(), KEL::DBT)) {
        report.designTrees << CTree{tree->GetId(), tree->GetName()};
        for (const CKELMethod *n : tree->Nodes()) {
            ++report.designNodeCount;
            const CNodeRef ref{n->GetId(), tree->GetId(), nodeLabel(n)};
            const QString tag = n->requirementTag.trimmed();
            if (tag.isEmpty()) {
                report.untraced << CUntracedRow{ref, QStringLiteral("no requirement tag")};
            } else if (!rowOfTag.contains(tag)) {
                report.untraced << CUntracedRow{ref, QStringLiteral("tag %1 names no requirement").arg(tag)};
            } else {
                report.requirements[rowOfTag.value(tag)].designNodes << ref;
                note(designTags, n->component, tag);
            }
        }
    }

    for (CRequirementRow &r : report.requirements) {
        r.coverage = !r.designNodes.isEmpty() ? Coverage::Covered
                     : !r.rbts.isEmpty()      ? Coverage::OnlyInRBTs
                                              : Coverage::NotCovered;
    }

    QStringList components;
    if (const CKELData *folder = version->ComponentsFolder()) {
        for (const auto &c : folder->Children()) {
            if (c->GetTypeCode() == KEL::Component)
                components << c->GetName();
        }
    }
    for (const QString &name : designTags.keys() + rbtTags.keys()) {
        if (!components.contains(name) && !name.isEmpty())
            components << name;
    }
    for (const QString &name : std::as_const(components)) {
        const Tags design = designTags.value(name);
        CComponentRow row{name, design.order, {}};
        for (const QString &tag : rbtTags.value(name).order) {
            if (!design.seen.contains(tag))
                row.onlyInRBTs << tag;
        }
        report.components << row;
    }
    return report;
}

const CKELVersion *VersionNamed(const CKELDataManager &manager, const QString &name)
{
    const CKELSolution *solution = manager.Solution();
    const CKELProject *project = solution ? solution->Project() : nullptr;
    if (!project)
        return nullptr;
    for (const auto &c : project->Children()) {
        if (c->GetTypeCode() == KEL::Version && c->GetName() == name)
            return static_cast<const CKELVersion *>(c.get());
    }
    return nullptr;
}

QByteArray ToCsv(const CReport &report)
{
    QByteArray out = csvLine({QStringLiteral("section"), QStringLiteral("tag"), QStringLiteral("description"),
                              QStringLiteral("status"), QStringLiteral("rbts"), QStringLiteral("nodes"),
                              QStringLiteral("component")});
    for (const CRequirementRow &r : report.requirements)
        out += csvLine({QStringLiteral("requirement"), r.tag, r.description, CoverageText(r.coverage),
                        r.rbts.join(u' '), nodeIds(r.designNodes), QString()});
    for (const CUntracedRow &u : report.untraced)
        out += csvLine({QStringLiteral("behavior without a requirement"), QString(), u.node.label, u.reason, QString(),
                        u'#' + QString::number(u.node.id), QString()});
    for (const CComponentRow &c : report.components)
        out += csvLine({QStringLiteral("component"), c.inDesign.join(u' '), QString(), QString(),
                        c.onlyInRBTs.join(u' '), QString(), c.name});
    return out;
}

QByteArray ToJson(const CReport &report)
{
    auto node = [](const CNodeRef &n) {
        return QJsonObject{
            {QStringLiteral("id"), n.id}, {QStringLiteral("tree"), n.treeId}, {QStringLiteral("label"), n.label}};
    };
    QJsonArray requirements;
    for (const CRequirementRow &r : report.requirements) {
        QJsonArray nodes;
        for (const CNodeRef &n : r.designNodes)
            nodes << node(n);
        requirements << QJsonObject{{QStringLiteral("tag"), r.tag},
                                    {QStringLiteral("description"), r.description},
                                    {QStringLiteral("status"), CoverageText(r.coverage)},
                                    {QStringLiteral("rbts"), QJsonArray::fromStringList(r.rbts)},
                                    {QStringLiteral("nodes"), nodes}};
    }
    QJsonArray untraced;
    for (const CUntracedRow &u : report.untraced) {
        QJsonObject o = node(u.node);
        o.insert(QStringLiteral("reason"), u.reason);
        untraced << o;
    }
    QJsonArray components;
    for (const CComponentRow &c : report.components)
        components << QJsonObject{{QStringLiteral("name"), c.name},
                                  {QStringLiteral("requirements"), QJsonArray::fromStringList(c.inDesign)},
                                  {QStringLiteral("onlyInRBTs"), QJsonArray::fromStringList(c.onlyInRBTs)}};
    const QJsonObject summary{{QStringLiteral("requirements"), int(report.requirements.size())},
                              {QStringLiteral("covered"), report.Count(Coverage::Covered)},
                              {QStringLiteral("onlyInRBTs"), report.Count(Coverage::OnlyInRBTs)},
                              {QStringLiteral("notCovered"), report.Count(Coverage::NotCovered)},
                              {QStringLiteral("designNodes"), report.designNodeCount},
                              {QStringLiteral("withoutRequirement"), int(report.untraced.size())}};
    const QJsonObject root{{QStringLiteral("solution"), report.solution},
                           {QStringLiteral("version"), report.version},
                           {QStringLiteral("summary"), summary},
                           {QStringLiteral("requirements"), requirements},
                           {QStringLiteral("behaviorWithoutRequirement"), untraced},
                           {QStringLiteral("components"), components}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool WriteHtml(const CReport &report, QIODevice &out, const TreeDrawing &drawing)
{
    QByteArray b;
    auto flush = [&]() {
        const bool ok = out.write(b) == b.size();
        b.clear();
        return ok;
    };
    auto nodeLinks = [&](const QList<CNodeRef> &nodes) {
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            if (i)
                b += ' ';
            b += "<a href=\"#n" + QByteArray::number(nodes[i].id) + "\" title=\"" + html(nodes[i].label) + "\">#"
                 + QByteArray::number(nodes[i].id) + "</a>";
        }
    };
    const QString title = QStringLiteral("Traceability of %1, version %2").arg(report.solution, report.version);
    b += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + html(title)
         + "</title>\n<style>\n"
           "body{font-family:sans-serif;margin:1.5em;color:#1d1d1d;background:#fff}\n"
           "table{border-collapse:collapse;margin:0.5em 0 1.5em}\n"
           "th,td{border:1px solid #c8c8c8;padding:0.25em 0.5em;text-align:left;vertical-align:top}\n"
           "th{background:#eef1f5}\n"
           ".covered{color:#1b6e20}.only{color:#8a5a00}.not{color:#b00020;font-weight:bold}\n"
           ".drawing{overflow:auto;border:1px solid #c8c8c8;max-height:80vh}\n"
           ".hit{fill:none;stroke:none}\n"
           ".hit:target{stroke:#d0006f;stroke-width:6;stroke-dasharray:8 4}\n"
           "</style>\n</head>\n<body>\n<h1>"
         + html(title) + "</h1>\n";
    b += "<h2>Summary</h2>\n<table>\n<tr><th>Requirements</th><td>" + QByteArray::number(report.requirements.size())
         + "</td></tr>\n<tr><th>Covered by the design</th><td class=\"covered\">"
         + QByteArray::number(report.Count(Coverage::Covered))
         + "</td></tr>\n<tr><th>Only in RBTs</th><td class=\"only\">"
         + QByteArray::number(report.Count(Coverage::OnlyInRBTs))
         + "</td></tr>\n<tr><th>Not covered</th><td class=\"not\">"
         + QByteArray::number(report.Count(Coverage::NotCovered)) + "</td></tr>\n<tr><th>Design-tree nodes</th><td>"
         + QByteArray::number(report.designNodeCount) + "</td></tr>\n<tr><th>Behavior without a requirement</th><td>"
         + QByteArray::number(report.untraced.size()) + "</td></tr>\n</table>\n";

    b += "<h2>Requirements</h2>\n<table>\n<tr><th>Tag</th><th>Description</th><th>Status</th><th>RBTs</th>"
         "<th>Design-tree nodes</th></tr>\n";
    for (const CRequirementRow &r : report.requirements) {
        const char *cls = r.coverage == Coverage::Covered      ? "covered"
                          : r.coverage == Coverage::OnlyInRBTs ? "only"
                                                               : "not";
        b += "<tr><td>" + html(r.tag) + "</td><td>" + html(r.description) + "</td><td class=\"" + cls + "\">"
             + html(CoverageText(r.coverage)) + "</td><td>" + html(r.rbts.join(QStringLiteral(", "))) + "</td><td>";
        nodeLinks(r.designNodes);
        b += "</td></tr>\n";
        if (b.size() > (1 << 20) && !flush())
            return false;
    }
    b += "</table>\n<h2>Behavior without a requirement</h2>\n";
    if (report.untraced.isEmpty()) {
        b += "<p>Every node of the design trees carries the tag of a requirement.</p>\n";
    } else {
        b += "<table>\n<tr><th>Node</th><th>Behavior</th><th>Why</th></tr>\n";
        for (const CUntracedRow &u : report.untraced) {
            b += "<tr><td>";
            nodeLinks({u.node});
            b += "</td><td>" + html(u.node.label) + "</td><td>" + html(u.reason) + "</td></tr>\n";
            if (b.size() > (1 << 20) && !flush())
                return false;
        }
        b += "</table>\n";
    }
    b += "<h2>Components</h2>\n<table>\n<tr><th>Component</th><th>Requirements it serves in the design</th>"
         "<th>Only in RBTs</th></tr>\n";
    for (const CComponentRow &c : report.components)
        b += "<tr><td>" + html(c.name) + "</td><td>" + html(c.inDesign.join(QStringLiteral(", "))) + "</td><td>"
             + html(c.onlyInRBTs.join(QStringLiteral(", "))) + "</td></tr>\n";
    b += "</table>\n";
    for (const CTree &t : report.designTrees) {
        b += "<h2>Design tree " + html(t.name) + "</h2>\n";
        const QByteArray svg = drawing ? drawing(t.id) : QByteArray();
        if (svg.isEmpty()) {
            b += "<p>No drawing: this report was made without the program's canvas.</p>\n";
            continue;
        }
        b += "<div class=\"drawing\">\n";
        if (!flush() || out.write(svg) != svg.size())
            return false;
        b += "</div>\n";
    }
    b += "</body>\n</html>\n";
    return flush();
}

bool Write(const CReport &report, Format format, QIODevice &out, const TreeDrawing &drawing)
{
    if (format == Format::Csv) {
        const QByteArray bytes = ToCsv(report);
        return out.write(bytes) == bytes.size();
    }
    if (format == Format::Json) {
        const QByteArray bytes = ToJson(report);
        return out.write(bytes) == bytes.size();
    }
    return WriteHtml(report, out, drawing);
}

Format FormatNamed(const QString &name)
{
    const QString n = name.toLower();
    if (n == u"html")
        return Format::Html;
    if (n == u"csv")
        return Format::Csv;
    if (n == u"json")
        return Format::Json;
    return Format::Unknown;
}

Format FormatOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"htm" ? Format::Html : FormatNamed(suffix);
}

} // namespace Traceability
