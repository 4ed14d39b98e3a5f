#include "reqif.h"

#include "reqimport.h"
#include "requirementscan.h"

#include "edit/editstep.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"

#include <QDateTime>
#include <QIODevice>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ReqIF {

namespace {

const QString kNamespace = QStringLiteral("http://www.omg.org/module/ReqIF/20110401/reqif.xsd");
const QString kStringType = QStringLiteral("vd-datatype-string");
const QString kObjectType = QStringLiteral("vd-type-requirement");
const QString kSpecType = QStringLiteral("vd-type-version");
const QString kTagAttribute = QStringLiteral("vd-attribute-tag");
const QString kTextAttribute = QStringLiteral("vd-attribute-description");

// Deeper than any ReqIF file needs; a file nested further is an attack or damaged.
constexpr int kMaxDepth = 256;

QList<const CKELVersion *> versionsOf(const CKELDataManager &manager)
{
    QList<const CKELVersion *> out;
    const CKELSolution *solution = manager.Solution();
    const CKELProject *project = solution ? solution->Project() : nullptr;
    if (!project)
        return out;
    for (const auto &c : project->Children()) {
        if (c->GetTypeCode() == KEL::Version)
            out << static_cast<const CKELVersion *>(c.get());
    }
    return out;
}

QList<const CKELRequirement *> requirementsOf(const CKELVersion *version)
{
    QList<const CKELRequirement *> out;
    const CKELData *folder = version ? version->RequirementsFolder() : nullptr;
    if (!folder)
        return out;
    for (const auto &c : folder->Children()) {
        if (c->GetTypeCode() == KEL::Requirement)
            out << static_cast<const CKELRequirement *>(c.get());
    }
    return out;
}

// XML 1.0 cannot carry most control characters, even escaped.
QString xmlSafe(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            c = QChar(0xFFFD);
    }
    return out;
}

void writeStringAttributeDefinition(QXmlStreamWriter &w, const QString &id, const QString &name, const QString &stamp)
{
    w.writeStartElement(QStringLiteral("ATTRIBUTE-DEFINITION-STRING"));
    w.writeAttribute(QStringLiteral("IDENTIFIER"), id);
    w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
    w.writeAttribute(QStringLiteral("LONG-NAME"), name);
    w.writeStartElement(QStringLiteral("TYPE"));
    w.writeTextElement(QStringLiteral("DATATYPE-DEFINITION-STRING-REF"), kStringType);
    w.writeEndElement();
    w.writeEndElement();
}

void writeStringValue(QXmlStreamWriter &w, const QString &definition, const QString &value)
{
    w.writeStartElement(QStringLiteral("ATTRIBUTE-VALUE-STRING"));
    w.writeAttribute(QStringLiteral("THE-VALUE"), xmlSafe(value));
    w.writeStartElement(QStringLiteral("DEFINITION"));
    w.writeTextElement(QStringLiteral("ATTRIBUTE-DEFINITION-STRING-REF"), definition);
    w.writeEndElement();
    w.writeEndElement();
}

// ---- reading ------------------------------------------------------------

// Names other tools give the tag and the text of a requirement.
bool isTagName(const QString &name)
{
    static const QSet<QString> names{
        QStringLiteral("tag"),        QStringLiteral("reqif.foreignid"), QStringLiteral("id"),
        QStringLiteral("identifier"), QStringLiteral("requirement id"),  QStringLiteral("req id"),
        QStringLiteral("key")};
    return names.contains(name.trimmed().toLower());
}
bool isTextName(const QString &name)
{
    static const QSet<QString> names{
        QStringLiteral("description"), QStringLiteral("reqif.text"),       QStringLiteral("text"),
        QStringLiteral("object text"), QStringLiteral("requirement text"), QStringLiteral("reqif.chaptername"),
        QStringLiteral("statement")};
    return names.contains(name.trimmed().toLower());
}

struct CObject
{
    QString identifier;
    QString longName;
    QHash<QString, QString> values; // definition id -> text
};

class CReader
{
public:
    explicit CReader(QIODevice &in) : m_xml(&in) {}

