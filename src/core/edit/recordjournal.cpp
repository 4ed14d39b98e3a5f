#include "recordjournal.h"

#include "undohistory.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"

#include <QSet>

namespace {

void addOwnedSubtree(const CKELData *e, QList<int> &out)
{
    std::vector<const CKELData *> work{e};
    while (!work.empty()) {
        const CKELData *cur = work.back();
        work.pop_back();
        out.append(cur->GetId());
        for (const auto &c : cur->Children())
            work.push_back(c.get());
    }
}

// A node, its children (whose parent may change) and the siblings after
// it (whose places shift when it leaves).
void addNodeNeighbourhood(const CKELDataManager &m, int nodeId, QList<int> &out)
{
    const auto *n = m.LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!n)
        return;
    out.append(nodeId);
    out.append(n->ChildIds());
    if (const auto *p = m.LookupAs<CKELMethod>(n->ParentId(), KEL::Method)) {
        const QList<int> &siblings = p->ChildIds();
        const qsizetype at = siblings.indexOf(nodeId);
        if (at >= 0)
            out.append(siblings.mid(at + 1));
    }
}

} // namespace

bool CRecordJournal::IsJournaled(QStringView kind)
{
    return kind != u"addcbt" && kind != u"addcin" && kind != u"addcid" && kind != u"rmtcid" && kind != u"rst";
}

CRecordJournal::CRecordJournal(CKELDataManager &manager, const QString &text, const CKELRecord &record,
                               const QString &kind, qint64 serial)
    : m(manager)
    , r(record)
    , m_text(text)
    , m_kind(kind)
    , m_serial(IsJournaled(kind) ? serial : 0)
{
    if (!m_serial)
        return;
    m_maxBefore = m.MaxCount();
    if (m_kind == u"geo") {
        // geometry is undone by the geometry it replaces: small, whatever the layout
        QList<int> values;
        r.GetIntList(u"n", values);
        const int tid = r.GetInt(u"tid");
        QList<int> old;
        for (qsizetype i = 0; i + 4 < values.size(); i += 5) {
            const auto *n = m.LookupAs<CKELMethod>(values[i], KEL::Method);
            if (!n || !n->Tree() || n->Tree()->GetId() != tid)
                continue;
            old << n->GetId() << n->x << n->y << n->w << n->h;
        }
        m_inverseGeometry = QStringLiteral("geo;tid:") + QString::number(tid) + QStringLiteral(";n:")
                            + CKELRecord::JoinInts(old) + u';';
        return;
    }
    m_ids = footprint();
    QSet<int> seen;
    QList<int> unique;
    for (int id : std::as_const(m_ids)) {
        if (id > 0 && !seen.contains(id)) {
            seen.insert(id);
            unique.append(id);
        }
    }
    m_ids = unique;
    m_before = CElementRestorer(m).Capture(m_ids);
}

