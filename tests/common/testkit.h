#pragma once

// Small helpers every kind of test uses; one copy of each.

#include "model/operationrecord.h"

#include <QStringList>
#include <QtGlobal>

namespace TestKit {

// A positive whole number from the environment, or fallback: the size knobs
// of the fault, soak and deep runs (scripts/faults.sh sets them larger).
inline int EnvNumber(const char *name, int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
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
