// SPDX-License-Identifier: GPL-3.0-or-later
// pic14run: runs simulator commands read from standard input, one per line; exits 2 on the first bad line.
#include "Script.h"

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    std::string line;
    for (unsigned lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
        if (std::optional<std::string> error = RunLine(line)) {
            std::fflush(stdout);
            std::fprintf(stderr, "pic14run: line %u: %s: %s\n", lineNumber, error->c_str(), line.c_str());
            return 2;
        }
    }
    return 0;
}
