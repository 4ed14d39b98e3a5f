#pragma once

#include <istream>
#include <string>
#include <vector>

namespace zephsim {

// One node of a simulated behavior tree, as the program spells it.
struct Node
{
    enum Jump { None, Revert, Goto };

    std::string label;     // from inf(nodeInfo("..."), ...); may be empty
    std::string kind;      // sr, sel, wait, gd, or empty for a node without behavior
    std::string component; // for wait: the whole event name "C-E"
    std::string behavior;
    Jump jump = None;
    int parent = -1;
    bool atomicChild = false; // its only child runs in the same step
    std::vector<int> children;

    // What revert and goto compare: the behavior without label and jump.
    std::string Key() const { return kind + '\x1f' + component + '\x1f' + behavior; }
    // Component and behavior in tree notation, e.g. Door[open], Bell??ring??.
    std::string Describe() const;
};

struct Program
{
    std::vector<std::string> components;
    long long maxEvents = 0;
    std::vector<Node> nodes; // nodes[0] is the root when not empty
};

struct ParseError
{
    std::string message;
    int line = 0;
    int column = 0;
};

// Reads exactly the three blocks of a program from in, character by
// character, and no further: what follows is the simulator's input.
// Returns false when in ends before the third block closes.
bool ReadProgramText(std::istream &in, std::string &text);

// Parses the text of a program; false with error filled on a fault.
bool Parse(const std::string &text, Program &program, ParseError &error);

} // namespace zephsim
