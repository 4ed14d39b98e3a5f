// zephsim: a small stand-in for a ZEPH simulator. It reads a program from
// standard input and reports its steps on standard output, one line each.
#include "zephprogram.h"
#include "zephrun.h"
#include "toolinfo.h"

#include <cstring>
#include <iostream>

namespace {

const toolinfo::Info info{"zephsim", "[-i] [-I] [-v-] < PROGRAM",
                          "Runs a ZEPH program read from standard input and prints one line per step.\n"
                          "It only walks the program's tree: it keeps no component states or\n"
                          "attribute values, does not block on selections or guards, runs every\n"
                          "branch of an alternative, and takes every external event as given.\n"
                          "It stops after the program's maximum number of external events (0: none).\n"
                          "For a simulation that tracks state, use: verdantis-cli simulate FILE TREE\n",
                          "  -i             Interaction mode: read a line from standard input before\n"
                          "                 each step (\"q\" ends the run).\n"
                          "  -I             Report each step by the label of its node, where the\n"
                          "                 program has one.\n"
                          "  -v-            Verbose off: print the steps only.\n"};

void usage(std::ostream &out)
{
    toolinfo::PrintHelp(info, out);
}

} // namespace

int main(int argc, char *argv[])
{
    zephsim::RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0) {
            options.interactive = true;
        } else if (std::strcmp(argv[i], "-I") == 0) {
            options.labels = true;
        } else if (std::strcmp(argv[i], "-v-") == 0) {
            options.quiet = true;
        } else if (i == 1 && toolinfo::Answered(info, argc, argv)) {
            return 0;
        } else {
            std::cerr << "zephsim: unknown option " << argv[i] << '\n';
            usage(std::cerr);
            return 1;
        }
    }

    std::string text;
    if (!zephsim::ReadProgramText(std::cin, text)) {
        std::cerr << "zephsim: the program ended before its third block\n";
        return 2;
    }
    zephsim::Program program;
    zephsim::ParseError error;
    if (!zephsim::Parse(text, program, error)) {
        std::cerr << "zephsim: ";
        if (error.line > 0)
            std::cerr << "line " << error.line << ", column " << error.column << ": ";
        std::cerr << error.message << '\n';
        return 2;
    }
    zephsim::Run(program, options, std::cin, std::cout);
    return 0;
}
