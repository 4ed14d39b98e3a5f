#pragma once

#include "kelcontainers.h"

#include <QStringList>

class CKELTree;

// One node of a behavior tree. It names its parent node by id; its child
// nodes are kept in tree order in childIds, which the file does not hold
// directly (see "SibOrd").
class CKELMethod : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::Method, "Method", 12)

    QString GetLabel() const override;
    QString GetDecoratedBehavior() const { return KEL::Decorate(behavior, behaviorType); }
    const CKELTree *Tree() const;
    CKELTree *Tree() { return const_cast<CKELTree *>(std::as_const(*this).Tree()); }

    // Behavior attributes
    QString component;
    QString behavior;
    int behaviorType = KEL::StateRealisation;
    QString requirementTag;
    QString qualifier;
    QString extendedTag;
    int x = 0, y = 0, w = 0, h = 0;
    int jumpType = 0; // 0 normal, 1 reversion, 2 go to
    int missType = 0; // 0 in requirement, 1 implied, 2 missing
    bool doubleLine = false;
    bool nonDeterministic = false;
    bool atomic = false;
    bool setOperation = false;
    bool hasExtendedTag = false;
    bool displayExtendedTag = true;
    bool displayExtraInfo = true;
    QStringList extraInfoTags;
    QStringList extraInfoNames;

    int ParentId() const { return m_parentId; }
    void SetParentId(int id) { m_parentId = id; }
    const QList<int> &ChildIds() const { return m_childIds; }
    QList<int> &ChildIds() { return m_childIds; }

    // Extra information as "tag,name,tag,name", escaped; empty without entries.
    // Appends the pairs of an unescaped extra information text.
    void SetExtraInfo(const QString &text) { ParseExtraInfo(text, extraInfoTags, extraInfoNames); }
    // Splits at ",", skips empty items, takes items in pairs; a last tag
    // without a name gets an empty one. Appends; clears nothing.
    static void ParseExtraInfo(const QString &text, QStringList &tags, QStringList &names);

    // Place in the parent's child list; -1 for a root.
    int SiblingOrder() const;
    // Place among its siblings as read from a file; -1 when not given.
    int LoadedSiblingOrder() const { return m_loadedSiblingOrder; }

    void FromRecord(const CKELRecord &record) override;

protected:
    void AppendOwnFields(QString &out) const override;

private:
    QList<int> m_childIds;
    int m_parentId = 0;
    int m_loadedSiblingOrder = -1;
};
