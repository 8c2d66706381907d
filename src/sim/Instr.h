// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions RETLW, RETURN, RLF and RRF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Retlw();
void Return();
void RlfToW();
void RlfToF();
void RrfToW();
void RrfToF();

namespace op {

// Steps SP back round the ring first, so a return with nothing pushed takes Stack[7].
template <class S>
inline void PopReturnAddress(S& s) {
    s.SP = (s.SP - 1) & kStackSlotMask;
    s.PC = PicState.Stack[s.SP];
}

template <class S>
inline void Retlw(S& s, uint16_t word) {
    CountCycles(s, 2);
    s.W = Literal8(word);
    PopReturnAddress(s);
}

template <class S>
inline void Return(S& s, uint16_t /*word*/) {
    CountCycles(s, 2);
    PopReturnAddress(s);
}

// The old C goes in, the bit shifted out becomes C; Z and DC stay.
template <Dest D, class S>
inline void Rlf(S& s, uint16_t word) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    const uint8_t value = ReadReg(f);
    const uint8_t r = static_cast<uint8_t>((value << 1) | (s.Flags & kC));
    SetFlags(s, kC, value >> 7);
    StoreResult<D>(s, f, r);
    NextWord(s);
}

template <Dest D, class S>
inline void Rrf(S& s, uint16_t word) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    const uint8_t value = ReadReg(f);
    const uint8_t r = static_cast<uint8_t>((s.Flags & kC) << 7 | value >> 1);
    SetFlags(s, kC, value & 0x01);
    StoreResult<D>(s, f, r);
    NextWord(s);
}

}  // namespace op
}  // namespace sim
