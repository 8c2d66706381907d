// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions XORLW and XORWF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Xorlw();
void XorwfToW();
void XorwfToF();

namespace op {

template <class S>
inline void Xorlw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W ^= Literal8(word);
    SetZ(s, s.W);
    NextWord(s);
}

template <Dest D, class S>
inline void Xorwf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [&s](uint8_t value) { return static_cast<uint8_t>(s.W ^ value); });
}

}  // namespace op
}  // namespace sim
