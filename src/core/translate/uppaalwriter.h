#pragma once

#include <QString>

class CBehaviorModel;
class CTranslateContext;

// Writes a translated tree as an UPPAAL network in the flat-system 1.1
// format: the declarations, an environment template "env" that offers the
// external messages, one template per thread and the system line; with
// properties, the flat-system 1.2 format and its queries. The edges are the
// steps of the tree's executable form, so that UPPAAL checks what the other
// writers and the simulator run.
class CUppaalWriter
{
public:
    static QString Write(const CTranslateContext &ctx, const CBehaviorModel &form);
    // The document type line's identifiers.
    static QString DocType();
    // With properties the network carries queries, which the 1.2 format holds.
    static QString DocTypeWithQueries();
};
