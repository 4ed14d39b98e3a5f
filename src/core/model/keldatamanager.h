#pragma once

#include "idtable.h"
#include "keldata.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CKELComponent;
class CKELMethod;
class CKELRecord;
class CKELRequirement;
class CKELSolution;
class CKELState;
class CKELTree;
class CKELVersion;
class COperationSink;
class CUndoHistory;
class CPrompt;
struct CNodeAttributes;

// Each node's place in its parent's child list, gathered once per save.
class CSiblingOrder
{
public:
    CSiblingOrder(int maxId, qsizetype count);
    void Set(int id, int order);
    int Get(int id) const; // -1 when not a child

private:
    std::vector<int> m_dense;
    QHash<int, int> m_sparse;
};

// Position and size of one node on its tree's canvas.
struct CNodeGeometry
{
    int id = 0;
    int x = 0, y = 0, w = 0, h = 0;
};

// The key to a writable element. Only the classes that change elements can
// make one: the manager's own commands, the apply routine, undo and the
// loader. Everything else gets const elements from the lookups below, so an
// edit that bypasses the operation records does not compile.
class CEditAccess
{
    CEditAccess() = default;
    friend class CKELDataManager;
    friend class COperationApplier;
    friend class CElementRestorer;
    friend class CUndoHistory;
    friend class CSolutionLoader;
    // Elements keep their own cross references in step.
    friend class CKELData;
    // Defined by the tests alone: setting up a case may need a writable element.
    friend class CTestEditAccess;
};

// The one owner of an open solution: the element factory, the id map and
// its counters, the current solution and version. Several managers may live
// side by side (two collaborating clients in one test, a server replica per
// shared solution), so nothing here is global.
class CKELDataManager : public QObject
{
    Q_OBJECT
public:
    explicit CKELDataManager(QObject *parent = nullptr);
    ~CKELDataManager() override;

    static QString FormatVersion() { return QStringLiteral("1.00"); }

    // Registry
    std::unique_ptr<CKELData> CreateElement(int factoryCode);
    // Counts the element, gives it the next id and enters it in the id map.
    void RegisterElement(CKELData *element);
    // A new registered element of the kind of the element with this id.
    std::unique_ptr<CKELData> CreateLike(int id);
    const CKELData *Lookup(int id) const { return m_idMap.value(id, nullptr); }
    template<class T> const T *LookupAs(int id, int typeCode) const
    {
        const CKELData *e = Lookup(id);
        return e && e->GetTypeCode() == typeCode ? static_cast<const T *>(e) : nullptr;
    }
    // Every registered element, walked in ascending id order.
    const CIdTable &IdMap() const { return m_idMap; }
    // The writable element behind a const one of this manager.
    template<class T> static T *Mutable(const T *element, CEditAccess) { return const_cast<T *>(element); }
    QList<int> SortedIds() const;
    int Count() const { return m_count; }
    int MaxCount() const { return m_maxcount; }
    // No edit that makes elements is taken any more.
    bool IdsUsedUp() const { return m_maxcount >= KEL::NewIdsEnd; }

    const CKELSolution *Solution() const { return m_solution.get(); }
    const CKELVersion *CurrentVersion() const { return m_currentVersion; }
    // Where the open solution is stored: a file, or the shared name on a
    // server. Not part of the solution text, so not an edit.
    void SetSolutionPath(const QString &path);
    void SetCurrentVersion(CKELVersion *version) { m_currentVersion = version; }
    const QString &SimulatorPath() const { return m_simulatorPath; }
    void SetSimulatorPath(const QString &path) { m_simulatorPath = path; }
    bool IsLocal() const { return m_local; }
    void SetLocal(bool local) { m_local = local; }

    // Solution lifecycle
    void NewSolution();
    // A registered version with its four folders, not yet attached.
    std::unique_ptr<CKELVersion> CreateVersion(const QString &name);
    void CloseSolution();

    // The solution text, one record a line, lines ended by "\n".
    QString BuildSolutionText() const;
    // Hands the solution's lines to sink one by one, without line breaks.
    void WriteSolutionLines(const std::function<void(const QString &)> &sink) const;

    // Replaces the open solution with the one in text. A text that yields no
    // solution leaves the open one as it was and returns false.
    bool LoadSolutionText(const QString &text, QString *error = nullptr);

    struct LoadReport
    {
        int ignoredLines = 0; // unknown kinds and types, bad ids, oversized lines
        int refusedLinks = 0; // second parents, self links, cycles
        int duplicateIds = 0;
        bool damagedCounter = false; // the header's id counter was out of range and was ignored
    };
    const LoadReport &LastLoadReport() const { return m_loadReport; }

