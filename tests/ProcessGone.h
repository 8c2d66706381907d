// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a process has ended, for tests of what outlives what.
#pragma once

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

// True once the process has gone or only waits to be reaped, within `boundMs`: a kill is delivered at once,
// but not in the same instant.
inline bool ProcessGone(long long pid, int boundMs = 2000) {
    for (int waited = 0;; waited += 10) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        size_t close = text.rfind(')');
        if (!stat || close == std::string::npos || text.substr(close + 2, 1) == "Z")
            return true;
        if (waited >= boundMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
