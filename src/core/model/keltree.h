#pragma once

#include "kelcontainers.h"

#include <QSet>

class CKELMethod;

// A behavior tree: its nodes are owned children, in creation order; derived
// diagrams hang beside them and are never written.
class CKELTree : public CKELDiagram
{
public:
    using CKELDiagram::CKELDiagram;
    QString GetLabel() const override { return GetName(); }

    // The tree's nodes in element order.
    QList<const CKELMethod *> Nodes() const;
    QList<CKELMethod *> Nodes();
    // Nodes without a parent node, in element order.
    QList<const CKELMethod *> Roots() const;
    QList<CKELMethod *> Roots();
};

class CKELRBT : public CKELTree
{
public:
    using CKELTree::CKELTree;
    KEL_KIND(KEL::RBT, "RBT", 9)

    QString GetLabel() const override;
    const QList<int> &AssociatedRequirements() const { return m_associatedRequirements; }
    void SetAssociatedRequirements(const QList<int> &ids) { m_associatedRequirements = ids; }
    int PagesWide() const { return m_pagesWide; }
    int PagesHigh() const { return m_pagesHigh; }
    void SetPages(int wide, int high);
    int LevelGap() const { return m_levelGap; }
    void SetLevelGap(int gap) { m_levelGap = gap > 0 ? gap : kDefaultLevelGap; }
    void FromRecord(const CKELRecord &record) override;

    static constexpr int kDefaultLevelGap = 50;

protected:
    void AppendOwnFields(QString &out) const override;
    void ReadTreeFields(const CKELRecord &record);

private:
    QList<int> m_associatedRequirements;
    int m_pagesWide = 1;
    int m_pagesHigh = 1;
    int m_levelGap = kDefaultLevelGap;
};

class CKELDBT : public CKELRBT
{
public:
    using CKELRBT::CKELRBT;
    KEL_KIND(KEL::DBT, "DBT", 11)
};

class CKELEVT : public CKELRBT
{
public:
    using CKELRBT::CKELRBT;
    KEL_KIND(KEL::EVT, "EVT", 22)

    const QList<int> &SourceTrees() const { return m_sourceTrees; }
    QList<int> &SourceTrees() { return m_sourceTrees; }
    void FromRecord(const CKELRecord &record) override;

protected:
    void AppendOwnFields(QString &out) const override;

private:
    QList<int> m_sourceTrees;
};

class CKELCBT : public CKELTree
{
public:
    explicit CKELCBT(CKELDataManager *m) : CKELTree(m) { SetPersistent(false); }
    KEL_KIND(KEL::CBT, "CBT", 17)
};

class CKELCIN : public CKELDiagram
{
public:
    explicit CKELCIN(CKELDataManager *m) : CKELDiagram(m) { SetPersistent(false); }
    KEL_KIND(KEL::CIN, "CIN", 20)
    QString GetLabel() const override { return GetName().isEmpty() ? GetType() : GetName(); }
};

class CKELCID : public CKELDiagram
{
public:
    explicit CKELCID(CKELDataManager *m) : CKELDiagram(m) { SetPersistent(false); }
    KEL_KIND(KEL::CID, "CID", 19)
    QString GetLabel() const override { return GetName(); }
};

// Joins two elements of an interaction network; its ends are not written.
class CKELLink : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::Link, "Link", 0)
    int FromId() const { return m_from; }
    int ToId() const { return m_to; }
    void SetEnds(int from, int to)
    {
        m_from = from;
        m_to = to;
    }

private:
    int m_from = 0;
    int m_to = 0;
};
