#pragma once

class CTranslateContext;

// A tree made up for trying the translation on trees of any size: it holds
// sequences of mixed behavior types, concurrent and alternative branching,
// reversions, go-tos and branch kills, all of which translate without error.
// Components are named c0, c1, ... and states s0, s1, ...
class CRandomTree
{
public:
    struct Figures
    {
        int nodes = 0;
        int branches = 0;
        int reversions = 0;
        int macros = 0;
        int threadKills = 0;
    };
    // Adds about `iterations` nodes to an empty context, in pre-order.
    // A seed of 0 makes a different tree on every call. maxThreads above 0
    // stops branching once another branching could run more threads than
    // that, so that a large tree stays small enough to explore; without it
    // a seed gives the same tree as before.
    // blocking false turns selections and guards into state realisations:
    // a tree that never waits for a state, as a measurement of speed wants.
    static Figures Generate(CTranslateContext &ctx, int iterations, unsigned seed, int maxThreads = 0,
                            bool blocking = true);
};
