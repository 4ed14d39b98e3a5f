#include "nodeline.h"

#include "model/keltypes.h"

namespace {

qsizetype indexOfAny(QStringView text, QStringView characters)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters.contains(text[i]))
            return i;
    }
    return -1;
}

} // namespace

QString CNodeLine::Build(const QString &tag, const QString &component, const QString &behavior, int kind)
{
    return tag + u':' + component + KEL::Decorate(behavior, kind) + u'\n';
}

CNodeLine CNodeLine::Parse(QStringView line, int defaultKind)
{
    CNodeLine n;
    QStringView rest = line;
    if (const qsizetype colon = line.indexOf(u':'); colon >= 0) {
        n.tag = line.first(colon).trimmed().toString();
        rest = line.sliced(colon + 1);
    }
    const qsizetype mark = indexOfAny(rest, u"[?><|");
    n.component = (mark < 0 ? rest : rest.first(mark)).trimmed().toString();
    QStringView decorated = mark < 0 ? QStringView() : rest.sliced(mark);

    struct Opening
    {
        QStringView text;
        int kind;
    };
    static constexpr Opening openings[] = {{u"???", KEL::Guard},          {u"??", KEL::Event},
                                           {u"?", KEL::Selection},        {u"[]", KEL::SetAny},
                                           {u"[", KEL::StateRealisation}, {u">>", KEL::ExternalInput},
                                           {u"<<", KEL::ExternalOutput},  {u">", KEL::InternalInput},
                                           {u"<", KEL::InternalOutput},   {u"||", KEL::SetAll}};
    n.kind = defaultKind;
    for (const Opening &o : openings) {
        if (decorated.startsWith(o.text)) {
            n.kind = o.kind;
            break;
        }
    }
    // "||" and "[]" open a set-all and a set-any behavior and are no part of its name
    if ((n.kind == KEL::SetAll && decorated.startsWith(u"||"))
        || (n.kind == KEL::SetAny && decorated.startsWith(u"[]")))
        decorated = decorated.sliced(2);
    qsizetype skip = 0;
    while (skip < decorated.size() && QStringView(u"?[><").contains(decorated[skip]))
        ++skip;
    decorated = decorated.sliced(skip);
    const qsizetype close = indexOfAny(decorated, u"?]><");
    n.behavior = (close < 0 ? decorated : decorated.first(close)).trimmed().toString();
    return n;
}
