// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions SUBLW, SUBWF and SWAPF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Sublw();
void SubwfToW();
void SubwfToF();
void SwapfToW();
void SwapfToF();

namespace op {

// Sets C, DC and Z of minuend - W and returns the 8-bit difference. C and DC mean "no borrow".
template <class S>
inline uint8_t SubtractW(S& s, uint8_t minuend) {
    const uint8_t w = s.W;
    const uint8_t r = static_cast<uint8_t>(minuend - w);
    const uint8_t carry = minuend >= w ? kC : 0;
    const uint8_t digitCarry = (minuend & 0x0F) >= (w & 0x0F) ? kDC : 0;
    SetFlags(s, kC | kDC | kZ, carry | digitCarry | ZeroFlag(r));
    return r;
}

template <class S>
inline void Sublw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W = SubtractW(s, Literal8(word));
    NextWord(s);
}

template <Dest D, class S>
inline void Subwf(S& s, uint16_t word) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    StoreResult<D>(s, f, SubtractW(s, ReadReg(f)));
    NextWord(s);
}

template <Dest D, class S>
inline void Swapf(S& s, uint16_t word) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    const uint8_t value = ReadReg(f);
    StoreResult<D>(s, f, static_cast<uint8_t>((value & 0x0F) << 4 | value >> 4));
    NextWord(s);
}

}  // namespace op
}  // namespace sim
