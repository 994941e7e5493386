// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a settings file with the program's own reader and says whether it is
// whole: every line parses and the key is there. Prints the names of the
// key's values, one a line, and exits 0; else prints the first problem (line
// and reason) to stderr and exits 1.
//   regcheck <settings file> <key path>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/regfile.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: regcheck <settings file> <key path>\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const chronivel::RegFileParse parse = chronivel::ParseRegFile(bytes, argv[2]);
    if (parse.problem) {
        std::fprintf(stderr, "%s: line %d: %s\n", argv[1], parse.problem->line, parse.problem->reason.c_str());
        return 1;
    }
    if (!parse.keyFound) {
        std::fprintf(stderr, "%s: no key %s\n", argv[1], argv[2]);
        return 1;
    }
    for (const auto& [name, value] : parse.values) std::printf("%s\n", name.c_str());
    return 0;
}
