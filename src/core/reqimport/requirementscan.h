#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// How requirement tags stand in a text: each tag is the first word after
// the "preceded by" character (or at the very start) and ends at the
// separator, e.g. "R1: The door shall open." on a line of its own.
struct CTagSpecs
{
    QChar precededBy = u'\n';
    QChar separator = u':';
    // Only tags the user has filed in the Tag list (compared ignoring case).
    bool onlyAddedTags = false;
    QStringList addedTags;
};

struct CScannedRequirement
{
    QString tag;
    QString description;
    bool operator==(const CScannedRequirement &) const = default;
};

namespace RequirementScan {

// The requirements of text in order. Text before the first tag is
// ignored; a description runs from its tag's separator up to and with the
// preceding character before the next tag, and the text after the last
// preceding character belongs to the last description.
QList<CScannedRequirement> Scan(const QString &text, const CTagSpecs &tagRules);

// Line feeds and tabs become blanks, the ends are trimmed and each run of
// blanks becomes one.
QString Normalise(QStringView description);

} // namespace RequirementScan
