#include "keldata.h"
#include "modeltexts.h"

#include "keldatamanager.h"
#include "kelrecord.h"

const QList<int> CKELData::kNoIds;

CKELData::Extra::Extra() : tooltip(ModelTexts::DefaultToolTip) {}

CKELData::CKELData(CKELDataManager *manager) : m_manager(manager) {}

CKELData::Extra &CKELData::extra()
{
    if (!m_extra)
        m_extra = std::make_unique<Extra>();
    return *m_extra;
}

QString CKELData::GetToolTip() const
{
    return m_extra ? m_extra->tooltip : ModelTexts::DefaultToolTip;
}

CKELData::~CKELData()
{
    if (m_manager) {
        m_manager->ElementGone(this);
        dropCrossReferences();
    }
    if (!m_children.empty()) {
        std::vector<CKELChildPtr> work;
        work.swap(m_children);
        while (!work.empty()) {
            std::unique_ptr<CKELData> e = std::move(get_underlying(work.back()));
            work.pop_back();
            for (auto &c : e->m_children) {
                c->m_parent = nullptr;
                work.push_back(std::move(c));
            }
            e->m_children.clear();
            e->m_parent = nullptr;
            e.reset();
        }
    }
}

void CKELData::Destroy(std::unique_ptr<CKELData> element)
{
    // the destructor already works through the subtree with its own stack
    element.reset();
}

void CKELData::dropCrossReferences()
{
    if (!m_extra)
        return;
    for (int id : std::as_const(m_extra->vChildIds)) {
        if (CKELData *e = m_manager->Mutable(m_manager->Lookup(id), CEditAccess()))
            e->RemoveVParent(m_id);
    }
    for (int id : std::as_const(m_extra->vParentIds)) {
        if (CKELData *e = m_manager->Mutable(m_manager->Lookup(id), CEditAccess()))
            e->RemoveVChild(m_id);
    }
}

bool CKELData::IsTree() const
{
    switch (GetTypeCode()) {
    case KEL::RBT:
    case KEL::DBT:
    case KEL::EVT:
    case KEL::CBT: return true;
    default: return false;
    }
}

void CKELData::SetName(const QString &name)
{
    if (name == m_name)
        return;
    const QString oldName = std::exchange(m_name, name);
    if (m_manager && m_parent && m_parent->IsSet())
        m_manager->FolderChildRenamed(m_parent, this, oldName);
}

QString CKELData::GetLabelFor(const CKELData *) const
{
    return GetLabel();
}

bool CKELData::IsAncestorOf(const CKELData *other) const
{
    for (const CKELData *p = other; p; p = p->m_parent) {
        if (p == this)
            return true;
    }
    return false;
}

bool CKELData::AddChild(std::unique_ptr<CKELData> &child)
{
    if (!child || child.get() == this)
        return false;
    // only an element with children can be above this one; new elements
    // have none, which keeps adding cheap under deep owners
    if (!child->m_children.empty() && child->IsAncestorOf(this))
        return false;
    child->m_parent = this;
    if (m_manager && IsSet())
        m_manager->FolderChildAdded(this, child.get());
    m_children.push_back(std::move(child));
    return true;
}

std::unique_ptr<CKELData> CKELData::TakeChild(CKELData *child)
{
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if (it->get() == child) {
            std::unique_ptr<CKELData> out = std::move(get_underlying(*it));
            m_children.erase(it);
            out->m_parent = nullptr;
            if (m_manager && IsSet())
                m_manager->FolderChildRemoved(this, out.get());
            return out;
        }
    }
    return nullptr;
}

int CKELData::GetChildIds(QList<int> &out) const
{
    out.clear();
    for (const auto &c : m_children) {
        if (c->m_id > 0)
            out.append(c->m_id);
    }
    return int(out.size());
}

void CKELData::AddVirtualChild(CKELData *child)
{
    extra().vChildIds.append(child->m_id);
    child->extra().vParentIds.append(m_id);
}

bool CKELData::RemoveVChild(int id)
{
    return m_extra && m_extra->vChildIds.removeOne(id);
}

bool CKELData::RemoveVParent(int id)
{
    return m_extra && m_extra->vParentIds.removeOne(id);
}

