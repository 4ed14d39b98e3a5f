#pragma once

#include "keldata.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CKELSolution;
class CKELVersion;

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
    CKELData *Lookup(int id) const { return m_idMap.value(id, nullptr); }
    template<class T> T *LookupAs(int id, int typeCode) const
    {
        CKELData *e = Lookup(id);
        return e && e->GetTypeCode() == typeCode ? static_cast<T *>(e) : nullptr;
    }
    const QHash<int, CKELData *> &IdMap() const { return m_idMap; }
    QList<int> SortedIds() const;
    int Count() const { return m_count; }
    int MaxCount() const { return m_maxcount; }

    CKELSolution *Solution() const { return m_solution.get(); }
    CKELVersion *CurrentVersion() const { return m_currentVersion; }
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
        int ignoredLines = 0;   // unknown kinds and types, bad ids, oversized lines
        int refusedLinks = 0;   // second parents, self links, cycles
        int duplicateIds = 0;
    };
    const LoadReport &LastLoadReport() const { return m_loadReport; }

    // Called by elements
    void ElementGone(CKELData *element);
    void AdoptLoadedChild(CKELData *parent, int childId);
    // While a solution is written: a node's place in its parent's child list.
    const CSiblingOrder *SiblingOrderCache() const { return m_siblingOrderCache.get(); }

signals:
    void solutionReplaced();

private:
    friend class CSolutionLoader;

    struct State
    {
        std::unique_ptr<CKELSolution> solution;
        std::vector<std::unique_ptr<CKELData>> loose;
        QHash<int, CKELData *> idMap;
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
    QHash<int, CKELData *> m_idMap;
    CKELVersion *m_currentVersion = nullptr;
    QString m_simulatorPath;
    int m_count = 0;
    int m_maxcount = 0;
    bool m_local = true;
    LoadReport m_loadReport;
    mutable std::unique_ptr<CSiblingOrder> m_siblingOrderCache;
    class CSolutionLoader *m_loader = nullptr;
};
