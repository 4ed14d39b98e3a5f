#pragma once

#include "semantics/behaviormodel.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The executable form as a Promela model for Spin: one process whose loop
// offers every step as an atomic option, written one step a line so that a
// trail's line numbers name the steps it took.
struct CPromelaModel
{
    QString text;
    QHash<int, int> stepOfLine; // line number (from 1) to step index
    int endLine = 0;            // the option taken when every thread has ended
};

class CPromelaWriter
{
public:
    // property: a linear temporal logic formula already in Promela names,
    // empty for none.
    static CPromelaModel Write(const CBehaviorModel &model, const QString &property = QString());
    // The variables' names in the model: the translators' identifiers,
    // kept clear of Promela's and C's words. One function, so that the
    // model and a user's property name every variable alike.
    static QStringList VariableNames(const CBehaviorModel &model);
    static QString VariableName(const CBehaviorModel &model, int variable);
    // A property over the tree's own names ("DOOR == open") in Promela
    // names; empty and a reason when a name is unknown.
    static QString MapProperty(const CBehaviorModel &model, const QString &formula, QString *error);
};
