#pragma once

#include "model/prompt.h"

#include <QList>
#include <QString>

#include <memory>

class CKELDataManager;
class CServerConnection;

// The server's own copy of an open shared solution. Every relayed record is
// applied here through the same routine the clients use, in relay order,
// so that a client who joins late starts from what the others see.
class CSharedReplica
{
public:
    explicit CSharedReplica(const QString &name);
    ~CSharedReplica();

    const QString &Name() const { return m_name; }
    // False when the text holds no solution. The records follow the text, as
    // they were stored; the replica keeps its sequence.
    bool Load(const QString &text, const QStringList &records = {});
    // Whether the record changed the model; it is relayed either way.
    bool Apply(const QString &record);
    QString Text() const;
    // Elements of the solution, and of the element with this id and all it
    // holds (0 when there is none).
    qsizetype ElementCount() const;
    qsizetype ElementsUnder(int id) const;
    // The text as it travels in a "FileDownAck".
    QString PacketText() const;
    CKELDataManager &Manager() { return *m_manager; }

    // Records applied since the replica was made.
    quint64 Sequence() const { return m_sequence; }
    bool IsDirty() const { return m_dirty; }
    void SetClean() { m_dirty = false; }

    QList<CServerConnection *> &Holders() { return m_holders; }

private:
    QString m_name;
    CSilentPrompt m_prompt;
    std::unique_ptr<CKELDataManager> m_manager;
    QList<CServerConnection *> m_holders;
    quint64 m_sequence = 0;
    bool m_dirty = false;
};
