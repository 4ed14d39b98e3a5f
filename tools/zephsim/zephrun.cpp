#include "zephrun.h"

#include <deque>
#include <string>

namespace zephsim {
namespace {

bool isWithin(const Program &p, int node, int ancestor)
{
    for (int n = node; n >= 0; n = p.nodes[size_t(n)].parent) {
        if (n == ancestor)
            return true;
    }
    return false;
}

int revertTarget(const Program &p, int node)
{
    const std::string key = p.nodes[size_t(node)].Key();
    for (int n = p.nodes[size_t(node)].parent; n >= 0; n = p.nodes[size_t(n)].parent) {
        if (p.nodes[size_t(n)].Key() == key)
            return n;
    }
    return -1;
}

int gotoTarget(const Program &p, int node)
{
    const std::string key = p.nodes[size_t(node)].Key();
    for (size_t n = 0; n < p.nodes.size(); ++n) { // nodes are stored in pre-order
        if (int(n) != node && p.nodes[n].Key() == key)
            return int(n);
    }
    return -1;
}

void line(std::ostream &out, const std::string &text)
{
    out << text << '\n' << std::flush; // the caller watches the output while we run
}

} // namespace

long long Run(const Program &program, const RunOptions &options, std::istream &input, std::ostream &out)
{
    if (!options.quiet) {
        line(out, "zephsim: " + std::to_string(program.components.size()) + " component(s), "
                      + std::to_string(program.nodes.size()) + " node(s), at most " + std::to_string(program.maxEvents)
                      + " external event(s)");
    }
    std::deque<int> threads;
    if (!program.nodes.empty())
        threads.push_back(0);
    long long steps = 0;
    long long events = 0;
    std::string stopReason = "no process left";
    while (!threads.empty()) {
        if (steps >= options.stepLimit) {
            stopReason = "step limit reached";
            break;
        }
        if (options.interactive) {
            std::string command;
            if (!std::getline(input, command)) {
                stopReason = "input ended";
                break;
            }
            if (!command.empty() && command.back() == '\r')
                command.pop_back();
            if (command == "q" || command == "quit") {
                stopReason = "stopped by the user";
                break;
            }
        }
        int node = threads.front();
        threads.pop_front();
        ++steps;
        bool limitReached = false;
        for (;;) {
            const Node &n = program.nodes[size_t(node)];
            if (n.kind == "wait" && events >= program.maxEvents) {
                // a limit of 0 lets no event through at all
                limitReached = true;
                break;
            }
            line(out, options.labels && !n.label.empty() ? n.label : n.Describe());
            if (n.kind == "wait" && ++events >= program.maxEvents)
                limitReached = true;
            int next = -1;
            if (n.jump == Node::Revert) {
                if (const int target = revertTarget(program, node); target >= 0) {
                    // the reverted part of the tree stops, then runs again
                    // from the behavior it reverts to
                    std::erase_if(threads, [&](int t) { return isWithin(program, t, target); });
                    for (int c : program.nodes[size_t(target)].children)
                        threads.push_back(c);
                }
            } else if (n.jump == Node::Goto) {
                if (const int target = gotoTarget(program, node); target >= 0) {
                    for (int c : program.nodes[size_t(target)].children)
                        threads.push_back(c);
                }
            } else if (n.atomicChild && n.children.size() == 1) {
                next = n.children.front();
            } else {
                for (int c : n.children)
                    threads.push_back(c);
            }
            if (next < 0 || limitReached)
                break;
            node = next;
        }
        if (limitReached) {
            stopReason = "external event limit reached";
            break;
        }
    }
    if (!options.quiet)
        line(out, "zephsim: " + stopReason + " after " + std::to_string(steps) + " step(s)");
    return steps;
}

} // namespace zephsim