    bool Run(CReadReport &report, QString *error)
    {
        int depth = 0;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD) {
                m_xml.raiseError(QStringLiteral("a document type declaration is not allowed in a ReqIF file"));
                break;
            }
            if (token == QXmlStreamReader::EndElement) {
                if (m_xml.name() == u"SPECIFICATION")
                    m_moduleDepth = 0; // references after it belong to relations, not to the version
                --depth;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (++depth > kMaxDepth) {
                m_xml.raiseError(QStringLiteral("elements are nested deeper than %1 levels").arg(kMaxDepth));
                break;
            }
            if (depth == 1 && m_xml.name() != u"REQ-IF") {
                m_xml.raiseError(QStringLiteral("this is not a ReqIF file (it starts with <%1>)").arg(m_xml.name()));
                break;
            }
            const QStringView name = m_xml.name();
            if (name.startsWith(u"ATTRIBUTE-DEFINITION-")) {
                const QString id = m_xml.attributes().value(QLatin1String("IDENTIFIER")).toString();
                const QString longName = m_xml.attributes().value(QLatin1String("LONG-NAME")).toString();
                if (isTagName(longName))
                    m_tagDefinitions.insert(id);
                else if (isTextName(longName))
                    m_textDefinitions.insert(id);
            } else if (name == u"SPEC-OBJECT") {
                readObject(depth);
                --depth; // readObject consumed the end element
            } else if (name == u"SPECIFICATION") {
                m_modules.append(
                    std::pair(m_xml.attributes().value(QLatin1String("LONG-NAME")).toString(), QStringList()));
                m_moduleDepth = depth;
            } else if (name == u"SPEC-OBJECT-REF" && !m_modules.isEmpty() && m_moduleDepth > 0) {
                m_modules.last().second.append(m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
                --depth;
            }
        }
        if (m_xml.hasError()) {
            if (error)
                *error = QStringLiteral("line %1, column %2: %3")
                             .arg(m_xml.lineNumber())
                             .arg(m_xml.columnNumber())
                             .arg(m_xml.errorString());
            return false;
        }
        build(report);
        return true;
    }

private:
    // Reads one SPEC-OBJECT up to its end element.
    void readObject(int depth)
    {
        CObject object;
        object.identifier = m_xml.attributes().value(QLatin1String("IDENTIFIER")).toString();
        object.longName = m_xml.attributes().value(QLatin1String("LONG-NAME")).toString();
        int level = depth;
        QString valueText;
        bool inValue = false;
        int valueLevel = 0;
        QString definition;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD) {
                m_xml.raiseError(QStringLiteral("a document type declaration is not allowed in a ReqIF file"));
                return;
            }
            if (token == QXmlStreamReader::StartElement) {
                if (++level > kMaxDepth) {
                    m_xml.raiseError(QStringLiteral("elements are nested deeper than %1 levels").arg(kMaxDepth));
                    return;
                }
                const QStringView name = m_xml.name();
                if (name == u"ATTRIBUTE-VALUE-STRING") {
                    definition.clear();
                    valueText = m_xml.attributes().value(QLatin1String("THE-VALUE")).toString();
                } else if (name == u"ATTRIBUTE-VALUE-XHTML") {
                    definition.clear();
                    valueText.clear();
                } else if (name == u"THE-VALUE") {
                    inValue = true;
                    valueLevel = level;
                } else if (inValue && (name == u"p" || name == u"div" || name == u"br" || name == u"li")) {
                    valueText += u' ';
                } else if (name.endsWith(u"-REF") && name.startsWith(u"ATTRIBUTE-DEFINITION-")) {
                    definition = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    --level;
                }
            } else if (token == QXmlStreamReader::Characters && inValue) {
                valueText += m_xml.text();
            } else if (token == QXmlStreamReader::EndElement) {
                const QStringView name = m_xml.name();
                if (inValue && level == valueLevel && name == u"THE-VALUE") {
                    inValue = false;
                    valueText = RequirementScan::Normalise(valueText);
                } else if (name == u"ATTRIBUTE-VALUE-STRING" || name == u"ATTRIBUTE-VALUE-XHTML") {
                    if (!definition.isEmpty())
                        object.values.insert(definition, valueText);
                }
                if (--level < depth) {
                    m_objects.insert(object.identifier, object);
                    m_objectOrder << object.identifier;
                    return;
                }
            }
        }
    }

    void build(CReadReport &report)
    {
        QHash<QString, CEntry> entries;
        for (const QString &id : std::as_const(m_objectOrder)) {
            const CObject &o = m_objects[id];
            CEntry e;
            for (auto it = o.values.cbegin(); it != o.values.cend(); ++it) {
                if (m_tagDefinitions.contains(it.key()))
                    e.tag = it.value().trimmed();
                else if (m_textDefinitions.contains(it.key()))
                    e.description = it.value();
            }
            entries.insert(id, e);
        }
        auto take = [&](const QString &objectId, CModule &module, QSet<QString> &seen) {
            const auto it = entries.constFind(objectId);
            if (it == entries.cend())
                return;
            if (it->tag.isEmpty()) {
                ++report.withoutTag;
                return;
            }
            if (seen.contains(it->tag)) {
                ++report.duplicates;
                return;
            }
            seen.insert(it->tag);
            module.entries << *it;
        };
        for (const auto &[name, refs] : std::as_const(m_modules)) {
            CModule module{name, {}};
            QSet<QString> seen;
            for (const QString &ref : refs)
                take(ref, module, seen);
            report.modules << module;
        }
        if (m_modules.isEmpty()) {
            // objects outside any module still carry requirements
            CModule module;
            QSet<QString> seen;
            for (const QString &id : std::as_const(m_objectOrder))
                take(id, module, seen);
            report.modules << module;
        }
    }

    QXmlStreamReader m_xml;
    QSet<QString> m_tagDefinitions;
    QSet<QString> m_textDefinitions;
    QHash<QString, CObject> m_objects;
    QStringList m_objectOrder;
    QList<std::pair<QString, QStringList>> m_modules;
    int m_moduleDepth = 0;
};

} // namespace

