#pragma once

// Small helpers every kind of test uses; one copy of each.

#include "model/keldatamanager.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"

#include <QFile>
#include <QStringList>
#include <QtGlobal>

// The tests' one key to writable elements, for setting up a case that no
// command builds (a damaged model, a field no dialog sets). Programs cannot
// name it: it is defined here alone.
class CTestEditAccess
{
public:
    static CEditAccess Key() { return CEditAccess(); }
};

namespace TestKit {

// The writable element behind a const one.
template<class T> T *Mutable(const T *element)
{
    return CKELDataManager::Mutable(element, CTestEditAccess::Key());
}

inline CEditAccess EditKey()
{
    return CTestEditAccess::Key();
}

// A positive whole number from the environment, or fallback: the size knobs
// of the fault, soak and deep runs (scripts/faults.sh sets them larger).
inline int EnvNumber(const char *name, int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

// A file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A node's fields as a user types them in the node dialog.
inline CNodeAttributes Node(const QString &component, const QString &behavior, int type = 1,
                            const QString &tag = QStringLiteral("R1"))
{
    CNodeAttributes a;
    a.component = component;
    a.behavior = behavior;
    a.behaviorType = type;
    a.requirementTag = tag;
    return a;
}

// Stands in for the collaboration client of a shared solution: keeps the
// records that would be sent instead of applying them.
class CRecordingSink : public COperationSink
{
public:
    QStringList sent;
    bool SendOperation(const QString &record) override
    {
        sent.append(record);
        return true;
    }
};

} // namespace TestKit
