#include "keldatamanager.h"

#include "kelcontainers.h"
#include "kelmethod.h"
#include "kelrecord.h"
#include "kelrequirement.h"
#include "keltree.h"
#include "solutionloader.h"
#include "solutionreader.h"
#include "solutionwriter.h"

#include <algorithm>

CKELDataManager::CKELDataManager(QObject *parent) : QObject(parent) {}

CKELDataManager::~CKELDataManager()
{
    State s = takeState();
    discardState(s);
}

std::unique_ptr<CKELData> CKELDataManager::CreateElement(int factoryCode)
{
    CKELDataManager *m = this;
    switch (factoryCode) {
    case 1: return std::make_unique<CKELSolution>(m);
    case 2: return std::make_unique<CKELProject>(m);
    case 3: return std::make_unique<CKELVersion>(m);
    case 4: return std::make_unique<CKELRequirements>(m);
    case 5: return std::make_unique<CKELRequirement>(m);
    case 6: return std::make_unique<CKELComponents>(m);
    case 7: return std::make_unique<CKELComponent>(m);
    case 8: return std::make_unique<CKELState>(m);
    case 9: return std::make_unique<CKELRBTs>(m);
    case 10: return std::make_unique<CKELRBT>(m);
    case 11: return std::make_unique<CKELDBTs>(m);
    case 12: return std::make_unique<CKELDBT>(m);
    case KEL::FactoryMethod: return std::make_unique<CKELMethod>(m);
    case 15: return std::make_unique<CKELCBTs>(m);
    case 16: return std::make_unique<CKELCBT>(m);
    case 17: return std::make_unique<CKELCIN>(m);
    case 18: return std::make_unique<CKELCIDs>(m);
    case 19: return std::make_unique<CKELCID>(m);
    case 20: return std::make_unique<CKELEVTs>(m);
    case 21: return std::make_unique<CKELEVT>(m);
    case 100: return std::make_unique<CKELLink>(m);
    default: return nullptr;
    }
}

void CKELDataManager::RegisterElement(CKELData *element)
{
    ++m_count;
    ++m_maxcount;
    element->SetId(m_maxcount);
    m_idMap.insert(m_maxcount, element);
}

std::unique_ptr<CKELData> CKELDataManager::CreateLike(int id)
{
    const CKELData *model = Lookup(id);
    if (!model)
        return nullptr;
    const int code = model->GetTypeCode() == KEL::Method ? KEL::FactoryMethod : model->GetTypeCode();
    std::unique_ptr<CKELData> e = CreateElement(code);
    if (e)
        RegisterElement(e.get());
    return e;
}

QList<int> CKELDataManager::SortedIds() const
{
    QList<int> ids;
    ids.reserve(m_idMap.size());
    for (auto it = m_idMap.cbegin(); it != m_idMap.cend(); ++it)
        ids.append(it.key());
    std::sort(ids.begin(), ids.end()); // ids below 1 come last in the table
    return ids;
}

void CKELDataManager::FolderChildAdded(const CKELData *folder, CKELData *child)
{
    const auto it = m_nameIndex.find(folder);
    // unnamed elements are not indexed: new ones get their name just after
    if (it != m_nameIndex.end() && !child->IsSet() && !child->GetName().isEmpty() && !it->contains(child->GetName()))
        it->insert(child->GetName(), child); // the first one wins, as a scan finds it
}

void CKELDataManager::FolderChildRemoved(const CKELData *folder, const CKELData *child)
{
    const auto it = m_nameIndex.find(folder);
    if (it != m_nameIndex.end() && it->value(child->GetName()) == child)
        m_nameIndex.erase(it); // another child may carry the same name: rebuild when asked
}

void CKELDataManager::FolderChildRenamed(const CKELData *folder, CKELData *child, const QString &oldName)
{
    const auto it = m_nameIndex.find(folder);
    if (it == m_nameIndex.end() || child->IsSet())
        return;
    const QString &name = child->GetName();
    if ((!oldName.isEmpty() && it->value(oldName) == child) || (!name.isEmpty() && it->contains(name))) {
        // names shared by several children: which comes first needs a rescan
        m_nameIndex.erase(it);
        return;
    }
    if (!name.isEmpty())
        it->insert(name, child);
}

void CKELDataManager::SetSolutionPath(const QString &path)
{
    if (m_solution)
        m_solution->SetPath(path);
}

const CKELData *CKELDataManager::FindChildByName(const CKELData *folder, const QString &name) const
{
    if (!folder)
        return nullptr;
    if (name.isEmpty()) {
        for (const auto &c : folder->Children()) {
            if (!c->IsSet() && c->GetName().isEmpty())
                return c.get();
        }
        return nullptr;
    }
    auto it = m_nameIndex.find(folder);
    if (it == m_nameIndex.end()) {
        QHash<QString, const CKELData *> index;
        index.reserve(folder->ChildCount());
        for (const auto &c : folder->Children()) {
            if (!c->IsSet() && !c->GetName().isEmpty() && !index.contains(c->GetName()))
                index.insert(c->GetName(), c.get());
        }
        it = m_nameIndex.insert(folder, std::move(index));
    }
    return it->value(name, nullptr);
}

