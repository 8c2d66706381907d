// SPDX-License-Identifier: GPL-3.0-or-later
// The placement decoder on any bytes: no overflow, and a rectangle it accepts is within its bounds.
#include "editor/Placement.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (auto rect = DecodeNormalRect(std::vector<uint8_t>(data, data + size)))
        if (rect->width <= 0 || rect->height <= 0 || rect->width > 20000 || rect->height > 20000)
            std::abort();
    return 0;
}
