#pragma once

#include "keltypes.h"

#include <QList>
#include <QString>

#include <experimental/propagate_const>
#include <memory>
#include <utility>
#include <vector>

class CKELData;
class CKELDataManager;
class CKELRecord;

// An owned child: through a const element it is a const element too, so
// walking the tree from a const pointer never yields a writable one.
using CKELChildPtr = std::experimental::propagate_const<std::unique_ptr<CKELData>>;

// Base of every model element. Elements form one ownership tree with the
// solution at the root and are reachable by id through their manager.
// They hold no pointers to widgets, items or documents: the user interface
// keeps those, keyed by element id. Everything outside the edit layer and
// the loader sees elements as const (see CEditAccess); every navigation
// from a const element stays const.
class CKELData
{
public:
    explicit CKELData(CKELDataManager *manager);
    virtual ~CKELData();
    CKELData(const CKELData &) = delete;
    CKELData &operator=(const CKELData &) = delete;

    CKELDataManager *Manager() const { return m_manager; }
    void SetManager(CKELDataManager *manager) { m_manager = manager; }

    // Kind
    virtual int GetTypeCode() const = 0;
    virtual const QString &GetType() const = 0;
    virtual int GetImageIndex() const { return 0; }
    virtual bool IsSet() const { return false; }
    virtual bool IsBasicKind() const { return false; }
    bool IsMethod() const { return GetTypeCode() == KEL::Method; }
    virtual bool IsDiagram() const { return false; }
    bool IsTree() const;

    // Identity and texts
    int GetId() const { return m_id; }
    void SetId(int id) { m_id = id; }
    virtual QString GetName() const { return m_name; }
    void SetName(const QString &name);
    virtual QString GetLabel() const { return GetType(); }
    virtual QString GetLabelFor(const CKELData *context) const;
    virtual QString GetToolTip() const;
    virtual void SetToolTip(const QString &tip) { extra().tooltip = tip; }

    bool IsPersistent() const { return m_persistent; }
    void SetPersistent(bool on) { m_persistent = on; }
    virtual bool IsModified() const { return m_modified; }
    virtual void SetModified(bool on) { m_modified = on; }

    // Ownership
    const CKELData *GetParent() const { return m_parent; }
    CKELData *GetParent() { return m_parent; }
    int ChildCount() const { return int(m_children.size()); }
    const CKELData *ChildAt(int i) const { return m_children[size_t(i)].get(); }
    CKELData *ChildAt(int i) { return m_children[size_t(i)].get(); }
    // Yields const children; a writable element walks them with ChildAt.
    const std::vector<CKELChildPtr> &Children() const { return m_children; }
    // Appends an owned child. Refused (and the child handed back) when it
    // would make an element its own ancestor.
    bool AddChild(std::unique_ptr<CKELData> &child);
    // Takes an owned child out without deleting it.
    std::unique_ptr<CKELData> TakeChild(CKELData *child);
    bool IsAncestorOf(const CKELData *other) const;
    // Ids of the owned children with a positive id.
    int GetChildIds(QList<int> &out) const;
    template<class T> const T *FirstChildOfType(int typeCode) const
    {
        for (const auto &c : m_children) {
            if (c->GetTypeCode() == typeCode)
                return static_cast<const T *>(c.get());
        }
        return nullptr;
    }
    template<class T> T *FirstChildOfType(int typeCode)
    {
        return const_cast<T *>(std::as_const(*this).FirstChildOfType<T>(typeCode));
    }

    // Virtual children: elements shown under this one without being owned.
    // Shows child under this element; both sides remember the link so that
    // deleting either one cleans up the other.
    void AddVirtualChild(CKELData *child);
    bool RemoveVChild(int id);
    void AddVParent(int id) { extra().vParentIds.append(id); }
    bool RemoveVParent(int id);
    const QList<int> &VChildIds() const { return m_extra ? m_extra->vChildIds : kNoIds; }
    const QList<int> &VParentIds() const { return m_extra ? m_extra->vParentIds : kNoIds; }

