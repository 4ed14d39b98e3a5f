#pragma once

#include "keldatamanager.h"
#include "kelrecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>

#include <memory>
#include <vector>

// Reads solution lines into a manager in two phases: the first creates the
// elements and keeps their lines, the second restores each element from its
// line once every element exists, so records may name later elements.
// The manager's previous solution is kept aside and comes back when the
// lines yield no solution.
class CSolutionLoader
{
public:
    explicit CSolutionLoader(CKELDataManager &manager);
    ~CSolutionLoader();
    CSolutionLoader(const CSolutionLoader &) = delete;
    CSolutionLoader &operator=(const CSolutionLoader &) = delete;

    // One line in the file's encoding, without its line feed.
    void AddLine(QByteArrayView line);
    void IgnoreLine() { ++m_manager.m_loadReport.ignoredLines; }
    // A hint of how many lines will come.
    void Reserve(qsizetype lines) { m_entries.reserve(size_t(lines)); }
    bool Finish(QString *error);
    void AdoptChild(CKELData *parent, int childId);

private:
    struct Entry
    {
        std::unique_ptr<CKELData> owned; // null once an owner adopted it
        CKELData *element = nullptr;     // null when a later line replaced it
        qsizetype offset = 0;
        qsizetype length = 0; // -1: restored when read
    };

    void addElement(int factoryCode, int id, QByteArrayView line);
    bool restoreNodeNow(CKELMethod *node, QByteArrayView line);
    void buildDenseIndex();
    CKELData *lookup(int id) const;
    void restoreAll();
    void breakOwnershipCycles();
    void linkNodes();
    CKELSolution *pickSolution();
    void rollBack();
    int slotOf(const CKELData *e) const { return e->m_loadSlot; }

    CKELDataManager &m_manager;
    CKELDataManager::State m_backup;
    std::vector<Entry> m_entries;
    std::vector<int> m_order;        // live entries in ascending id order
    std::vector<CKELData *> m_dense; // by id, once phase two starts (when ids are dense)
    QByteArray m_arena;              // the element lines, kept between the phases
    CKELRecord m_record;             // reused: its field list keeps its room
    QSet<QString> m_sharedText;
    int m_headerCount = -1;
    int m_headerMaxCount = 0;
    int m_idOutOfRange = 0; // the first such id: the file is refused
    int m_endVersionId = 0;
    int m_endSolutionId = 0;
    bool m_finished = false;
};
