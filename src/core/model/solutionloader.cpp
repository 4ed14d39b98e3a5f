#include "solutionloader.h"
#include "modeltexts.h"

#include "codepage1252.h"
#include "kelcontainers.h"
#include "kelmethod.h"
#include "kelrecord.h"

#include <algorithm>
#include <cstring>
#include <limits>

CSolutionLoader::CSolutionLoader(CKELDataManager &manager) : m_manager(manager), m_backup(manager.takeState())
{
    m_manager.m_loadReport = {};
    m_manager.m_loader = this;
    m_record.SetTextPool(&m_texts);
}

CSolutionLoader::~CSolutionLoader()
{
    if (!m_finished)
        rollBack();
    m_manager.m_loader = nullptr;
}

void CSolutionLoader::AddLine(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty() || line.front() == '#')
        return; // blank or comment
    // each line is split once; node lines are restored from this very parse
    CKELRecord &record = m_record;
    record.ParseEncoded(line);
    const QStringView kind = record.KindView();
    if (CKELRecord::Is(kind, u"obj")) {
        const int code = KEL::FactoryCodeForTypeName(record.RawView(u"type"));
        bool ok = false;
        const int id = CKELRecord::ToInt(record.RawView(u"id"), &ok);
        if (code == 0 || code == KEL::FactoryMethods || !ok || id <= 0) {
            IgnoreLine();
            return;
        }
        if (id > KEL::MaxElementId) {
            // new ids after it would wrap round: the file is damaged
            if (!m_idOutOfRange)
                m_idOutOfRange = id;
            return;
        }
        addElement(code, id, line);
        return;
    }
    if (kind == u"VLM") {
        // a counter past the largest id would hand out ids that wrap round
        auto counter = [&](QStringView key, int fallback) {
            const QStringView raw = record.RawView(key);
            bool ok = false;
            const int value = CKELRecord::ToInt(raw, &ok);
            const bool digits = !raw.trimmed().isEmpty() && raw.trimmed().back().isDigit();
            if (digits && (!ok || value > KEL::MaxElementId)) {
                m_manager.m_loadReport.damagedCounter = true;
                return fallback;
            }
            return std::max(0, value);
        };
        m_headerCount = counter(u"count", -1);
        m_headerMaxCount = counter(u"maxcount", 0);
        // tables of the final size instead of growing them step by step
        // (and holding two at each step); only as far as the size of the
        // input vouches for the header
        if (m_headerCount > 0 && m_entries.empty() && m_headerCount <= m_maxLines) {
            m_entries.reserve(size_t(m_headerCount));
            m_manager.m_idMap.reserve(std::max(m_headerCount, m_headerMaxCount), m_headerCount);
        }
    } else if (kind == u"ENV") {
        m_manager.m_simulatorPath = record.GetText(u"ZEPHSim");
    } else if (kind == u"END") {
        m_endVersionId = record.GetInt(u"actversion");
        m_endSolutionId = record.GetInt(u"solution");
    } else {
        IgnoreLine();
    }
}

void CSolutionLoader::addElement(int factoryCode, int id, QByteArrayView line)
{
    std::unique_ptr<CKELData> e = m_manager.CreateElement(factoryCode);
    if (!e) {
        IgnoreLine();
        return;
    }
    CKELData *element = e.get();
    if (CKELData *old = m_manager.m_idMap.replace(id, element)) {
        // a later line with the same id replaces the earlier element
        Entry &stale = m_entries[size_t(slotOf(old))];
        old->SetManager(nullptr);
        stale.owned.reset();
        stale.element = nullptr;
        ++m_manager.m_loadReport.duplicateIds;
    }
    e->SetId(id);
    m_idsAscending = m_idsAscending && id > m_lastId;
    m_lastId = id;
    const int slot = int(m_entries.size());
    e->m_loadSlot = slot;
    if (factoryCode != KEL::FactoryMethod || !restoreNodeNow(static_cast<CKELMethod *>(e.get()))) {
        m_kept.push_back({slot, m_arena.size(), line.size()});
        m_arena.append(line.data(), line.size());
    }
    m_entries.push_back({std::move(e), element});
}

bool CSolutionLoader::restoreNodeNow(CKELMethod *node)
{
    // Nodes are nearly all of a big file. One that names no other element
    // but by id needs nothing that a later line makes, so it is restored
    // at once from the parsed line instead of keeping the line until every
    // element exists.
    if (!m_record.RawView(u"children").isEmpty() || !m_record.RawView(u"Vchildren").isEmpty())
        return false;
    node->FromRecord(m_record);
    return true;
}

CKELData *CSolutionLoader::lookup(int id) const
{
    return m_manager.Mutable(m_manager.m_idMap.value(id), CEditAccess());
}

