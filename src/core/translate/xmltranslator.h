#pragma once

#include "translatesettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

class CKELDataManager;
class CKELTree;

// Renders a behavior tree as plain indented XML: the tree's id, then the
// root with its id, requirement tag, typed behavior data and node modifier,
// and its children nested below it. Behavior texts are broken down by the
// outside behavior-expression parser.
class XMLTranslator
{
public:
    explicit XMLTranslator(const CTranslateSettings &settings = {});

    // Builds the text of the tree's first root; throws CTranslateException
    // when the parser cannot be run or gives no output.
    void Export(const CKELDataManager &manager, const CKELTree &tree);
    const QString &Result() const { return m_result; }

    // The parser's lines for a behavior text; separator "||" or "[]" goes in front.
    QStringList ParseBehavior(const QString &separator, const QString &behavior);

private:
    CTranslateSettings m_settings;
    QString m_result;
    QStringList m_lines;                  // the parser's lines for the node being rendered
    QHash<QString, QStringList> m_parsed; // equal texts are parsed once
};
