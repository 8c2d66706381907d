// SPDX-License-Identifier: GPL-3.0-or-later
// What the instructions share: operand masks, the destination store, flag updates, PC advance.
//
// Each instruction is written once, as an inline function over a state S: PicState itself for the handlers
// of DecodeTable (one instruction per call), or RunSteps' copy of W, Flags, SP, PC and Cycles in locals.
// Program memory, the stack and the register file are always PicState's.
#pragma once

#include "sim/Filerw.h"
#include "sim/Pic14.h"

#include <cstdint>

namespace sim {

enum class Dest { W, F };

namespace op {

inline uint8_t FileOperand(uint16_t word) {
    return word & 0x7F;
}
inline uint8_t Literal8(uint16_t word) {
    return word & 0xFF;
}
inline uint16_t Literal11(uint16_t word) {
    return word & 0x7FF;
}

template <Dest D, class S>
inline void StoreResult(S& s, uint8_t f, uint8_t r) {
    if constexpr (D == Dest::W)
        s.W = r;
    else
        WriteReg(f, r);
}

// Replaces the flags in mask with those in value; every other bit of Flags stays.
template <class S>
inline void SetFlags(S& s, uint8_t mask, uint8_t value) {
    s.Flags = static_cast<uint8_t>((s.Flags & ~mask) | (value & mask));
}

inline uint8_t ZeroFlag(uint8_t r) {
    return r == 0 ? kZ : 0;
}
template <class S>
inline void SetZ(S& s, uint8_t r) {
    SetFlags(s, kZ, ZeroFlag(r));
}

template <class S>
inline void CountCycles(S& s, uint32_t cycles) {
    s.Cycles += cycles;
}
template <class S>
inline void NextWord(S& s) {
    ++s.PC;
}

// DECFSZ and INCFSZ: a taken skip costs one more cycle and passes over one word.
template <class S>
inline void SkipWhenZero(S& s, uint8_t r) {
    const unsigned skip = r == 0 ? 1 : 0;
    s.Cycles += 1 + skip;
    s.PC += 1 + skip;
}

// Bits 4..3 of PCLATH become bits 12..11 of a CALL or GOTO target.
inline uint16_t JumpTarget(uint16_t word) {
    return static_cast<uint16_t>(((PicState.Regs[kPclathCell].Value << 8) & 0x1800) | Literal11(word));
}

// The common shape of a register-oriented instruction that sets Z: f op W (or f alone) to W or f.
template <Dest D, class S, class Compute>
inline void RegisterOpWithZ(S& s, uint16_t word, Compute compute) {
    CountCycles(s, 1);
    const uint8_t f = FileOperand(word);
    const uint8_t r = compute(ReadReg(f));
    SetZ(s, r);
    StoreResult<D>(s, f, r);
    NextWord(s);
}

}  // namespace op
}  // namespace sim
