// What the instruction handlers share: operand masks, the destination store, flag updates, PC advance.
#pragma once

#include "sim/Filerw.h"
#include "sim/Pic14.h"

#include <cstdint>

namespace sim {

enum class Dest { W, F };

inline uint8_t FileOperand() {
    return CurrentWord() & 0x7F;
}
inline uint8_t Literal8() {
    return CurrentWord() & 0xFF;
}
inline uint16_t Literal11() {
    return CurrentWord() & 0x7FF;
}

template <Dest D>
inline void StoreResult(uint8_t f, uint8_t r) {
    if constexpr (D == Dest::W)
        PicState.W = r;
    else
        WriteReg(f, r);
}

// Replaces the flags in mask with those in value; every other bit of Flags stays.
inline void SetFlags(uint8_t mask, uint8_t value) {
    PicState.Flags = static_cast<uint8_t>((PicState.Flags & ~mask) | (value & mask));
}

inline uint8_t ZeroFlag(uint8_t r) {
    return r == 0 ? kZ : 0;
}
inline void SetZ(uint8_t r) {
    SetFlags(kZ, ZeroFlag(r));
}

inline void CountCycles(uint32_t cycles) {
    PicState.Cycles += cycles;
}
inline void NextWord() {
    ++PicState.PC;
}

// DECFSZ and INCFSZ: a taken skip costs one more cycle and passes over one word.
inline void SkipWhenZero(uint8_t r) {
    const unsigned skip = r == 0 ? 1 : 0;
    PicState.Cycles += 1 + skip;
    PicState.PC += 1 + skip;
}

// Bits 4..3 of PCLATH become bits 12..11 of a CALL or GOTO target.
inline uint16_t JumpTarget() {
    return static_cast<uint16_t>(((PicState.Regs[kPclathCell].Value << 8) & 0x1800) | Literal11());
}

}  // namespace sim
