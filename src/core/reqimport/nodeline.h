#pragma once

#include <QString>

// One line of the nodes text: TAG:COMPONENT followed by the behavior in
// the brackets of its kind, e.g. R1:Door[open] or R1:Door???closed???.
struct CNodeLine
{
    QString tag;
    QString component;
    QString behavior;
    int kind = 0;

    // The line for a behavior of kind 1 to 6, with its line feed.
    static QString Build(const QString &tag, const QString &component, const QString &behavior, int kind);
    // Reads a line leniently: without ":" the tag is empty, without a
    // decoration the kind is defaultKind.
    static CNodeLine Parse(QStringView line, int defaultKind);

    bool operator==(const CNodeLine &) const = default;
};
