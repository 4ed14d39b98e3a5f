#include "xmltranslator.h"

#include "translateexception.h"
#include "translatetexts.h"

#include "externalparser.h"
#include "identifier.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QSet>

#include <vector>

namespace {

using TranslateTexts::kEol;

QString indent(int depth)
{
    return QString(2 * depth, u' ');
}

void element(QString &out, int depth, const char16_t *name, const QString &text)
{
    const QString n = QString::fromUtf16(name);
    out += indent(depth) + u'<' + n + u'>' + XmlEscaped(text) + QStringLiteral("</") + n + u'>' + kEol;
}

void tag(QString &out, int depth, const char16_t *text)
{
    out += indent(depth) + QString::fromUtf16(text) + kEol;
}

} // namespace

XMLTranslator::XMLTranslator(const CTranslateSettings &settings) : m_settings(settings) {}

QStringList XMLTranslator::ParseBehavior(const QString &separator, const QString &behavior)
{
    const QString text = separator + behavior;
    const auto it = m_parsed.constFind(text);
    if (it != m_parsed.cend())
        return *it;
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    const CExternalParser parser(CExternalParser::BehaviorParser, m_settings);
    const QStringList lines = parser.RunOrThrow(line + QStringLiteral("\r\n \r\n"));
    m_parsed.insert(text, lines);
    return lines;
}

void XMLTranslator::Export(const CKELDataManager &manager, const CKELTree &tree)
{
    m_result = QStringLiteral("<bt>") + kEol;
    const QList<const CKELMethod *> roots = tree.Roots();
    // exporting the first root alone would drop the others without a word
    if (roots.size() > 1)
        throw CTranslateException(TranslateTexts::SeveralRoots(roots.size()));
    const QString treeId = QString::number(tree.GetId());

    // iterative, with the closing tags on the stack, so that any depth renders
    struct Item
    {
        int id = 0;
        int depth = 0;
        bool close = false;
    };
    std::vector<Item> stack;
    if (!roots.isEmpty())
        stack.push_back({roots.first()->GetId(), 1, false});
    QSet<int> seen;
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        const int d = item.depth;
        if (item.close) {
            tag(m_result, d - 1, u"</child>");
            continue;
        }
        if (d > 1)
            tag(m_result, d - 1, u"<child>");
        const CKELData *e = manager.Lookup(item.id);
        const CKELMethod *node =
            e && e->IsMethod() && !seen.contains(item.id) ? static_cast<const CKELMethod *>(e) : nullptr;
        seen.insert(item.id);
        element(m_result, d, u"btreeid", treeId);
        if (node && node->nonDeterministic)
            element(m_result, d, u"btEdgeType", QStringLiteral("nondet"));
        tag(m_result, d, u"<rootnode>");
        element(m_result, d, u"nodeid", QString::number(item.id));
        const QString requirementTag = node ? node->requirementTag : QString();
        element(m_result, d, u"tag", requirementTag);
        element(m_result, d, u"traceabilitymeasure", requirementTag);
        tag(m_result, d, u"<typedata>");
        if (node && (node->component.trimmed().isEmpty() || node->behavior.trimmed().isEmpty()))
            throw CTranslateException(TranslateTexts::EmptyName()
                                      + QStringLiteral(" (node %1: %2 %3)")
                                            .arg(node->GetId())
                                            .arg(node->component.trimmed(), node->behavior.trimmed()));
        if (node) {
            const char16_t *kind = nullptr;
            QString separator;
            bool parsed = true;
            switch (node->behaviorType) {
            case 1: kind = u"staterealisation"; break;
            case 2: kind = u"selection"; break;
            case 3:
                kind = u"event";
                parsed = false;
                break;
            case 4: kind = u"guard"; break;
            case 9:
                kind = u"setall";
                separator = QStringLiteral("||");
                break;
            case 10:
                kind = u"setany";
                separator = QStringLiteral("[]");
                break;
            default: break;
            }
            if (kind) {
                const QString k = QString::fromUtf16(kind);
                m_result += indent(d) + u'<' + k + u'>' + kEol;
                element(m_result, d + 1, u"component", node->component);
                if (parsed) {
                    m_lines = ParseBehavior(separator, node->behavior);
                    for (const QString &line : std::as_const(m_lines))
                        m_result += indent(d + 1) + line + kEol;
                } else {
                    element(m_result, d + 1, u"event", node->behavior);
                }
                m_result += indent(d) + QStringLiteral("</") + k + u'>' + kEol;
            }
        }
        tag(m_result, d, u"</typedata>");
        if (node && (node->jumpType == 1 || node->jumpType == 2)) {
            tag(m_result, d, u"<nodemodifierdata>");
            tag(m_result, d, node->jumpType == 2 ? u"<reference></reference>" : u"<reversion></reversion>");
            tag(m_result, d, u"</nodemodifierdata>");
        }
        tag(m_result, d, u"</rootnode>");
        if (!node)
            continue;
        const QList<int> &kids = node->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            stack.push_back({kids[i], d + 1, true});
            stack.push_back({kids[i], d + 1, false});
        }
    }
    m_result += QStringLiteral("</bt>");
}
