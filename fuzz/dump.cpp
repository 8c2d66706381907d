// SPDX-License-Identifier: GPL-3.0-or-later
// gpsim's memory dumps on any bytes: every cell read is a byte or "none", the grid stays within the
// addresses a row can name, the RAM read by "x" is the grid "dump" reads from the same text, and program
// memory read from "romData" is 14-bit words within 8K.
#include "gpsim/GpsimAnswers.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<int> cells = ParseDump(text);
    if (cells.size() > 0x10000 + 16)
        std::abort();
    for (int cell : cells)
        if (cell < -1 || cell > 0xFF)
            std::abort();
    if (auto examine = ParseExamine(text); examine && examine->memory != cells)
        std::abort();
    std::vector<uint16_t> words = ParseProgramMemory(text);
    if (words.size() > kMaxProgramWords)
        std::abort();
    for (uint16_t word : words)
        if (word > 0x3FFF)
            std::abort();
    return 0;
}
