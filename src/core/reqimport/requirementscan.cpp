#include "requirementscan.h"

#include <QSet>

namespace RequirementScan {

QString Normalise(QStringView description)
{
    QString text = description.toString();
    for (QChar &ch : text) {
        if (ch == u'\n' || ch == u'\t')
            ch = u' ';
    }
    text = text.trimmed();
    QString out;
    out.reserve(text.size());
    for (QChar ch : std::as_const(text)) {
        if (ch == u' ' && out.endsWith(u' '))
            continue;
        out += ch;
    }
    return out;
}

// Works on positions in the one text rather than on shrinking copies, so
// a long text is scanned in one pass.
QList<CScannedRequirement> Scan(const QString &text, const CTagSpecs &tagRules)
{
    QSet<QString> added;
    for (const QString &t : tagRules.addedTags)
        added.insert(t.toCaseFolded());
    QList<CScannedRequirement> found;
    const qsizetype n = text.size();
    qsizetype rest = 0;      // the rest is text[rest, n)
    qsizetype descStart = n; // empty
    qsizetype descLength = 0;
    QString tag;

    auto takeDescription = [&] {
        if (descLength <= 0 || descStart >= n)
            return;
        const QString description = Normalise(QStringView(text).sliced(descStart, std::min(descLength, n - descStart)));
        if (!tag.isEmpty() && !description.isEmpty() && (!tagRules.onlyAddedTags || added.contains(tag.toCaseFolded())))
            found.append({tag, description});
    };

    while (rest < n) {
        while (rest < n && text[rest].isSpace())
            ++rest;
        const qsizetype sep = text.indexOf(tagRules.separator, rest);
        const QStringView chunk = QStringView(text).sliced(rest, (sep < 0 ? n : sep) - rest).trimmed();
        const bool single = !chunk.contains(u' ') && !chunk.contains(u'\t') && !chunk.contains(u'\n');
        if (single) {
            takeDescription();
            tag = chunk.toString();
            if (sep < 0) {
                rest = n; // a last word without separator: nothing follows it
            } else {
                rest = sep;
                while (rest < n && text[rest] == tagRules.separator)
                    ++rest;
            }
            descStart = rest;
        }
        const qsizetype preceding = text.indexOf(tagRules.precededBy, rest);
        // without a further preceding character the rest is the last
        // description, and the scan ends
        rest = preceding < 0 ? n : preceding + 1;
        descLength = rest - descStart;
    }
    if (descStart < n)
        takeDescription();
    return found;
}

} // namespace RequirementScan
