#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <vector>

class CKELDataManager;

// The undo history of one open solution. A step holds, for every record
// the user's action applied, the record that puts it back and the record
// that makes it again; undo and redo send those through the same change
// path as any edit, so in a shared solution everyone sees them.
class CUndoHistory : public QObject
{
    Q_OBJECT
public:
    explicit CUndoHistory(CKELDataManager &manager);

    bool CanUndo() const;
    bool CanRedo() const;
    // The step's name, as the Edit menu shows it after "Undo " or "Redo ".
    QString UndoText() const;
    QString RedoText() const;
    // False when there is nothing to undo or redo, or when another user has
    // since changed what the step touched (the prompt says so).
    bool Undo();
    bool Redo();
    bool IsClean() const { return m_clean == m_index; }
    void SetClean();
    // A change the history does not hold (a switched version) was made:
    // no step brings the saved state back any more.
    void ForgetClean();
    void Clear();

    int Count() const { return int(m_steps.size()); }
    // How many steps are done (the rest can be redone).
    int Position() const { return m_index; }
    // Bytes held by the records of the steps.
    qint64 MemoryUse() const;

    // ---- Used by the change path -----------------------------------------
    // Steps nest: only the outermost one names and closes the step.
    void BeginStep(const QString &name);
    void EndStep();
    bool InStep() const { return m_depth > 0; }
    // Whether records applied now belong to the user's step being made.
    bool Recording() const { return m_depth > 0 && !m_replaying; }
    // The serial of the step being made, so that records of a shared
    // solution coming back from the server find their step.
    qint64 OpenSerial() const { return m_open.serial; }
    void Append(qint64 serial, const QString &undoRecord, const QString &redoRecord);
    bool Replaying() const { return m_replaying; }
    // A record of this user sent to the server, and the step a relayed
    // record belongs to (0: not one of this user's journaled records).
    void NoteSent(const QString &record);
    qint64 TakeOwn(const QString &record);

signals:
    void changed();
    // Around the records of one undo or redo: a view that follows many
    // elements can take them in as one change.
    void replayStarted();
    void replayFinished();

private:
    struct Step
    {
        QString name;
        qint64 serial = 0;
        std::vector<QByteArray> undo; // in the order they were applied
        std::vector<QByteArray> redo;
        int inFlight = 0; // records sent and not yet relayed back
    };
    Step *stepOf(qint64 serial);
    static QByteArray pack(const QString &record);
    static QString unpack(const QByteArray &packed);
    bool replay(const Step &step, bool undo);
    bool conflicts(const Step &step, bool undo, QString *what) const;
    void followClean();

    CKELDataManager &m;
    std::vector<Step> m_steps;
    int m_index = 0; // steps before it are done
    int m_clean = 0; // -1: the saved state can no longer be reached
    int m_depth = 0;
    bool m_replaying = false;
    Step m_open;
    bool m_openSent = false;
    std::deque<std::pair<QString, qint64>> m_pendingOwn;
    qint64 m_nextSerial = 1;
};
