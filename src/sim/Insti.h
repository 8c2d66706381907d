// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions INCF, INCFSZ, IORLW and IORWF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void IncfToW();
void IncfToF();
void IncfszToW();
void IncfszToF();
void Iorlw();
void IorwfToW();
void IorwfToF();

namespace op {

template <Dest D, class S>
inline void Incf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [](uint8_t value) { return static_cast<uint8_t>(value + 1); });
}

// Changes no flag; the result is stored before the skip.
template <Dest D, class S>
inline void Incfsz(S& s, uint16_t word) {
    const uint8_t f = FileOperand(word);
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) + 1);
    StoreResult<D>(s, f, r);
    SkipWhenZero(s, r);
}

template <class S>
inline void Iorlw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W |= Literal8(word);
    SetZ(s, s.W);
    NextWord(s);
}

template <Dest D, class S>
inline void Iorwf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [&s](uint8_t value) { return static_cast<uint8_t>(s.W | value); });
}

}  // namespace op
}  // namespace sim