std::unique_ptr<CKELData> CKELData::CreateSuccessor()
{
    if (!m_manager)
        return nullptr;
    std::unique_ptr<CKELData> copy = m_manager->CreateLike(m_id);
    if (copy) {
        SetSuccessorId(copy->m_id);
        copy->SetPredecessorId(m_id);
    }
    return copy;
}

void CKELData::AppendField(QString &out, QStringView key, QStringView raw)
{
    CKELRecord::AppendRawField(out, key, raw);
}

void CKELData::AppendText(QString &out, QStringView key, const QString &text)
{
    CKELRecord::AppendTextField(out, key, text);
}

void CKELData::AppendNumber(QString &out, int value)
{
    CKELRecord::AppendNumber(out, value);
}

void CKELData::AppendInt(QString &out, QStringView key, int value)
{
    CKELRecord::AppendIntField(out, key, value);
}

QString CKELData::ToRecord() const
{
    QString out;
    AppendRecord(out);
    return out;
}

void CKELData::AppendOwnRecord(QString &out) const
{
    AppendInt(out, u"id", m_id);
    AppendField(out, u"type", GetType());
    AppendText(out, u"name", GetName());
    if (!VChildIds().isEmpty())
        AppendField(out, u"Vchildren", CKELRecord::JoinInts(m_extra->vChildIds));
    if (IsEvolution()) {
        out += u"isev:1;";
        AppendField(out, u"evtags", CKELRecord::JoinInts(m_extra->evTags));
        AppendInt(out, u"evsty", m_extra->evStyle);
    }
    AppendOwnFields(out);
}

void CKELData::appendChildIds(QString &out) const
{
    out += u"children:";
    const qsizetype start = out.size();
    for (const auto &c : m_children) {
        if (!c->m_persistent)
            continue;
        // each id after its comma: the comma of the first is taken back below
        char16_t buf[12];
        char16_t *const end = buf + 12;
        char16_t *p = CKELRecord::PutNumberBefore(end, c->m_id);
        *--p = u',';
        out.append(reinterpret_cast<const QChar *>(p), end - p);
    }
    if (out.size() > start)
        out.remove(start, 1);
    out += u';';
}

void CKELData::AppendRecord(QString &out) const
{
    AppendInt(out, u"id", m_id);
    AppendField(out, u"type", GetType());
    AppendText(out, u"name", GetName());
    if (m_children.empty()) {
        out += u"children:;"; // every node of a tree: its children are named by their Parent
    } else {
        appendChildIds(out);
    }
    if (!VChildIds().isEmpty())
        AppendField(out, u"Vchildren", CKELRecord::JoinInts(m_extra->vChildIds));
    if (IsEvolution()) {
        out += u"isev:1;";
        AppendField(out, u"evtags", CKELRecord::JoinInts(m_extra->evTags));
        AppendInt(out, u"evsty", m_extra->evStyle);
    }
    AppendOwnFields(out);
}

void CKELData::AppendOwnFields(QString &) const {}

void CKELData::FromRecord(const CKELRecord &record)
{
    ReadBase(record);
}

void CKELData::ReadBase(const CKELRecord &record)
{
    SetName(record.GetText(u"name"));
    if (m_manager) {
        QList<int> ids;
        CKELRecord::ParseIntList(record.RawView(u"children"), ids);
        // a tree owns its nodes, hundreds of thousands in a big one; a list
        // that repeats ids gets no more room than there are elements
        m_children.reserve(m_children.size() + size_t(std::min(ids.size(), m_manager->IdMap().size())));
        for (int id : std::as_const(ids))
            m_manager->AdoptLoadedChild(this, id);
        ids.clear();
        CKELRecord::ParseIntList(record.RawView(u"Vchildren"), ids);
        for (int id : std::as_const(ids)) {
            if (CKELData *child = m_manager->Mutable(m_manager->Lookup(id), CEditAccess()))
                AddVirtualChild(child);
        }
    }
    const QStringView evtags = record.RawView(u"evtags");
    if (!evtags.isEmpty()) {
        Extra &x = extra();
        x.isEvolution = true;
        x.evStyle = record.GetInt(u"evsty");
        CKELRecord::ParseIntList(evtags, x.evTags);
    }
}
