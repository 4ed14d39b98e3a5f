// Requirement texts and node lines as users paste them: scanning never
// loses its place, and node lines read back what they were built from.
#include "fuzztarget.h"

#include "model/keltypes.h"
#include "reqimport/nodeline.h"
#include "reqimport/requirementscan.h"

VERDANTIS_FUZZ_TARGET(reqimport)
{
    Fuzz::CByteReader in(data, size);
    CTagSpecs rules;
    const uint8_t options = in.Byte();
    static const char16_t marks[] = u"\n:;. \t-R";
    rules.precededBy = QChar(marks[options % 8]);
    rules.separator = QChar(marks[(options >> 3) % 8]);
    rules.onlyAddedTags = options & 64;
    if (rules.onlyAddedTags)
        rules.addedTags = {QStringLiteral("R1"), QStringLiteral("r2"), in.Word(4)};
    const QString text = QString::fromUtf8(in.Rest());

    const QList<CScannedRequirement> found = RequirementScan::Scan(text, rules);
    for (const CScannedRequirement &r : found) {
        Fuzz::Check(!r.tag.isEmpty(), "requirement without a tag");
        const QString normal = RequirementScan::Normalise(r.description);
        Fuzz::Check(RequirementScan::Normalise(normal) == normal, "Normalise is not settled after one pass", normal);
    }

    const int defaultKind = 1 + (options >> 5) % KEL::BehaviorTypeCount;
    for (QStringView line : QStringView(text).split(u'\n')) {
        const CNodeLine n = CNodeLine::Parse(line, defaultKind);
        // a plain line built from the parts reads back as the same parts
        const auto plain = [](const QString &s) {
            for (QChar c : s) {
                if (QStringView(u":[]?<>|\r\n\t ").contains(c))
                    return false;
            }
            return true;
        };
        if (n.kind >= 1 && n.kind <= 6 && !n.tag.isEmpty() && !n.component.isEmpty() && !n.behavior.isEmpty()
            && plain(n.tag) && plain(n.component) && plain(n.behavior)) {
            const QString built = CNodeLine::Build(n.tag, n.component, n.behavior, n.kind);
            const CNodeLine back = CNodeLine::Parse(QStringView(built).chopped(1), defaultKind);
            Fuzz::Check(back == n, "node line does not read back", built);
        }
    }
    return 0;
}
