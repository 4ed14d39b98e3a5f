#pragma once

#include "semantics/behaviormodel.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

struct CVerifyOptions
{
    qint64 maxStates = 1000000;
    int timeoutSeconds = 600;
    QString property; // in the tree's own names; empty for none
    QString spin = QStringLiteral("spin");
    QString compiler = QStringLiteral("gcc");
    const std::atomic_bool *cancel = nullptr;
    std::function<void(qint64 states)> progress;
};

// What Spin found, in the form's node and step indexes.
struct CVerifyReport
{
    enum Outcome { Finished, PropertyError, ToolMissing, LimitReached, Cancelled, ToolFailed };
    Outcome outcome = Finished;
    QString message; // why it did not finish, in the user's words
    bool deadlock = false;
    QList<int> deadlockSteps;
    QList<int> unreachable; // node indexes
    qint64 states = 0;
    bool complete = false;
    bool propertyChecked = false;
    bool propertyViolated = false;
    QList<int> propertySteps;
    double seconds = 0;
    double verifierMegabytes = 0; // what the generated verifier reported using

    bool FoundSomething() const { return deadlock || !unreachable.isEmpty() || propertyViolated; }
};

// The nodes a run of steps passes, in order.
QList<int> TrailNodes(const CBehaviorModel &model, const QList<int> &steps);

// Writes the model as Promela, runs spin, the compiler and the generated
// verifier in a scratch folder that is removed afterwards, and reads back
// deadlock, unreachable steps and their shortest trails. Nothing it starts
// outlives the call.
CVerifyReport RunSpinVerification(const CBehaviorModel &model, const CVerifyOptions &options);