bool Write(const CKELDataManager &manager, QIODevice &out, QString *error)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    const QList<const CKELVersion *> versions = versionsOf(manager);
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeDefaultNamespace(kNamespace);
    w.writeStartElement(QStringLiteral("REQ-IF"));
    w.writeStartElement(QStringLiteral("THE-HEADER"));
    w.writeStartElement(QStringLiteral("REQ-IF-HEADER"));
    w.writeAttribute(QStringLiteral("IDENTIFIER"), QStringLiteral("vd-header"));
    w.writeTextElement(QStringLiteral("CREATION-TIME"), stamp);
    w.writeTextElement(QStringLiteral("REQ-IF-TOOL-ID"), QStringLiteral("Verdantis"));
    w.writeTextElement(QStringLiteral("REQ-IF-VERSION"), QStringLiteral("1.0"));
    w.writeTextElement(QStringLiteral("SOURCE-TOOL-ID"), QStringLiteral("Verdantis"));
    const CKELSolution *solution = manager.Solution();
    w.writeTextElement(QStringLiteral("TITLE"), xmlSafe(solution ? solution->DisplayName() : QString()));
    w.writeEndElement();
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("CORE-CONTENT"));
    w.writeStartElement(QStringLiteral("REQ-IF-CONTENT"));
    w.writeStartElement(QStringLiteral("DATATYPES"));
    w.writeEmptyElement(QStringLiteral("DATATYPE-DEFINITION-STRING"));
    w.writeAttribute(QStringLiteral("IDENTIFIER"), kStringType);
    w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
    w.writeAttribute(QStringLiteral("LONG-NAME"), QStringLiteral("Text"));
    w.writeAttribute(QStringLiteral("MAX-LENGTH"), QStringLiteral("2147483647"));
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("SPEC-TYPES"));
    w.writeStartElement(QStringLiteral("SPEC-OBJECT-TYPE"));
    w.writeAttribute(QStringLiteral("IDENTIFIER"), kObjectType);
    w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
    w.writeAttribute(QStringLiteral("LONG-NAME"), QStringLiteral("Requirement"));
    w.writeStartElement(QStringLiteral("SPEC-ATTRIBUTES"));
    writeStringAttributeDefinition(w, kTagAttribute, QStringLiteral("Tag"), stamp);
    writeStringAttributeDefinition(w, kTextAttribute, QStringLiteral("Description"), stamp);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEmptyElement(QStringLiteral("SPECIFICATION-TYPE"));
    w.writeAttribute(QStringLiteral("IDENTIFIER"), kSpecType);
    w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
    w.writeAttribute(QStringLiteral("LONG-NAME"), QStringLiteral("Version"));
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("SPEC-OBJECTS"));
    for (const CKELVersion *v : versions) {
        for (const CKELRequirement *r : requirementsOf(v)) {
            w.writeStartElement(QStringLiteral("SPEC-OBJECT"));
            w.writeAttribute(QStringLiteral("IDENTIFIER"), QStringLiteral("vd-requirement-%1").arg(r->GetId()));
            w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
            w.writeAttribute(QStringLiteral("LONG-NAME"), xmlSafe(r->GetName()));
            w.writeStartElement(QStringLiteral("VALUES"));
            writeStringValue(w, kTagAttribute, r->GetName());
            writeStringValue(w, kTextAttribute, r->Description());
            w.writeEndElement();
            w.writeStartElement(QStringLiteral("TYPE"));
            w.writeTextElement(QStringLiteral("SPEC-OBJECT-TYPE-REF"), kObjectType);
            w.writeEndElement();
            w.writeEndElement();
        }
    }
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("SPECIFICATIONS"));
    for (const CKELVersion *v : versions) {
        w.writeStartElement(QStringLiteral("SPECIFICATION"));
        w.writeAttribute(QStringLiteral("IDENTIFIER"), QStringLiteral("vd-version-%1").arg(v->GetId()));
        w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
        w.writeAttribute(QStringLiteral("LONG-NAME"), xmlSafe(v->GetName()));
        w.writeStartElement(QStringLiteral("TYPE"));
        w.writeTextElement(QStringLiteral("SPECIFICATION-TYPE-REF"), kSpecType);
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("CHILDREN"));
        for (const CKELRequirement *r : requirementsOf(v)) {
            w.writeStartElement(QStringLiteral("SPEC-HIERARCHY"));
            w.writeAttribute(QStringLiteral("IDENTIFIER"),
                             QStringLiteral("vd-hierarchy-%1-%2").arg(v->GetId()).arg(r->GetId()));
            w.writeAttribute(QStringLiteral("LAST-CHANGE"), stamp);
            w.writeStartElement(QStringLiteral("OBJECT"));
            w.writeTextElement(QStringLiteral("SPEC-OBJECT-REF"), QStringLiteral("vd-requirement-%1").arg(r->GetId()));
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement(); // REQ-IF-CONTENT
    w.writeEndElement(); // CORE-CONTENT
    w.writeEndElement(); // REQ-IF
    w.writeEndDocument();
    if (w.hasError()) {
        if (error)
            *error = out.errorString().isEmpty() ? QStringLiteral("the file refused the text") : out.errorString();
        return false;
    }
    return true;
}