    // Evolution data of an evolution-tree node
    bool IsEvolution() const { return m_extra && m_extra->isEvolution; }
    void SetEvolution(bool on)
    {
        if (on || m_extra)
            extra().isEvolution = on;
    }
    int GetEvStyle() const { return m_extra ? m_extra->evStyle : 0; }
    void SetEvStyle(int style)
    {
        if (style || m_extra)
            extra().evStyle = style;
    }
    const QList<int> &EvTags() const { return m_extra ? m_extra->evTags : kNoIds; }
    QList<int> &EvTags() { return extra().evTags; }

    int PredecessorId() const { return m_extra ? m_extra->predecessorId : 0; }
    int SuccessorId() const { return m_extra ? m_extra->successorId : 0; }
    void SetPredecessorId(int id)
    {
        if (id || m_extra)
            extra().predecessorId = id;
    }
    void SetSuccessorId(int id)
    {
        if (id || m_extra)
            extra().successorId = id;
    }

    // A new registered element of the same kind that remembers this one.
    std::unique_ptr<CKELData> CreateSuccessor();

    // Records
    QString ToRecord() const;
    void AppendRecord(QString &out) const;
    // The same without the owned children's ids: the element's own state.
    void AppendOwnRecord(QString &out) const;
    // Reads the kind's own keys, then the base part.
    virtual void FromRecord(const CKELRecord &record);

    // Deletes a whole subtree without recursion, so that hostile or very
    // deep ownership chains cannot exhaust the stack.
    static void Destroy(std::unique_ptr<CKELData> element);

protected:
    virtual void AppendOwnFields(QString &out) const;
    void ReadBase(const CKELRecord &record);
    static void AppendField(QString &out, QStringView key, QStringView raw);
    static void AppendText(QString &out, QStringView key, const QString &text);
    static void AppendInt(QString &out, QStringView key, int value);
    // keys written in the code: their length is known when compiling
    template<size_t N> static void AppendField(QString &out, const char16_t (&key)[N], QStringView raw)
    {
        AppendField(out, QStringView(key, N - 1), raw);
    }
    template<size_t N> static void AppendText(QString &out, const char16_t (&key)[N], const QString &text)
    {
        AppendText(out, QStringView(key, N - 1), text);
    }
    template<size_t N> static void AppendInt(QString &out, const char16_t (&key)[N], int value)
    {
        AppendInt(out, QStringView(key, N - 1), value);
    }
    static void AppendNumber(QString &out, int value);

private:
    // What few elements have: virtual links, evolution data, a tool tip of
    // their own. Kept apart and made on first use, since a big tree is a
    // million nodes that have none of it.
    struct Extra
    {
        Extra();
        QString tooltip;
        QList<int> vParentIds;
        QList<int> vChildIds;
        QList<int> evTags;
        int evStyle = 0;
        int predecessorId = 0;
        int successorId = 0;
        bool isEvolution = false;
    };
    Extra &extra();
    void dropCrossReferences();
    // "children:" and the persistent owned children's ids, then ";"
    void appendChildIds(QString &out) const;
    static const QList<int> kNoIds;

    CKELDataManager *m_manager = nullptr;
    CKELData *m_parent = nullptr;
    std::vector<CKELChildPtr> m_children;
    QString m_name;
    std::unique_ptr<Extra> m_extra;
    int m_id = 0;
    bool m_persistent = true;
    bool m_modified = false;
    int m_loadSlot = -1; // place in the loader's table while a file is read

    friend class CKELDataManager;
    friend class CSolutionLoader;
    friend class CElementRestorer;
};

// Abstract intermediate kinds
class CKELSetData : public CKELData
{
public:
    using CKELData::CKELData;
    bool IsSet() const override { return true; }
};

class CKELDiagram : public CKELData
{
public:
    using CKELData::CKELData;
    bool IsDiagram() const override { return true; }
};
