#pragma once

#include <QString>

class CTranslateContext;

// Writes a translated tree as an UPPAAL network in the flat-system 1.1
// format: the declarations, an environment template "env" that offers the
// external messages, one template per thread and the system line.
class CUppaalWriter
{
public:
    static QString Write(const CTranslateContext &ctx);
    // The document type line's identifiers.
    static QString DocType();
    static QString ClockName() { return QStringLiteral("globalClock"); }
};
