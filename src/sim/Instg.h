// SPDX-License-Identifier: GPL-3.0-or-later
// Instruction GOTO.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Goto();

namespace op {

template <class S>
inline void Goto(S& s, uint16_t word) {
    CountCycles(s, 2);
    s.PC = JumpTarget(word);
}

}  // namespace op
}  // namespace sim
