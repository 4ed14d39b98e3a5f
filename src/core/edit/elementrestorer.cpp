#include "elementrestorer.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/keltypes.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>
#include <limits>
#include <unordered_map>

QList<CElementState> CElementRestorer::Capture(const QList<int> &ids) const
{
    QList<CElementState> out;
    out.reserve(ids.size());
    // places among many siblings are found through one index per owner
    QHash<const CKELData *, QHash<const CKELData *, int>> places;
    for (int id : ids) {
        CElementState s;
        s.id = id;
        const CKELData *e = m.lookupForEdit(id);
        if (e && e->IsPersistent()) {
            s.record = QStringLiteral("obj;");
            e->AppendOwnRecord(s.record);
            if (const CKELData *owner = e->GetParent()) {
                s.ownerId = owner->GetId();
                const auto &kids = owner->Children();
                // a few elements: a scan each beats indexing a large owner
                if (kids.size() <= 32 || ids.size() <= 16) {
                    for (size_t i = 0; i < kids.size(); ++i) {
                        if (kids[i].get() == e)
                            s.index = int(i);
                    }
                } else {
                    auto it = places.find(owner);
                    if (it == places.end()) {
                        QHash<const CKELData *, int> index;
                        index.reserve(qsizetype(kids.size()));
                        for (size_t i = 0; i < kids.size(); ++i)
                            index.insert(kids[i].get(), int(i));
                        it = places.insert(owner, std::move(index));
                    }
                    s.index = it->value(e);
                }
            }
        }
        out.append(std::move(s));
    }
    return out;
}