    // Called by elements
    void ElementGone(CKELData *element);
    // Keep the by-name index of folders in step with their children.
    void FolderChildAdded(const CKELData *folder, CKELData *child);
    void FolderChildRemoved(const CKELData *folder, const CKELData *child);
    void FolderChildRenamed(const CKELData *folder, CKELData *child, const QString &oldName);
    // The first child of folder with this name that is not itself a folder;
    // found through an index, since tags and names are looked up by every edit.
    const CKELData *FindChildByName(const CKELData *folder, const QString &name) const;
    void AdoptLoadedChild(CKELData *parent, int childId);
    // While a solution is written: a node's place in its parent's child list.
    const CSiblingOrder *SiblingOrderCache() const { return m_siblingOrderCache.get(); }

    // ---- Commands --------------------------------------------------------
    // Each checks its input, asks where a removal needs it, and builds its
    // operation record. A local solution applies the record at once through
    // ApplyOperationRecord; a shared one hands it to the operation sink and
    // applies it when the server relays it back. They return whether the
    // edit was made (or sent); a refusal has told the user why.
    void SetPrompt(CPrompt *prompt) { m_prompt = prompt; }
    CPrompt &Prompt();
    void SetOperationSink(COperationSink *sink) { m_sink = sink; }

    bool AddRequirement(const QString &tag, const QString &description);
    bool ChangeRequirement(int id, const QString &tag, const QString &description);
    bool RemoveRequirement(int id);
    bool AddComponent(const QString &name, bool systemComponent);
    // A rename travels as "modcom"; the nodes of the component's version
    // that name it follow, as nodes carrying a requirement's tag follow a
    // tag change. Removing a component or a state ("rmcom", "rmsta") works
    // in a local solution only: peers of older builds do not know them.
    bool RenameComponent(int id, const QString &name, bool systemComponent);
    bool RemoveComponent(int id);
    bool RemoveState(int id);
    bool AddState(const QString &component, const QString &behavior, int behaviorType, const QString &requirementTag);
    bool AttachState(int stateId, const QString &requirementTag);
    bool DetachState(int stateId, int requirementId);
    bool AddRBT(const QString &name, const QList<int> &requirementIds, int levelGap);
    bool ChangeRBT(int treeId, const QString &name, const QList<int> &requirementIds);
    bool RemoveRBT(int treeId);
    bool AddDBT(const QString &name);
    bool RenameDBT(int treeId, const QString &name);
    bool RemoveDBT(int treeId);
    bool RemoveEVT(int treeId);
    // parentId 0 makes a root. A behavior the component lacks is added to it.
    bool AddNode(int treeId, int parentId, const CNodeAttributes &attributes, int x, int y);
    bool ChangeNode(int nodeId, const CNodeAttributes &attributes);
    // Several nodes at once: one "node;" record a line, each naming its
    // parent by place in the list (-1: under parentId, or a root when 0).
    bool AddNodes(int treeId, int parentId, const QString &nodeLines);
    // Adds the node's behavior to its component (and the component) in the
    // tree's version when missing.
    void EnsureState(const CKELTree *tree, const CNodeAttributes &attributes);
    // parentId 0 detaches the node.
    bool LinkNode(int parentId, int childId);
    bool RemoveNode(int nodeId);
    // Geometry travels as one "geo" record for any number of nodes of one
    // tree, so a whole layout is one edit for every client and one undo step.
    bool SetNodeGeometry(int nodeId, int x, int y, int w, int h);
    bool SetNodesGeometry(int treeId, const QList<CNodeGeometry> &nodes);
    bool SetTreePages(int treeId, int pagesWide, int pagesHigh);
    // Removing nodes that have children: the whole subtree goes, or the
    // children stay as roots. One step for the whole selection.
    enum class RemoveMode { Subtree, KeepChildren };
    bool RemoveNodes(const QList<int> &nodeIds, RemoveMode mode);