void CSolutionLoader::AdoptChild(CKELData *parent, int childId)
{
    CKELData *child = lookup(childId);
    if (!child)
        return;
    const int slot = slotOf(child);
    if (child == parent || child->GetTypeCode() == KEL::Solution || slot < 0 || !m_entries[size_t(slot)].owned) {
        // an element has one owner: the first that lists it
        ++m_manager.m_loadReport.refusedLinks;
        return;
    }
    child->m_parent = parent;
    parent->m_children.push_back(std::move(m_entries[size_t(slot)].owned));
}

void CSolutionLoader::restoreAll()
{
    m_order.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].element)
            m_order.push_back(int(i));
    }
    auto byId = [this](int a, int b) {
        return m_entries[size_t(a)].element->GetId() < m_entries[size_t(b)].element->GetId();
    };
    // files we write are already in id order
    if (!m_idsAscending && !std::is_sorted(m_order.begin(), m_order.end(), byId))
        std::sort(m_order.begin(), m_order.end(), byId);

    // in id order too: the first owner that lists an element keeps it
    std::erase_if(m_kept, [this](const Kept &k) { return !m_entries[size_t(k.slot)].element; });
    auto keptById = [&byId](const Kept &a, const Kept &b) { return byId(a.slot, b.slot); };
    if (!m_idsAscending && !std::is_sorted(m_kept.begin(), m_kept.end(), keptById))
        std::sort(m_kept.begin(), m_kept.end(), keptById);
    CKELRecord &record = m_record;
    for (const Kept &k : m_kept) {
        record.ParseEncoded(QByteArrayView(m_arena.constData() + k.offset, k.length));
        m_entries[size_t(k.slot)].element->FromRecord(record);
    }
    record = CKELRecord();
    m_texts = CTextPool();
    m_kept = {};
    m_arena = QByteArray();
}

void CSolutionLoader::breakOwnershipCycles()
{
    // 0 unseen, 1 on the current walk, 2 settled
    std::vector<char> state(m_entries.size(), 0);
    std::vector<CKELData *> path;
    for (int slot : m_order) {
        if (state[size_t(slot)])
            continue;
        path.clear();
        CKELData *cur = m_entries[size_t(slot)].element;
        while (cur && state[size_t(slotOf(cur))] == 0) {
            state[size_t(slotOf(cur))] = 1;
            path.push_back(cur);
            cur = cur->m_parent;
        }
        if (cur && state[size_t(slotOf(cur))] == 1) {
            // cur owns itself through the cycle: it becomes an unowned root
            m_entries[size_t(slotOf(cur))].owned = cur->m_parent->TakeChild(cur);
            ++m_manager.m_loadReport.refusedLinks;
        }
        for (CKELData *e : path)
            state[size_t(slotOf(e))] = 2;
    }
}

void CSolutionLoader::linkNodes()
{
    // The links are worked out on slots in flat tables first and only the
    // final child lists are written to the nodes: a million nodes must not
    // be visited again for each step of the way.
    auto nodeAt = [this](int id) -> CKELMethod * {
        CKELData *e = lookup(id);
        return e && e->IsMethod() ? static_cast<CKELMethod *>(e) : nullptr;
    };
    const size_t slotCount = m_entries.size();
    std::vector<int> parentSlot(slotCount, -1);
    std::vector<int> siblingOrder(slotCount, std::numeric_limits<int>::max());
    std::vector<int> idOf(slotCount, 0); // of linked nodes, so that lists are written without visiting them

    for (int slot : m_order) {
        CKELData *e = m_entries[size_t(slot)].element;
        if (!e->IsMethod())
            continue;
        auto *node = static_cast<CKELMethod *>(e);
        const int pid = node->ParentId();
        if (pid == 0)
            continue;
        CKELMethod *parent = pid > 0 ? nodeAt(pid) : nullptr;
        // a parent is another node of the same tree; anything else makes a
        // root. A tree that is never saved (a derived one found in a damaged
        // file) holds no links: its nodes are saved without it and would be
        // read back as owned by nothing.
        if (!parent || parent == node || !node->GetParent() || parent->GetParent() != node->GetParent()
            || !node->GetParent()->IsPersistent()) {
            node->SetParentId(0);
            ++m_manager.m_loadReport.refusedLinks;
            continue;
        }
        parentSlot[size_t(slot)] = slotOf(parent);
        idOf[size_t(slot)] = node->GetId();
        if (node->LoadedSiblingOrder() >= 0)
            siblingOrder[size_t(slot)] = node->LoadedSiblingOrder();
    }

    // A chain of parents that returns to itself would make every walk up the
    // tree endless; the node where a cycle is found becomes a root.
    {
        std::vector<char> state(slotCount, 0); // 0 unseen, 1 on the current walk, 2 settled
        std::vector<int> path;
        for (int slot : m_order) {
            if (state[size_t(slot)])
                continue;
            path.clear();
            int cur = slot;
            while (cur >= 0 && state[size_t(cur)] == 0) {
                state[size_t(cur)] = 1;
                path.push_back(cur);
                cur = parentSlot[size_t(cur)];
            }
            if (cur >= 0 && state[size_t(cur)] == 1) {
                static_cast<CKELMethod *>(m_entries[size_t(cur)].element)->SetParentId(0);
                parentSlot[size_t(cur)] = -1;
                ++m_manager.m_loadReport.refusedLinks;
            }
            for (int n : path)
                state[size_t(n)] = 2;
        }
    }

    // each parent's children in id order, as one table of slotCount
    std::vector<int> first(slotCount + 1, 0);
    for (size_t slot = 0; slot < slotCount; ++slot) {
        if (parentSlot[slot] >= 0)
            ++first[size_t(parentSlot[slot]) + 1];
    }
    for (size_t slot = 0; slot < slotCount; ++slot)
        first[slot + 1] += first[slot];
    std::vector<int> kids(size_t(first.back()));
    {
        std::vector<int> next(first.begin(), first.end() - 1);
        for (int slot : m_order) {
            const int p = parentSlot[size_t(slot)];
            if (p >= 0)
                kids[size_t(next[size_t(p)]++)] = slot;
        }
    }
    parentSlot = {};

    // children come back in the order they were saved in
    auto byOrder = [&siblingOrder](int a, int b) { return siblingOrder[size_t(a)] < siblingOrder[size_t(b)]; };
    for (size_t p = 0; p < slotCount; ++p) {
        const auto begin = kids.begin() + first[p];
        const auto end = kids.begin() + first[p + 1];
        if (begin == end)
            continue;
        if (!std::is_sorted(begin, end, byOrder))
            std::stable_sort(begin, end, byOrder);
        QList<int> &ids = static_cast<CKELMethod *>(m_entries[p].element)->ChildIds();
        ids.reserve(ids.size() + (end - begin));
        for (auto it = begin; it != end; ++it)
            ids.append(idOf[size_t(*it)]);
    }
}

