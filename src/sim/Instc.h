// SPDX-License-Identifier: GPL-3.0-or-later
// Instructions CALL, CLRF and COMF.
#pragma once

#include "sim/InstFrame.h"

namespace sim {

void Call();
void Clrf();
void ComfToW();
void ComfToF();

namespace op {

// A ninth nested CALL overwrites the oldest return address: the stack is a ring.
template <class S>
inline void Call(S& s, uint16_t word) {
    CountCycles(s, 2);
    PicState.Stack[s.SP & kStackSlotMask] = static_cast<uint16_t>(s.PC + 1);
    s.SP = (s.SP + 1) & kStackSlotMask;
    s.PC = JumpTarget(word);
}

template <class S>
inline void Clrf(S& s, uint16_t word) {
    CountCycles(s, 1);
    WriteReg(FileOperand(word), 0x00);
    SetFlags(s, kZ, kZ);
    NextWord(s);
}

template <Dest D, class S>
inline void Comf(S& s, uint16_t word) {
    RegisterOpWithZ<D>(s, word, [](uint8_t value) { return static_cast<uint8_t>(~value); });
}

}  // namespace op
}  // namespace sim