    // The undo history of the open solution, shared by every view of it.
    CUndoHistory &History();
    bool CopyTree(int targetTreeId, int sourceTreeId);
    // Derived diagrams: rebuilt on demand and never written, so they leave
    // the modified flag alone. CBTs and CINs are removed here only, even in a
    // shared solution.
    bool CreateCBT(int treeId, const QString &component);
    bool RemoveCBT(int cbtId);
    bool CreateCIN(int treeId);
    bool RemoveCIN(int cinId);
    bool CreateCID(int treeId, const QString &component);
    bool RemoveCID(int cidId);
    bool AddEVT(const QList<int> &treeIds);
    // "Integrate next Matching RBT" on a node: grafts the first RBT root that
    // matches it. Nothing happens, silently, when no root matches.
    bool IntegrateNextMatchingRBT(int nodeId);
    // "Integrate this RBT" on a root: grafts it onto its first match, after
    // the checks and questions.
    bool IntegrateThisRBT(int rootId);
    bool NewVersion(const QString &name, int fromVersionId);
    bool SetCurrentVersion(int versionId);

    // Runs a record as the command that would have built it: with that
    // command's checks and questions, then through the one change path.
    bool ExecuteRecordAsCommand(const QString &record);

    // ---- One change path -------------------------------------------------
    // Applies one record, whether made here or relayed by the server. It
    // repeats every check the sender made, so that records crossing in
    // flight are refused alike by every client; a refused record changes
    // nothing and says nothing. Returns whether the model changed.
    bool ApplyOperationRecord(const QString &record);

    // ---- Lookups in a version (the current one when null) ----------------
    const CKELRequirement *FindRequirement(const QString &tag, const CKELVersion *version = nullptr) const;
    const CKELComponent *FindComponent(const QString &name, const CKELVersion *version = nullptr) const;
    const CKELTree *FindTree(int folderType, const QString &name, const CKELVersion *version = nullptr) const;
    const CKELVersion *VersionOf(const CKELData *element) const;

    void MarkModified();
    // After the solution was written: clears the flag and says so, also when
    // it was clean, since the save may have given the solution a new name.
    void MarkSaved();

signals:
    void solutionReplaced();
    void elementAdded(int id);
    void elementChanged(int id);
    // Sent before the element and everything it owns go; the id still resolves.
    void elementAboutToBeRemoved(int id);
    void elementRemoved(int id);
    void currentVersionChanged(int previousId, int currentId);
    void modifiedChanged(bool modified);

private:
    friend class CSolutionLoader;
    friend class CSolutionWriter;
    friend class COperationApplier;
    friend class CElementRestorer;
    friend class CUndoHistory;

    // The edit layer's writable lookups, all through the one door.
    CKELData *lookupForEdit(int id) const { return Mutable(Lookup(id), CEditAccess()); }
    template<class T> T *lookupForEdit(int id, int typeCode) const
    {
        return Mutable(LookupAs<T>(id, typeCode), CEditAccess());
    }
    template<class T> T *forEdit(const T *element) const { return Mutable(element, CEditAccess()); }

    bool submit(const QString &record);
    // Whether applying a record of this kind may make new elements.
    static bool makesElements(QStringView kind);
    // One change record per listed node, its fields as edit leaves them.
    bool resubmitNodes(const QList<int> &nodes, const std::function<void(CNodeAttributes &)> &edit);
    bool confirmRemoval(const QString &text);
    // The removal of a named tree or diagram: "remove the KIND "name" ?", then its record.
    bool confirmAndSubmitRemoval(int id, int typeCode, QStringView kindWord, QStringView recordKind);
    void removeElement(CKELData *element);

    struct State
    {
        std::unique_ptr<CKELSolution> solution;
        std::vector<std::unique_ptr<CKELData>> loose;
        CIdTable idMap;
        CKELVersion *currentVersion = nullptr;
        QString simulatorPath;
        int count = 0;
        int maxcount = 0;
        bool local = true;
    };
    State takeState();
    void restoreState(State &state);
    static void discardState(State &state);

    std::unique_ptr<CKELSolution> m_solution;
    // Elements of a loaded file that no owner claimed; kept so that nothing
    // read is lost on the next save.
    std::vector<std::unique_ptr<CKELData>> m_loose;
    CIdTable m_idMap;
    CKELVersion *m_currentVersion = nullptr;
    QString m_simulatorPath;
    int m_count = 0;
    int m_maxcount = 0;
    bool m_local = true;
    LoadReport m_loadReport;
    mutable std::unique_ptr<CSiblingOrder> m_siblingOrderCache;
    mutable QHash<const CKELData *, QHash<QString, const CKELData *>> m_nameIndex;
    class CSolutionLoader *m_loader = nullptr;
    CPrompt *m_prompt = nullptr;
    // Set while a command of this user is applied locally: then refusals
    // found while applying are shown; relayed records are refused silently.
    bool m_applyingOwnCommand = false;
    COperationSink *m_sink = nullptr;
    CUndoHistory *m_history = nullptr; // owned as a QObject child
};