void CElementRestorer::Apply(const QList<CElementState> &states, int maxCount)
{
    QSet<int> target;
    for (const CElementState &s : states)
        target.insert(s.id);

    // Node parents whose child lists are rebuilt at the end, with the lists
    // they had (an element rebuilt from its record has none of its own).
    QSet<int> parents;
    QHash<int, QList<int>> oldChildIds;
    QList<int> removedIds, addedIds, changedIds;
    for (const CElementState &s : states) {
        CKELData *e = m.lookupForEdit(s.id);
        if (!e) {
            if (s.Exists())
                addedIds.append(s.id);
            continue;
        }
        if (!e->GetParent())
            continue; // the solution itself is never rebuilt
        if (e->IsMethod()) {
            auto *node = static_cast<CKELMethod *>(e);
            parents.insert(node->ParentId());
            parents.insert(s.id);
            oldChildIds.insert(s.id, node->ChildIds());
        }
        if (s.Exists()) {
            changedIds.append(s.id);
        } else {
            removedIds.append(s.id);
            emit m.elementAboutToBeRemoved(s.id);
        }
    }

    // Virtual links are written on one side only: drop the ones the
    // rebuilt elements will read back from their records.
    // Elements on the other end of a virtual link show it in their labels.
    QSet<int> linked;
    for (int id : std::as_const(changedIds) + removedIds) {
        CKELData *e = m.lookupForEdit(id);
        if (!e->m_extra)
            continue;
        for (int c : std::as_const(e->m_extra->vChildIds)) {
            linked.insert(c);
            if (CKELData *child = m.lookupForEdit(c))
                child->RemoveVParent(id);
        }
        e->m_extra->vChildIds.clear();
    }
    for (int id : std::as_const(removedIds)) {
        CKELData *e = m.lookupForEdit(id);
        if (!e->m_extra)
            continue;
        for (int p : std::as_const(e->m_extra->vParentIds)) {
            linked.insert(p);
            if (CKELData *parent = m.lookupForEdit(p))
                parent->RemoveVChild(id);
        }
        e->m_extra->vParentIds.clear();
    }

    // Take every listed element out of its owner, keeping the others in order.
    std::unordered_map<int, std::unique_ptr<CKELData>> pool;
    std::vector<CKELData *> work;
    QHash<CKELData *, int> owners; // owner, how many listed elements it holds
    for (int id : std::as_const(changedIds) + removedIds)
        ++owners[m.lookupForEdit(id)->GetParent()];
    auto takeListed = [&](CKELData *owner, int listed) {
        auto &kids = owner->m_children;
        if (listed <= 16) {
            // a few among many: find each one rather than test every child
            for (int id : std::as_const(changedIds) + removedIds) {
                CKELData *e = m.lookupForEdit(id);
                if (!e || e->m_parent != owner)
                    continue;
                const auto it = std::find_if(kids.begin(), kids.end(), [e](const auto &k) { return k.get() == e; });
                if (it == kids.end())
                    continue;
                e->m_parent = nullptr;
                work.push_back(e);
                pool[id] = std::move(get_underlying(*it));
                kids.erase(it);
            }
            return;
        }
        size_t keep = 0;
        for (size_t i = 0; i < kids.size(); ++i) {
            if (target.contains(kids[i]->m_id)) {
                kids[i]->m_parent = nullptr;
                work.push_back(kids[i].get()); // it may own listed elements too
                pool[kids[i]->m_id] = std::move(get_underlying(kids[i]));
            } else {
                if (keep != i)
                    kids[keep] = std::move(kids[i]);
                ++keep;
            }
        }
        kids.resize(keep);
    };
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        if (it.key())
            takeListed(it.key(), it.value());
    }
    // listed elements owned by listed elements
    while (!work.empty()) {
        CKELData *e = work.back();
        work.pop_back();
        bool any = false;
        for (const auto &k : e->m_children)
            any = any || target.contains(k->m_id);
        if (any)
            takeListed(e, std::numeric_limits<int>::max());
    }

    // Rebuild changed elements as fresh objects of their kind, and make the
    // missing ones, all registered before any record is read: records name
    // each other.
    std::vector<std::unique_ptr<CKELData>> replaced;
    auto make = [this](const CKELRecord &r) -> std::unique_ptr<CKELData> {
        return m.CreateElement(KEL::FactoryCodeForTypeName(r.RawView(u"type")));
    };
    QHash<int, CKELRecord> records;
    for (const CElementState &s : states) {
        if (!s.Exists())
            continue;
        const bool wasThere = pool.count(s.id) > 0;
        if (!wasThere && m.lookupForEdit(s.id))
            continue; // an unowned element stays as it is
        CKELRecord r(s.record);
        std::unique_ptr<CKELData> e = make(r);
        if (!e)
            continue;
        e->SetId(s.id);
        if (wasThere) {
            std::unique_ptr<CKELData> old = std::move(pool[s.id]);
            if (!old->VParentIds().isEmpty())
                e->extra().vParentIds = old->m_extra->vParentIds;
            e->m_children = std::move(old->m_children);
            old->m_children.clear();
            for (auto &c : e->m_children)
                c->m_parent = e.get();
            old->SetManager(nullptr); // neither the id map nor the count lose it
            replaced.push_back(std::move(old));
        } else {
            ++m.m_count;
        }
        m.m_idMap.insert(s.id, e.get());
        pool[s.id] = std::move(e);
        records.insert(s.id, std::move(r));
    }
    // in the listed order, so that every replica links alike
    for (const CElementState &s : states) {
        const auto it = records.constFind(s.id);
        if (it != records.cend() && pool[s.id])
            pool[s.id]->FromRecord(it.value());
    }

    // Back under the owners, in ascending places per owner.
    QList<const CElementState *> placed;
    for (const CElementState &s : states) {
        if (records.contains(s.id))
            placed.append(&s);
    }
    std::sort(placed.begin(), placed.end(), [](const CElementState *a, const CElementState *b) {
        return a->ownerId != b->ownerId ? a->ownerId < b->ownerId : a->index < b->index;
    });
    for (qsizetype from = 0; from < placed.size();) {
        qsizetype to = from;
        while (to < placed.size() && placed[to]->ownerId == placed[from]->ownerId)
            ++to;
        CKELData *owner = m.lookupForEdit(placed[from]->ownerId);
        std::vector<std::pair<int, std::unique_ptr<CKELData>>> batch;
        for (qsizetype i = from; i < to; ++i) {
            std::unique_ptr<CKELData> e = std::move(pool[placed[i]->id]);
            pool.erase(placed[i]->id);
            if (!owner || owner == e.get() || e->IsAncestorOf(owner)) {
                m.m_loose.push_back(std::move(e)); // kept, so nothing is lost on save
                continue;
            }
            e->m_parent = owner;
            batch.emplace_back(placed[i]->index, std::move(e));
        }
        from = to;
        if (batch.empty())
            continue;
        auto &kids = owner->m_children;
        if (batch.size() <= 16) {
            for (auto &[index, e] : batch) {
                const size_t at = std::min(size_t(std::max(0, index)), kids.size());
                kids.insert(kids.begin() + qsizetype(at), std::move(e));
            }
            continue;
        }
        // many at once: one merge instead of an insert each
        std::vector<CKELChildPtr> old;
        old.swap(kids);
        kids.reserve(old.size() + batch.size());
        size_t next = 0;
        for (auto &[index, e] : batch) {
            while (kids.size() < size_t(std::max(0, index)) && next < old.size())
                kids.push_back(std::move(old[next++]));
            kids.push_back(std::move(e));
        }
        while (next < old.size())
            kids.push_back(std::move(old[next++]));
    }
    // What is left in the pool should not exist.
    for (auto &[id, e] : pool) {
        if (!e)
            continue;
        for (auto &c : e->m_children) {
            c->m_parent = nullptr;
            m.m_loose.push_back(std::move(get_underlying(c)));
        }
        e->m_children.clear();
    }
    pool.clear();
    replaced.clear();
    m.m_nameIndex.clear();

    // A node's parent is another node of its tree, as the loader reads it.
    // When another user removed the parent or the tree before this state came
    // back, the node returns as a root (loose with its tree), so that what
    // every replica writes reads back the same.
    for (const CElementState &s : states) {
        auto *n = m.lookupForEdit<CKELMethod>(s.id, KEL::Method);
        if (!n || n->ParentId() == 0)
            continue;
        const auto *p = m.LookupAs<CKELMethod>(n->ParentId(), KEL::Method);
        if (!p || p == n || !n->GetParent() || p->GetParent() != n->GetParent())
            n->SetParentId(0);
    }

    // Child lists of node parents follow the nodes' parent ids and orders.
    for (const CElementState &s : states) {
        if (const auto *n = m.LookupAs<CKELMethod>(s.id, KEL::Method)) {
            parents.insert(n->ParentId());
            parents.insert(s.id);
        }
    }
    parents.remove(0);
    QHash<int, QList<int>> listedUnder; // parent id -> listed nodes naming it
    for (const CElementState &s : states) {
        if (const auto *n = m.LookupAs<CKELMethod>(s.id, KEL::Method); n && n->ParentId())
            listedUnder[n->ParentId()].append(s.id);
    }
    for (int pid : std::as_const(parents)) {
        auto *p = m.lookupForEdit<CKELMethod>(pid, KEL::Method);
        if (!p)
            continue;
        QList<int> candidates = oldChildIds.contains(pid) ? oldChildIds.value(pid) : p->ChildIds();
        const QList<int> listed = listedUnder.value(pid);
        if (!listed.isEmpty()) {
            const QSet<int> known(candidates.cbegin(), candidates.cend());
            for (int id : listed) {
                if (!known.contains(id))
                    candidates.append(id);
            }
        }
        std::vector<std::pair<int, int>> keyed;
        QSet<int> seen;
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            const int c = candidates[i];
            const auto *n = m.LookupAs<CKELMethod>(c, KEL::Method);
            if (!n || n->ParentId() != pid || n->GetParent() != p->GetParent() || seen.contains(c))
                continue;
            seen.insert(c);
            int key = int(i);
            if (records.contains(c))
                key = n->LoadedSiblingOrder() >= 0 ? n->LoadedSiblingOrder() : std::numeric_limits<int>::max();
            keyed.push_back({key, c});
        }
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        QList<int> &kids = p->ChildIds();
        kids.clear();
        for (const auto &k : keyed)
            kids.append(k.second);
    }

    if (maxCount < m.m_maxcount) {
        if (m.m_idMap.maxKey() <= maxCount)
            m.m_maxcount = maxCount;
    } else {
        m.m_maxcount = maxCount;
    }

    for (int id : std::as_const(removedIds))
        emit m.elementRemoved(id);
    for (int id : std::as_const(addedIds)) {
        if (m.lookupForEdit(id))
            emit m.elementAdded(id);
    }
    for (int id : std::as_const(changedIds))
        emit m.elementChanged(id);
    for (int pid : std::as_const(parents)) {
        if (!target.contains(pid) && m.lookupForEdit(pid))
            emit m.elementChanged(pid);
    }
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        if (const CKELData *e = m.lookupForEdit(it.key())) {
            for (int id : e->VChildIds() + e->VParentIds())
                linked.insert(id);
        }
    }
    for (int id : std::as_const(linked)) {
        if (!target.contains(id) && !parents.contains(id) && m.lookupForEdit(id))
            emit m.elementChanged(id);
    }
}

