#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// A set expression as the set parser returned it.
struct CSetExpression
{
    QStringList keywords; // operation keywords in their long form: "union", "attribute", "membership", ...
    QString attribute;    // the attribute an assignment changes
    QStringList names;    // set operands, in order
    QStringList values;   // elements
    QString comparison;   // "LessThan", ... for a cardinality test
    QString number;       // the bound of a cardinality test
    QString error;        // why the parser refused the expression
    bool negated = false;

    bool Has(const QString &keyword) const { return keywords.contains(keyword); }
    // The long form of an operation keyword, or empty when the word is none.
    static QString OperationKeyword(const QString &word);
    static bool IsComparison(const QString &word);
};

// One node of the tree being translated, numbered in pre-order from 1.
struct CTranslateNode
{
    int number = 0;
    int elementId = 0; // the model's node, 0 for a generated tree
    QString component;
    QString state; // the behavior text
    QString qualifier;
    QList<int> children;
    int behaviorType = 1;
    int jumpType = 0;   // 0 normal, 1 reversion, 2 go to
    int atomicKind = 1; // 1 not atomic, 2 atomic
    int siblings = 0;
    int parent = 0;
    bool visited = false;
    bool nonDet = false;
    bool setOp = false;
    bool atomic = false;

    // Where the node runs: its thread and that thread's program counter.
    int thread = 0;
    int pc = 0;
    bool initBlock = false;
    bool threadStart = false; // first node of a branch
    int blockLast = 0;        // the last node of the step this node starts
    int firstThreadBelow = 0; // threads started in the subtree, excluding the node's own
    int lastThreadBelow = -1;
    QList<int> disableThreads; // first step of an alternative: the other alternatives' threads

    std::unique_ptr<CSetExpression> setExpression;

    bool IsLeaf() const { return children.isEmpty(); }
    bool IsKill() const { return qualifier == QStringLiteral("--"); }
    // The first node of a step: it starts a thread or has a counter value of its own.
    bool IsStepHead() const { return !initBlock && (threadStart || !atomic); }
};

// A recognised pattern: the node that starts it, the rule that made it and
// what the rule found out about it.
struct CTranslateStep
{
    int firstNode = 0;
    int rule = 0;
    QList<int> block; // the first node and the atomic nodes after it
    int target = 0;   // reversion or go to: the node jumped to
    QList<int> killThreads;
};

// What one node does when its step runs, worked out once per translation.
struct CNodeAction
{
    enum Kind {
        None,
        AssignState,
        AssignAttribute,
        Increment,
        Decrement,
        TestState,
        TestAttribute,
        ExternalInput,
        ExternalOutput,
        InternalInput,
        InternalOutput,
        SetAssignment,
        SetGuard,
    };
    Kind kind = None;
    QString variable;          // state, attribute, set or message variable
    QString value;             // state or attribute value
    QString op;                // comparison of an attribute test, SAL spelling: = /= < > <= >=
    int component = -1;        // state kinds: index into the component list
    qsizetype valueIndex = -1; // state kinds: the value's place among the component's states
    bool negated = false;
    QString setText;      // SAL text of a set assignment or guard
    QList<int> receivers; // internal output: the matching input nodes

    bool ConsumesExternal() const { return kind == ExternalInput; }
    bool ConsumesInternal() const { return kind == InternalInput; }
};
