// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions DECF and DECFSZ.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void DecfToW();
void DecfToF();
void DecfszToW();
void DecfszToF();

namespace op {

template <Dest D, class S>
inline void Decf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [](uint8_t value) { return static_cast<uint8_t>(value - 1); });
}

// Changes no flag; the result is stored before the skip.
template <Dest D, class S>
inline void Decfsz(S& s, uint16_t word) {
    const uint8_t f = FileOperand(word);
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) - 1);
    StoreResult<D>(s, f, r);
    SkipWhenZero(s, r);
}

}  // namespace op
}  // namespace sim
