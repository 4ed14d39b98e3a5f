#pragma once

#include <QString>
#include <QStringView>

// Names taken from the model become identifiers of the target languages:
// trimmed, the first character upper- or lower-case, blanks and every other
// character the languages do not allow made "_", an "x" put before a name
// that does not start with a letter, and a "_" after a reserved word, so that
// the checkers can read every name.
QString MakeIdentifier(const QString &name, bool upperInitial);
// The same without the reserved words: letters outside ASCII transliterated
// where they have a Latin base letter, else written as "u" and their code
// point, so that different names keep different spellings.
QString SpellIdentifier(const QString &name, bool upperInitial);

// A value as the target languages expect it: an integer literal stays, true
// and false are written in lower case, anything else becomes an identifier.
QString MakeValue(const QString &value);
bool IsIntegerLiteral(QStringView text);
bool IsBooleanLiteral(QStringView text);

// Text inside an XML element or attribute.
QString XmlEscaped(QStringView text);
// The same, appended: the writers build large texts and copy nothing twice.
void AppendXmlEscaped(QString &out, QStringView text);
void AppendNumber(QString &out, qint64 value);

struct CBehaviorVariable;
// A value of the executable form as the writers print it: a state or
// enumeration value's identifier, true or false, or the number. SAL puts a
// blank before a negative number (blankBeforeMinus), since its lexer reads
// "=-" or "<-" as one operator.
void AppendFormValue(QString &out, const CBehaviorVariable &v, int value, bool blankBeforeMinus);
