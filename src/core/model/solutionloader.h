#pragma once

#include "keldatamanager.h"
#include "kelrecord.h"

#include <QByteArray>
#include <QByteArrayView>

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
    // The most lines that can come (from the size of the input): the
    // header's element count is trusted for room up to this.
    void SetMaxLines(qsizetype lines) { m_maxLines = lines; }
    bool Finish(QString *error);
    void AdoptChild(CKELData *parent, int childId);

private:
    struct Entry
    {
        std::unique_ptr<CKELData> owned; // null once an owner adopted it
        CKELData *element = nullptr;     // null when a later line replaced it
    };
    // The line of an element restored in the second phase.
    struct Kept
    {
        int slot = 0;
        qsizetype offset = 0;
        qsizetype length = 0;
    };

    void addElement(int factoryCode, int id, QByteArrayView line);
    bool restoreNodeNow(CKELMethod *node);
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
    std::vector<Kept> m_kept;
    std::vector<int> m_order; // live entries in ascending id order
    QByteArray m_arena;       // the kept lines
    CKELRecord m_record;      // reused: its line and field list keep their room
    CTextPool m_texts;        // the same few names recur over thousands of nodes
    qsizetype m_maxLines = 0;
    int m_headerCount = -1;
    int m_headerMaxCount = 0;
    int m_idOutOfRange = 0; // the first such id: the file is refused
    int m_endVersionId = 0;
    int m_endSolutionId = 0;
    int m_lastId = 0;
    bool m_idsAscending = true; // as in every file we write: nothing to sort
    bool m_finished = false;
};
