// SPDX-License-Identifier: GPL-3.0-or-later
// Per-address write handlers of the special registers.
#pragma once

#include "sim/Simiord.h"

#include <array>
#include <cstdint>

namespace sim {

using RegWriteHandler = void (*)(uint8_t value);

// Defined for all 512 addresses; each touches at most the one byte that kHandlerCell names.
extern const std::array<RegWriteHandler, kRegCount> RegWriteHandlers;

}  // namespace sim
