// SPDX-License-Identifier: GPL-3.0-or-later
// Register-file access: bank selection by STATUS, then dispatch on the kind of the addressed cell.
#pragma once

#include "sim/Pic14.h"

#include <array>
#include <cstdint>

namespace sim {

inline constexpr uint16_t kRegCount = 512;
inline constexpr uint16_t kStatusCell = 0x003;
inline constexpr uint16_t kPclathCell = 0x00A;

struct RegKindRange {
    uint16_t First;
    uint16_t Last;
    RegKind Kind;
};

// Addresses not listed are unimplemented.
inline constexpr RegKindRange kRegKindRanges[] = {
    {0x000, 0x006, rkSpecial},  // INDF, TMR0, PCL, STATUS, FSR, PORTA, PORTB
    {0x00A, 0x00C, rkSpecial},  // PCLATH, INTCON, 0x00C
    {0x00D, 0x02F, rkMemory},   // general-purpose storage
    {0x080, 0x086, rkSpecial},  // INDF, OPTION, PCL, STATUS, FSR, TRISA, TRISB
    {0x08A, 0x08C, rkSpecial},  // PCLATH, INTCON, 0x08C
    {0x08D, 0x0AF, rkMemory},   // bank 1 storage, cells of its own
};

// The kind of every register address, copied into Regs[].Kind by the reset.
inline constexpr std::array<RegKind, kRegCount> RegMap = [] {
    std::array<RegKind, kRegCount> map{};
    map.fill(rkUnimplemented);
    for (const RegKindRange& range : kRegKindRanges)
        for (unsigned address = range.First; address <= range.Last; ++address)
            map[address] = range.Kind;
    return map;
}();

using KindReadOp = uint8_t (*)(uint16_t address);
using KindWriteOp = void (*)(uint16_t address, uint8_t value);

// Indexed by RegKind.
extern const std::array<KindReadOp, 3> ReadKindOps;
extern const std::array<KindWriteOp, 3> WriteKindOps;

// f is a 7-bit address within the bank that bits 6..5 of the STATUS cell select.
uint8_t ReadReg(uint8_t f);
void WriteReg(uint8_t f, uint8_t value);

}  // namespace sim