QString CElementRestorer::Encode(const QList<CElementState> &states)
{
    // one entry a line: "id,owner,place," and the record, all escaped as one
    // text so that the whole travels as a single record field
    QString plain;
    for (const CElementState &s : states) {
        plain += QString::number(s.id) + u',' + QString::number(s.ownerId) + u',' + QString::number(s.index) + u',';
        plain += s.record;
        plain += u'\n';
    }
    return CKELRecord::EscapeForPacket(plain);
}

bool CElementRestorer::Decode(QStringView text, QList<CElementState> &out)
{
    const QString plain = CKELRecord::Unescape(text);
    for (QStringView line : QStringView(plain).split(u'\n', Qt::SkipEmptyParts)) {
        CElementState s;
        qsizetype at = 0;
        int *fields[] = {&s.id, &s.ownerId, &s.index};
        for (int *f : fields) {
            const qsizetype comma = line.indexOf(u',', at);
            if (comma < 0)
                return false;
            bool ok = false;
            *f = CKELRecord::ToInt(line.mid(at, comma - at), &ok);
            if (!ok)
                return false;
            at = comma + 1;
        }
        s.record = line.mid(at).toString();
        if (s.id <= 0 || (s.Exists() && !s.record.startsWith(u"obj;")))
            return false;
        out.append(std::move(s));
    }
    return true;
}
