#pragma once

#include "keldata.h"

// Declares an element kind's type code, type name and explorer icon.
#define KEL_KIND(code, typeName, image)                                                                                \
    int GetTypeCode() const override                                                                                   \
    {                                                                                                                  \
        return code;                                                                                                   \
    }                                                                                                                  \
    const QString &GetType() const override                                                                            \
    {                                                                                                                  \
        static const QString name = QStringLiteral(typeName);                                                          \
        return name;                                                                                                   \
    }                                                                                                                  \
    int GetImageIndex() const override                                                                                 \
    {                                                                                                                  \
        return image;                                                                                                  \
    }

class CKELProject;
class CKELVersion;
class CKELEVTs;
class CKELRequirements;
class CKELComponents;
class CKELRBTs;
class CKELDBTs;

class CKELSolution : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::Solution, "Solution", 0)

    QString GetLabel() const override;
    // The name, else "Untitled" without a path, else the file name up to
    // its first "." (unless the name starts with it).
    QString DisplayName() const;

    const QString &Path() const { return m_path; }
    void SetPath(const QString &path) { m_path = path; }
    bool IsPristine() const { return m_pristine; }
    void SetPristine(bool on) { m_pristine = on; }
    bool IsModified() const override { return m_solutionModified; }
    void SetModified(bool on) override;

    const CKELProject *Project() const;
    CKELProject *Project() { return const_cast<CKELProject *>(std::as_const(*this).Project()); }
    const CKELEVTs *EvtFolder() const;
    CKELEVTs *EvtFolder() { return const_cast<CKELEVTs *>(std::as_const(*this).EvtFolder()); }

private:
    QString m_path;
    bool m_pristine = false;
    bool m_solutionModified = false;
};

class CKELProject : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::Project, "Project", 1)
    QString GetLabel() const override { return QStringLiteral("System:") + GetName(); }
};

class CKELVersion : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::Version, "Version", 2)
    QString GetLabel() const override;

    const CKELRequirements *RequirementsFolder() const;
    const CKELComponents *ComponentsFolder() const;
    const CKELRBTs *RBTFolder() const;
    const CKELDBTs *DBTFolder() const;
    CKELRequirements *RequirementsFolder()
    {
        return const_cast<CKELRequirements *>(std::as_const(*this).RequirementsFolder());
    }
    CKELComponents *ComponentsFolder() { return const_cast<CKELComponents *>(std::as_const(*this).ComponentsFolder()); }
    CKELRBTs *RBTFolder() { return const_cast<CKELRBTs *>(std::as_const(*this).RBTFolder()); }
    CKELDBTs *DBTFolder() { return const_cast<CKELDBTs *>(std::as_const(*this).DBTFolder()); }
};

class CKELRequirements : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::Requirements, "Requirements", 3)
};

class CKELComponents : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::Components, "Components", 5)
};

class CKELRBTs : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::RBTs, "RBTs", 8)
};

class CKELDBTs : public CKELRBTs
{
public:
    using CKELRBTs::CKELRBTs;
    KEL_KIND(KEL::DBTs, "IBTs", 10)
};

// Folders of derived diagrams: rebuilt on demand, never written.
class CKELCBTs : public CKELSetData
{
public:
    explicit CKELCBTs(CKELDataManager *m) : CKELSetData(m) { SetPersistent(false); }
    KEL_KIND(KEL::CBTs, "CBTs", 16)
};

class CKELCIDs : public CKELSetData
{
public:
    explicit CKELCIDs(CKELDataManager *m) : CKELSetData(m) { SetPersistent(false); }
    KEL_KIND(KEL::CIDs, "CIDs", 18)
};

class CKELEVTs : public CKELSetData
{
public:
    using CKELSetData::CKELSetData;
    KEL_KIND(KEL::EVTs, "EVTs", 21)
};
