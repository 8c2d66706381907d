// SPDX-License-Identifier: GPL-3.0-or-later
// Register read and write with bank selection and kind dispatch.
#include "sim/Filerw.h"

#include "sim/Simiord.h"
#include "sim/Simiowr.h"

namespace sim {

namespace {

uint8_t ReadUnimplemented(uint16_t) {
    return 0x00;
}
uint8_t ReadMemory(uint16_t address) {
    return PicState.Regs[address].Value;
}
uint8_t ReadSpecial(uint16_t address) {
    return RegReadHandlers[address]();
}

void WriteUnimplemented(uint16_t, uint8_t) {}
void WriteMemory(uint16_t address, uint8_t value) {
    PicState.Regs[address].Value = value;
}
void WriteSpecial(uint16_t address, uint8_t value) {
    RegWriteHandlers[address](value);
}

// Bits 6..5 of STATUS times 4 give the bank base 0x000, 0x080, 0x100 or 0x180, without a comparison.
// The STATUS read here is always the bank-0 cell, whatever bank is selected.
uint16_t CellAddress(uint8_t f) {
    const uint16_t bankBits = PicState.Regs[kStatusCell].Value & 0x60;
    return static_cast<uint16_t>((bankBits << 2) | (f & 0x7F));
}

}  // namespace

const std::array<KindReadOp, 3> ReadKindOps = {&ReadUnimplemented, &ReadMemory, &ReadSpecial};
const std::array<KindWriteOp, 3> WriteKindOps = {&WriteUnimplemented, &WriteMemory, &WriteSpecial};

uint8_t ReadReg(uint8_t f) {
    const uint16_t address = CellAddress(f);
    return ReadKindOps[PicState.Regs[address].Kind](address);
}

void WriteReg(uint8_t f, uint8_t value) {
    const uint16_t address = CellAddress(f);
    WriteKindOps[PicState.Regs[address].Kind](address, value);
}

}  // namespace sim
