#include "sharedreplica.h"

#include "collab/solutiontextpacking.h"
#include "model/keldata.h"
#include "model/keldatamanager.h"

CSharedReplica::CSharedReplica(const QString &name) : m_name(name), m_manager(std::make_unique<CKELDataManager>())
{
    m_manager->SetPrompt(&m_prompt);
}

CSharedReplica::~CSharedReplica() = default;

bool CSharedReplica::Load(const QString &text, const QStringList &records)
{
    auto manager = std::make_unique<CKELDataManager>();
    manager->SetPrompt(&m_prompt);
    if (!manager->LoadSolutionText(text))
        return false;
    // the replica applies records itself; there is nowhere to send them
    manager->SetLocal(true);
    // a kind this server does not know is skipped, as it was when relayed
    for (const QString &record : records)
        manager->ApplyOperationRecord(record);
    m_manager = std::move(manager);
    m_dirty = !records.isEmpty();
    return true;
}

qsizetype CSharedReplica::ElementCount() const
{
    return m_manager->IdMap().size();
}

qsizetype CSharedReplica::ElementsUnder(int id) const
{
    const CKELData *e = m_manager->Lookup(id);
    if (!e)
        return 0;
    qsizetype n = 0;
    // a loop, not recursion: trees may be deeper than the stack
    QList<const CKELData *> todo{e};
    while (!todo.isEmpty()) {
        const CKELData *d = todo.takeLast();
        ++n;
        for (const auto &child : d->Children())
            todo.append(child.get());
    }
    return n;
}

bool CSharedReplica::Apply(const QString &record)
{
    ++m_sequence;
    m_dirty = true;
    return m_manager->ApplyOperationRecord(record);
}

QString CSharedReplica::Text() const
{
    return m_manager->BuildSolutionText();
}

QString CSharedReplica::PacketText() const
{
    return Collab::PacketSafeSolutionText(Text());
}