bool Read(QIODevice &in, CReadReport &report, QString *error)
{
    report = {};
    CReader reader(in);
    return reader.Run(report, error);
}

QList<CEntry> Choose(const CReadReport &report, const QString &wanted, const QString &currentVersion, QString *error)
{
    if (!wanted.isEmpty()) {
        for (const CModule &s : report.modules) {
            if (s.name == wanted)
                return s.entries;
        }
        if (error) {
            QStringList names;
            for (const CModule &s : report.modules)
                names << u'"' + s.name + u'"';
            *error = QStringLiteral("The file has no module \"%1\" (it has %2)")
                         .arg(wanted, names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
        }
        return {};
    }
    for (const CModule &s : report.modules) {
        if (s.name == currentVersion && report.modules.size() > 1)
            return s.entries;
    }
    QList<CEntry> all;
    QSet<QString> seen;
    for (const CModule &s : report.modules) {
        for (const CEntry &e : s.entries) {
            if (!seen.contains(e.tag)) {
                seen.insert(e.tag);
                all << e;
            }
        }
    }
    return all;
}

CImportPlan Plan(const CKELDataManager &manager, const QList<CEntry> &entries)
{
    CImportPlan plan;
    for (const CEntry &e : entries) {
        const CKELRequirement *existing = manager.FindRequirement(e.tag);
        if (!existing)
            plan.added << e;
        else if (existing->Description() != e.description)
            plan.changed << CChange{existing->GetId(), e.tag, existing->Description(), e.description};
        else
            ++plan.unchanged;
    }
    return plan;
}

QString DescribeChanges(const CImportPlan &plan)
{
    QStringList lines;
    for (const CChange &c : plan.changed)
        lines << QStringLiteral("%1: \"%2\" -> \"%3\"").arg(c.tag, c.oldDescription, c.newDescription);
    return lines.join(u'\n');
}

CApplied Apply(CKELDataManager &manager, const CImportPlan &plan, bool update)
{
    CApplied result;
    CEditStep step(manager, QStringLiteral("Import ReqIF"));
    QList<CScannedRequirement> added;
    for (const CEntry &e : plan.added)
        added << CScannedRequirement{e.tag, e.description};
    result.added = ReqImport::ExportRequirements(manager, added);
    result.refused = int(added.size()) - result.added;
    if (update) {
        for (const CChange &c : plan.changed) {
            if (manager.ChangeRequirement(c.id, c.tag, c.newDescription))
                ++result.changed;
            else
                ++result.refused;
        }
    }
    return result;
}

} // namespace ReqIF
