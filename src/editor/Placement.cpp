// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the placement record in 64-bit numbers: stored corners may lie anywhere in the 32-bit range.
#include "editor/Placement.h"

#include <cstdlib>

std::optional<TNormalRect> DecodeNormalRect(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != 44)
        return std::nullopt;
    auto field = [&bytes](int n) {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(bytes[size_t(n * 4 + i)]) << (8 * i);
        return int64_t(int32_t(v));
    };
    int64_t left = field(7), top = field(8), width = field(9) - left, height = field(10) - top;
    constexpr int64_t kFar = 1000000;
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000 || std::llabs(left) > kFar ||
        std::llabs(top) > kFar)
        return std::nullopt;
    return TNormalRect{int(left), int(top), int(width), int(height)};
}