void CKELDataManager::ElementGone(CKELData *element)
{
    if (element->IsSet())
        m_nameIndex.remove(element);
    m_idMap.removeIf(element->GetId(), element);
    --m_count;
}

std::unique_ptr<CKELVersion> CKELDataManager::CreateVersion(const QString &name)
{
    auto version = std::make_unique<CKELVersion>(this);
    RegisterElement(version.get());
    version->SetName(name);
    std::unique_ptr<CKELData> ibts = CreateElement(KEL::DBTs);
    RegisterElement(ibts.get());
    std::unique_ptr<CKELData> rbts = CreateElement(KEL::RBTs);
    RegisterElement(rbts.get());
    std::unique_ptr<CKELData> reqs = CreateElement(KEL::Requirements);
    RegisterElement(reqs.get());
    std::unique_ptr<CKELData> comps = CreateElement(KEL::Components);
    RegisterElement(comps.get());
    version->AddChild(reqs);
    version->AddChild(comps);
    version->AddChild(rbts);
    version->AddChild(ibts);
    return version;
}

void CKELDataManager::NewSolution()
{
    State old = takeState();
    discardState(old);

    m_count = 0;
    m_maxcount = 0;
    m_local = true;
    m_simulatorPath.clear();
    m_loadReport = {};

    auto solution = std::make_unique<CKELSolution>(this);
    RegisterElement(solution.get());
    std::unique_ptr<CKELData> project = CreateElement(KEL::Project);
    RegisterElement(project.get());
    std::unique_ptr<CKELVersion> version = CreateVersion(QStringLiteral("1.0"));
    CKELVersion *v = version.get();
    std::unique_ptr<CKELData> vd(version.release());
    project->AddChild(vd);
    solution->AddChild(project);

    m_solution = std::move(solution);
    m_currentVersion = v;
    m_solution->SetPristine(true);
    m_solution->SetModified(false);
    m_solution->SetPristine(true);

    std::unique_ptr<CKELData> evts = CreateElement(KEL::EVTs);
    RegisterElement(evts.get());
    m_solution->AddChild(evts);
    emit solutionReplaced();
}

void CKELDataManager::CloseSolution()
{
    State old = takeState();
    discardState(old);
    emit solutionReplaced();
}

CKELDataManager::State CKELDataManager::takeState()
{
    State s;
    s.solution = std::move(m_solution);
    s.loose = std::move(m_loose);
    m_loose.clear();
    s.idMap = std::move(m_idMap);
    m_idMap = CIdTable();
    s.currentVersion = std::exchange(m_currentVersion, nullptr);
    s.simulatorPath = std::exchange(m_simulatorPath, QString());
    s.count = std::exchange(m_count, 0);
    m_nameIndex.clear();
    s.maxcount = std::exchange(m_maxcount, 0);
    s.local = std::exchange(m_local, true);
    return s;
}

void CKELDataManager::restoreState(State &s)
{
    m_nameIndex.clear();
    m_solution = std::move(s.solution);
    m_loose = std::move(s.loose);
    m_idMap = std::move(s.idMap);
    m_currentVersion = s.currentVersion;
    m_simulatorPath = s.simulatorPath;
    m_count = s.count;
    m_maxcount = s.maxcount;
    m_local = s.local;
}

void CKELDataManager::discardState(State &s)
{
    // The elements leave this manager first: their destructors must neither
    // touch the id map of a solution that replaced them nor walk it one by one.
    for (const CKELData *e : std::as_const(s.idMap))
        const_cast<CKELData *>(e)->SetManager(nullptr);
    if (s.solution)
        s.solution->SetManager(nullptr);
    for (auto &e : s.loose)
        e->SetManager(nullptr);
    s.idMap.clear();
    std::unique_ptr<CKELData> root(s.solution.release());
    CKELData::Destroy(std::move(root));
    for (auto &e : s.loose)
        CKELData::Destroy(std::move(e));
    s.loose.clear();
}

void CKELDataManager::WriteSolutionLines(const std::function<void(const QString &)> &sink) const
{
    CSolutionWriter::WriteLines(*this, sink);
}

QString CKELDataManager::BuildSolutionText() const
{
    return CSolutionWriter::Text(*this);
}

bool CKELDataManager::LoadSolutionText(const QString &text, QString *error)
{
    return CSolutionReader::ReadText(*this, text, error);
}

void CKELDataManager::AdoptLoadedChild(CKELData *parent, int childId)
{
    if (m_loader)
        m_loader->AdoptChild(parent, childId);
}

CSiblingOrder::CSiblingOrder(int maxId, qsizetype count)
{
    // a plain array while ids are dense, as they are in files we write
    if (qint64(maxId) <= 4 * qint64(count) + 1024)
        m_dense.assign(size_t(maxId) + 1, -1);
}

void CSiblingOrder::Set(int id, int order)
{
    if (!m_dense.empty()) {
        if (id > 0 && size_t(id) < m_dense.size())
            m_dense[size_t(id)] = order;
        return;
    }
    m_sparse.insert(id, order);
}

int CSiblingOrder::Get(int id) const
{
    if (!m_dense.empty())
        return id > 0 && size_t(id) < m_dense.size() ? m_dense[size_t(id)] : -1;
    return m_sparse.value(id, -1);
}
