// SPDX-License-Identifier: GPL-3.0-or-later
// The global processor state and the reset.
#include "sim/Pic14.h"

#include "sim/Filerw.h"

#include <cstddef>

namespace sim {

TPicState PicState;

namespace {

struct ProgramWord {
    uint16_t Address;
    uint16_t Word;
};

// The loop at 0x00A runs forever; the RETLW at 0x010 is there for the display and never reached.
constexpr ProgramWord kDemonstrationProgram[] = {
    {0x000, 0x280A},  // GOTO  0x00A
    {0x00A, 0x3001},  // MOVLW 0x01
    {0x00B, 0x3C02},  // SUBLW 0x02
    {0x00C, 0x280A},  // GOTO  0x00A
    {0x010, 0x3446},  // RETLW 0x46
};

}  // namespace

void ResetProcessor() {
    PicState.PC = 0x0000;
    for (const ProgramWord& word : kDemonstrationProgram)
        PicState.ProgMem[word.Address] = word.Word;
    // Register values, including the bank bits of STATUS, survive a reset; only the kinds are reloaded.
    for (std::size_t address = 0; address < PicState.Regs.size(); ++address)
        PicState.Regs[address].Kind = RegMap[address];
}

}  // namespace sim
