#include "kelcontainers.h"
#include "modeltexts.h"

#include "keldatamanager.h"

QString CKELSolution::DisplayName() const
{
    if (!GetName().isEmpty())
        return GetName();
    if (m_path.isEmpty())
        return ModelTexts::Untitled;
    // both separators: files may come from either kind of system
    const qsizetype slash = std::max(m_path.lastIndexOf(u'/'), m_path.lastIndexOf(u'\\'));
    QString file = m_path.mid(slash + 1);
    const qsizetype dot = file.indexOf(u'.');
    if (dot > 0)
        file.truncate(dot);
    return file;
}

QString CKELSolution::GetLabel() const
{
    QString label = ModelTexts::SolutionLabel(DisplayName());
    if (Manager() && !Manager()->IsLocal())
        label += ModelTexts::SharedMark;
    if (m_solutionModified)
        label += u'*';
    return label;
}

void CKELSolution::SetModified(bool on)
{
    m_solutionModified = on;
    if (on)
        m_pristine = false;
}

const CKELProject *CKELSolution::Project() const
{
    return FirstChildOfType<CKELProject>(KEL::Project);
}

const CKELEVTs *CKELSolution::EvtFolder() const
{
    return FirstChildOfType<CKELEVTs>(KEL::EVTs);
}

QString CKELVersion::GetLabel() const
{
    QString label = ModelTexts::VersionLabel(GetName());
    if (Manager() && Manager()->CurrentVersion() == this)
        label += u'*';
    return label;
}

const CKELRequirements *CKELVersion::RequirementsFolder() const
{
    return FirstChildOfType<CKELRequirements>(KEL::Requirements);
}

const CKELComponents *CKELVersion::ComponentsFolder() const
{
    return FirstChildOfType<CKELComponents>(KEL::Components);
}

const CKELRBTs *CKELVersion::RBTFolder() const
{
    return FirstChildOfType<CKELRBTs>(KEL::RBTs);
}

const CKELDBTs *CKELVersion::DBTFolder() const
{
    return FirstChildOfType<CKELDBTs>(KEL::DBTs);
}
