#pragma once

// --help and --version for the small stand-in programs, printed in the same
// layout as the Qt programs of Verdantis print theirs, so that every program
// answers the same two questions the same way.

#include <cstring>
#include <iostream>

namespace toolinfo {

struct Info
{
    const char *name;        // the program's name, "verdantis-setparser"
    const char *arguments;   // after "[options]" in the usage line
    const char *description; // one or more lines, each ending in '\n'
    const char *options;     // further option lines, each ending in '\n', or ""
};

inline void PrintHelp(const Info &info, std::ostream &out)
{
    out << "Usage: " << info.name << " [options]" << (*info.arguments ? " " : "") << info.arguments << '\n'
        << info.description << "\nOptions:\n"
        << "  -h, --help     Displays help on commandline options.\n"
        << "  -v, --version  Displays version information.\n"
        << info.options;
}

// Answers --help or --version given as the first argument; true when it did,
// and the program should end with exit code 0.
inline bool Answered(const Info &info, int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const char *first = argv[1];
    if (std::strcmp(first, "-h") == 0 || std::strcmp(first, "--help") == 0) {
        PrintHelp(info, std::cout);
        return true;
    }
    if (std::strcmp(first, "-v") == 0 || std::strcmp(first, "--version") == 0) {
        std::cout << info.name << ' ' << VERDANTIS_VERSION << '\n';
        return true;
    }
    return false;
}

} // namespace toolinfo
