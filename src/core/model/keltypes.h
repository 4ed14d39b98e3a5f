#pragma once

#include <QByteArrayView>
#include <QString>

// Kinds of model elements. The value is what an element reports as its type
// code; the factory takes the same numbers except for a node, which is
// created under 14 (13 belongs to a "Methods" folder that was never built).
namespace KEL {

enum TypeCode : int {
    Solution = 1,
    Project = 2,
    Version = 3,
    Requirements = 4,
    Requirement = 5,
    Components = 6,
    Component = 7,
    State = 8,
    RBTs = 9,
    RBT = 10,
    DBTs = 11,
    DBT = 12,
    Method = 13,
    CBTs = 15,
    CBT = 16,
    CIN = 17,
    CIDs = 18,
    CID = 19,
    EVTs = 20,
    EVT = 21,
    Link = 100,
};

// Element ids: a file may hold ids up to MaxElementId. No edit that makes
// elements starts once the id counter has reached NewIdsEnd; the gap is far
// more than one edit can make, so ids never pass MaxElementId nor wrap.
inline constexpr int MaxElementId = 2'000'000'000;
inline constexpr int NewIdsEnd = MaxElementId - 100'000'000;

inline constexpr int FactoryMethods = 13; // reserved, creates nothing
inline constexpr int FactoryMethod = 14;

// The factory code for a record's type name, or 0 when the record is skipped.
int FactoryCodeForTypeName(QStringView typeName);
int FactoryCodeForTypeName(QByteArrayView typeName);

// Behavior types of states and nodes.
enum BehaviorType : int {
    StateRealisation = 1,
    Selection = 2,
    Event = 3,
    Guard = 4,
    ExternalInput = 5,
    ExternalOutput = 6,
    InternalInput = 7,
    InternalOutput = 8,
    SetAll = 9,
    SetAny = 10,
};
inline constexpr int BehaviorTypeCount = 10;

QString OpeningBracket(int behaviorType);
QString ClosingBracket(int behaviorType);
QString Decorate(const QString &behavior, int behaviorType);
// The entries of a behavior type chooser: brackets around "...", codes 1..10.
QString BehaviorTypeDisplay(int behaviorType);

} // namespace KEL
