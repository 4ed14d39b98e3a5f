#pragma once

#include <QList>
#include <QString>

// Builds one operation record: the kind, then key:value; fields in the
// order they are added. Text values use the packet-safe escape.
class COperationRecord
{
public:
    explicit COperationRecord(QStringView kind);

    COperationRecord &Text(QStringView key, const QString &value);
    COperationRecord &Int(QStringView key, int value);
    COperationRecord &Flag(QStringView key, bool value);
    COperationRecord &IntList(QStringView key, const QList<int> &values);
    // Fields already in record form ("key:value;key:value;").
    COperationRecord &Fields(const QString &fields);

    const QString &ToString() const { return m_text; }

private:
    QString m_text;
};

// Where a shared solution's edits go instead of into the model: the
// collaboration client sends them, and applies them when they come back.
class COperationSink
{
public:
    virtual ~COperationSink() = default;
    // False when the record could not be sent (for example, not logged in).
    virtual bool SendOperation(const QString &record) = 0;
};
