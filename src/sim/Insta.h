// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions ADDLW, ADDWF and ANDLW, ANDWF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Addlw();
void AddwfToW();
void AddwfToF();
void Andlw();
void AndwfToW();
void AndwfToF();

namespace op {

// Sets C, DC and Z of a + b and returns the 8-bit sum.
template <class S>
inline uint8_t Add(S& s, uint8_t a, uint8_t b) {
    const unsigned sum = a + b;
    const uint8_t r = static_cast<uint8_t>(sum);
    const uint8_t carry = sum > 0xFF ? kC : 0;
    const uint8_t digitCarry = (a & 0x0F) + (b & 0x0F) > 0x0F ? kDC : 0;
    SetFlags(s, kC | kDC | kZ, carry | digitCarry | ZeroFlag(r));
    return r;
}

template <class S>
inline void Addlw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W = Add(s, s.W, Literal8(word));
    NextWord(s);
}

template <Dest D, class S>
inline void Addwf(S& s, uint16_t word) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    StoreResult<D>(s, f, Add(s, s.W, ReadReg(f)));
    NextWord(s);
}

template <class S>
inline void Andlw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W &= Literal8(word);
    SetZ(s, s.W);
    NextWord(s);
}

template <Dest D, class S>
inline void Andwf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [&s](uint8_t value) { return static_cast<uint8_t>(s.W & value); });
}

}  // namespace op
}  // namespace sim
