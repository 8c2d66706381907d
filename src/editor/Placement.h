// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window's stored placement record, read without Qt: a reader of outside bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct TNormalRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The normal rectangle of a 44-byte placement record (length, flags, show command, minimised and maximised
// positions, then left, top, right, bottom; little-endian 32-bit numbers), computed in wide numbers. None
// when the record is damaged, empty or absurd (over 20,000 pixels, or a million pixels away).
std::optional<TNormalRect> DecodeNormalRect(const std::vector<uint8_t>& bytes);
