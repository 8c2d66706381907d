// SPDX-License-Identifier: GPL-3.0-or-later
// Per-address read handlers of the special registers, and the rule that says which cell each address uses.
#pragma once

#include "sim/Filerw.h"

#include <array>
#include <cstdint>

namespace sim {

inline constexpr int kNoCell = -1;

enum class CellRule : uint8_t { Own, BankZero, None };

struct HandlerCellRange {
    uint16_t First;
    uint16_t Last;
    CellRule Rule;
};

// Reads and writes share this map. Addresses not listed have no cell: reads give 0, writes are dropped.
// Bank 1 copies of INDF, PCL, STATUS, FSR, PCLATH and INTCON use the bank-0 cell.
inline constexpr HandlerCellRange kHandlerCellRanges[] = {
    {0x000, 0x01F, CellRule::Own}, {0x080, 0x080, CellRule::BankZero},
    {0x081, 0x081, CellRule::Own}, {0x082, 0x084, CellRule::BankZero},
    {0x085, 0x089, CellRule::Own}, {0x08A, 0x08B, CellRule::BankZero},
    {0x08C, 0x08E, CellRule::Own}, {0x092, 0x094, CellRule::Own},
    {0x098, 0x099, CellRule::Own}, {0x09F, 0x09F, CellRule::Own},
};

// The cell a handler reads or writes for a register address, or kNoCell.
inline constexpr std::array<int, kRegCount> kHandlerCell = [] {
    std::array<int, kRegCount> cells{};
    cells.fill(kNoCell);
    for (const HandlerCellRange& range : kHandlerCellRanges)
        for (int address = range.First; address <= range.Last; ++address)
            cells[address] = range.Rule == CellRule::Own ? address : address - 0x080;
    return cells;
}();

using RegReadHandler = uint8_t (*)();

// Defined for all 512 addresses, whether or not RegMap makes the address special.
extern const std::array<RegReadHandler, kRegCount> RegReadHandlers;

}  // namespace sim
