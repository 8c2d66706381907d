// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions MOVLW, MOVF, MOVWF and NOP.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Movlw();
void MovfToW();
void MovfToF();
void Movwf();
void Nop();

namespace op {

// Bits 9..8 of the word are ignored: all four forms load the low byte.
template <class S>
inline void Movlw(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W = Literal8(word);
    NextWord(s);
}

template <class S>
inline void MovfToW(S& s, uint16_t word) {
    CountCycles(s, 1);
    s.W = ReadReg(FileOperand(word));
    SetZ(s, s.W);
    NextWord(s);
}

// A test of the register: it is read for Z and not written back.
template <class S>
inline void MovfToF(S& s, uint16_t word) {
    CountCycles(s, 1);
    SetZ(s, ReadReg(FileOperand(word)));
    NextWord(s);
}

template <class S>
inline void Movwf(S& s, uint16_t word) {
    CountCycles(s, 1);
    WriteReg(FileOperand(word), s.W);
    NextWord(s);
}

template <class S>
inline void Nop(S& s, uint16_t /*word*/) {
    CountCycles(s, 1);
    NextWord(s);
}

}  // namespace op
}  // namespace sim
