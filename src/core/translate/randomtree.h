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
    // turns concurrent branching into alternatives once the branches so far
    // would run that many threads, so that a large tree stays small enough
    // to explore; the same seed gives the same tree up to that point.
    static Figures Generate(CTranslateContext &ctx, int iterations, unsigned seed, int maxThreads = 0);
};