CKELSolution *CSolutionLoader::pickSolution()
{
    auto usable = [this](CKELData *e) {
        return e && e->GetTypeCode() == KEL::Solution && e->m_loadSlot >= 0 && m_entries[size_t(e->m_loadSlot)].owned;
    };
    CKELData *named = m_manager.Mutable(m_manager.Lookup(m_endSolutionId), CEditAccess());
    if (usable(named))
        return static_cast<CKELSolution *>(named);
    // a file cut short before its end line still has its solution
    for (int slot : m_order) {
        if (usable(m_entries[size_t(slot)].element))
            return static_cast<CKELSolution *>(m_entries[size_t(slot)].element);
    }
    return nullptr;
}

void CSolutionLoader::rollBack()
{
    CKELDataManager::State loaded = m_manager.takeState();
    for (Entry &entry : m_entries) {
        if (entry.owned)
            loaded.loose.push_back(std::move(entry.owned));
    }
    m_entries.clear();
    CKELDataManager::discardState(loaded);
    m_manager.restoreState(m_backup);
}

bool CSolutionLoader::Finish(QString *error)
{
    if (m_idOutOfRange) {
        rollBack();
        m_finished = true;
        if (error)
            *error = ModelTexts::IdOutOfRange(m_idOutOfRange);
        return false;
    }
    restoreAll();
    breakOwnershipCycles();
    linkNodes();

    CKELSolution *solution = pickSolution();
    if (!solution) {
        rollBack();
        m_finished = true;
        if (error)
            *error = ModelTexts::NoSolutionInFile;
        return false;
    }

    int maxId = 0;
    int live = 0;
    for (int slot : m_order) {
        maxId = std::max(maxId, m_entries[size_t(slot)].element->GetId());
        ++live;
    }
    for (Entry &entry : m_entries) {
        if (entry.element)
            entry.element->m_loadSlot = -1;
        if (!entry.owned)
            continue;
        if (entry.element == solution)
            m_manager.m_solution.reset(static_cast<CKELSolution *>(entry.owned.release()));
        else
            m_manager.m_loose.push_back(std::move(entry.owned));
    }
    m_entries.clear();
    m_order.clear();

    m_manager.m_count = m_headerCount >= 0 ? m_headerCount : live;
    // new ids must never collide with ids the file already uses
    m_manager.m_maxcount = std::max(m_headerMaxCount, maxId);

    CKELData *version = m_manager.Mutable(m_manager.Lookup(m_endVersionId), CEditAccess());
    if (!version || version->GetTypeCode() != KEL::Version || !solution->IsAncestorOf(version)) {
        CKELProject *project = solution->Project();
        version = project ? project->FirstChildOfType<CKELVersion>(KEL::Version) : nullptr;
    }
    m_manager.m_currentVersion = static_cast<CKELVersion *>(version);

    if (!solution->EvtFolder()) {
        std::unique_ptr<CKELData> evts = m_manager.CreateElement(KEL::EVTs);
        m_manager.RegisterElement(evts.get());
        solution->AddChild(evts);
    }
    solution->SetModified(false);
    solution->SetPristine(false);

    m_finished = true;
    CKELDataManager::discardState(m_backup);
    emit m_manager.solutionReplaced();
    return true;
}