QList<int> CRecordJournal::footprint() const
{
    QList<int> ids;
    auto one = [&](QStringView key) { ids.append(r.GetInt(key)); };
    if (m_kind == u"modreq" || m_kind == u"modcom" || m_kind == u"moddbt") {
        one(u"id");
    } else if (m_kind == u"delreq") {
        if (const CKELData *req = m.Lookup(r.GetInt(u"id"))) {
            ids.append(req->GetId());
            ids.append(req->VChildIds());
            ids.append(req->VParentIds());
        }
    } else if (m_kind == u"modrbt" || m_kind == u"clotre" || m_kind == u"pages") {
        one(u"tid");
    } else if (m_kind == u"modmsd") {
        one(u"nodeid");
    } else if (m_kind == u"linknode") {
        if (const auto *n = m.LookupAs<CKELMethod>(r.GetInt(u"chd"), KEL::Method)) {
            ids.append(n->GetId());
            if (const auto *p = m.LookupAs<CKELMethod>(n->ParentId(), KEL::Method)) {
                const QList<int> &siblings = p->ChildIds();
                ids.append(siblings.mid(siblings.indexOf(n->GetId()) + 1));
            }
        }
    } else if (m_kind == u"rmnode") {
        addNodeNeighbourhood(m, r.GetInt(u"id"), ids);
    } else if (m_kind == u"rmnodes") {
        QList<int> nodes;
        r.GetIntList(u"ids", nodes);
        for (int id : std::as_const(nodes))
            addNodeNeighbourhood(m, id, ids);
    } else if (m_kind == u"inttre") {
        addNodeNeighbourhood(m, r.GetInt(u"rid"), ids);
        addNodeNeighbourhood(m, r.GetInt(u"mid"), ids);
    } else if (m_kind == u"assrts" || m_kind == u"rmassrts" || m_kind == u"addsta") {
        one(u"stid");
        one(u"reqid");
        const CKELData *state = m.Lookup(r.GetInt(u"stid"));
        const CKELVersion *v = nullptr;
        if (state)
            v = m.VersionOf(state);
        else if (const int ver = r.GetInt(u"ver"))
            v = m.LookupAs<CKELVersion>(ver, KEL::Version);
        else
            v = m.CurrentVersion();
        if (const CKELRequirement *req = m.FindRequirement(r.GetText(u"req"), v))
            ids.append(req->GetId());
    } else if (m_kind == u"rmcom" || m_kind == u"rmsta") {
        // the element, its states and the requirements that list them
        if (const CKELData *e = m.Lookup(r.GetInt(u"id"))) {
            const qsizetype first = ids.size();
            addOwnedSubtree(e, ids);
            for (qsizetype i = first, end = ids.size(); i < end; ++i) {
                const CKELData *owned = m.Lookup(ids[i]);
                ids.append(owned->VParentIds());
                ids.append(owned->VChildIds());
            }
        }
    } else if (m_kind == u"rmdbt" || m_kind == u"rmrbt") {
        if (const CKELData *t = m.Lookup(r.GetInt(u"tid")))
            addOwnedSubtree(t, ids);
    } else if (m_kind == u"addver") {
        // the copies remember their originals, which learn their successors
        if (const CKELData *v = m.Lookup(r.GetInt(u"ovid")))
            addOwnedSubtree(v, ids);
    } else if (m_kind == u"addevt") {
        QList<int> trees;
        r.GetIntList(u"tids", trees);
        for (int id : std::as_const(trees)) {
            if (const CKELData *t = m.Lookup(id))
                addOwnedSubtree(t, ids);
        }
    }
    return ids;
}

void CRecordJournal::Commit(bool applied)
{
    if (!m_serial || !applied)
        return;
    CUndoHistory &history = m.History();
    if (m_kind == u"geo") {
        history.Append(m_serial, m_inverseGeometry, m_text);
        return;
    }
    // elements made by the record are the ids past the counter it found
    QList<int> ids = m_ids;
    QList<CElementState> before = m_before;
    for (int id = m_maxBefore + 1; id <= m.MaxCount(); ++id) {
        const CKELData *e = m.Lookup(id);
        if (e && e->IsPersistent()) {
            ids.append(id);
            CElementState absent;
            absent.id = id;
            before.append(absent);
        }
    }
    QList<CElementState> after = CElementRestorer(m).Capture(ids);
    // only what really changed is kept
    QList<CElementState> undoStates, redoStates;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (before[i].record == after[i].record && before[i].ownerId == after[i].ownerId
            && before[i].index == after[i].index)
            continue;
        undoStates.append(before[i]);
        redoStates.append(after[i]);
    }
    if (undoStates.isEmpty() && m_maxBefore == m.MaxCount())
        return;
    auto record = [](const QList<CElementState> &states, int max) {
        return QStringLiteral("rst;max:") + QString::number(max) + QStringLiteral(";e:")
               + CElementRestorer::Encode(states) + u';';
    };
    history.Append(m_serial, record(undoStates, m_maxBefore), record(redoStates, m.MaxCount()));
}
