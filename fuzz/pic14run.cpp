// SPDX-License-Identifier: GPL-3.0-or-later
// pic14run's script reader on any script: every line is taken or refused with a reason. Runs of steps are
// kept short, so an input is judged by what it does, not by how long it asks to run.
#include "../tools/pic14run/Script.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(script, line);) {
        std::istringstream words(line);
        std::string command, count;
        words >> command >> count;
        if ((command == "step" || command == "bench") && count.size() > 3)
            continue;
        (void)RunLine(line);
    }
    return 0;
}
