// SPDX-License-Identifier: GPL-3.0-or-later
// The processor header reader on any text: registers come out by address, one each, and their bits read
// with any value.
#include "gpsim/ProcessorHeader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto registers = ReadSpecialRegisters(std::string_view(reinterpret_cast<const char*>(data), size));
    for (size_t i = 0; i < registers.size(); ++i) {
        if (i > 0 && registers[i - 1].address >= registers[i].address)
            std::abort();
        if (registers[i].name.empty() || registers[i].name.size() > size)
            std::abort();
        for (int value : {-1, 0, 0x5A, 0xFF})
            if (BitsText(registers[i], value).size() > 8 * (size + 3))
                std::abort();
    }
    return 0;
}
