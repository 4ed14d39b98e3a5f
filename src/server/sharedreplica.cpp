#include "sharedreplica.h"

#include "collab/solutiontextpacking.h"
#include "model/keldatamanager.h"

CSharedReplica::CSharedReplica(const QString &name)
    : m_name(name),
      m_manager(std::make_unique<CKELDataManager>())
{
    m_manager->SetPrompt(&m_prompt);
}

CSharedReplica::~CSharedReplica() = default;

bool CSharedReplica::Load(const QString &text)
{
    if (!m_manager->LoadSolutionText(text))
        return false;
    // the replica applies records itself; there is nowhere to send them
    m_manager->SetLocal(true);
    m_dirty = false;
    return true;
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
