#pragma once

#include "zephprogram.h"

#include <istream>
#include <ostream>

namespace zephsim {

struct RunOptions
{
    bool interactive = false; // -i: wait for an input line before each step
    bool labels = false;      // -I: report a step by its node's label
    bool quiet = false;       // -v-: steps only, no remarks
    long long stepLimit = 10000;
};

// Walks the program: one step runs one node (and, in the same step, the
// chain of atomic children below it); parallel branches take turns; revert
// goes back to the nearest ancestor with the same behavior, goto to the
// first node with it; every wait is an external event, and the run stops
// when their bound is reached. Each step prints a line per node it runs.
// Returns the number of steps run.
long long Run(const Program &program, const RunOptions &options, std::istream &input, std::ostream &out);

} // namespace zephsim
