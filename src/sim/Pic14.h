// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated 14-bit-core PIC: its one global state record, the reset and the step entry.
#pragma once

#include <array>
#include <cstdint>

namespace sim {

enum RegKind : uint8_t { rkUnimplemented = 0, rkMemory = 1, rkSpecial = 2 };

struct RegCell {
    uint8_t Value;
    RegKind Kind;

    bool operator==(const RegCell&) const = default;
};
static_assert(sizeof(RegCell) == 2, "a cell is its value byte followed by its kind byte");

struct TPicState {
    uint8_t W;
    uint8_t Flags;  // bit 0 C, bit 4 DC, bit 6 Z; not the STATUS cell
    uint8_t SP;     // the slot the next CALL writes, 0..7
    uint16_t PC;    // free-running 16-bit counter; fetches use its low 13 bits
    std::array<uint16_t, 8192> ProgMem;
    std::array<uint16_t, 8> Stack;
    std::array<RegCell, 512> Regs;  // banks 0..3 at 0x000, 0x080, 0x100, 0x180
    uint32_t Cycles;
};

// An operation: works on PicState alone, takes its operand from the word at PC.
using InstrHandler = void (*)();

inline constexpr uint8_t kC = 0x01;
inline constexpr uint8_t kDC = 0x10;
inline constexpr uint8_t kZ = 0x40;
inline constexpr uint16_t kProgAddressMask = 0x1FFF;  // 8192 words of ProgMem
inline constexpr uint16_t kWordMask = 0x3FFF;         // 14-bit instruction words
inline constexpr uint8_t kStackSlotMask = 0x07;       // eight-slot ring

// Zero at program start, like every object of static lifetime.
extern TPicState PicState;

// The word being executed. PC may run past 0x1FFF; the fetch wraps as the 13-bit hardware counter does.
inline uint16_t CurrentWord() {
    return PicState.ProgMem[PicState.PC & kProgAddressMask];
}

// Debug > Start: PC to 0, the demonstration program into ProgMem, the register kinds from RegMap.
void ResetProcessor();

// Debug > Trace Into: exactly one instruction, one table lookup and one indirect call.
void Step();

}  // namespace sim
