// SPDX-License-Identifier: GPL-3.0-or-later
// Register and literal operations: destinations, skips, rotates, and which bits of Flags each may touch.
#include "sim/SimFixture.h"

#include <vector>

namespace simtest {
namespace {

struct FlagRule {
    uint8_t MayChange;
    std::vector<uint16_t> Words;  // operand register 0x20 or literal 0x20 throughout
};

const FlagRule kFlagRules[] = {
    // NOP, RETURN, MOVWF, DECFSZ, SWAPF, INCFSZ, CALL, GOTO, MOVLW, RETLW
    {0, {0x0000, 0x0008, 0x00A0, 0x0BA0, 0x0EA0, 0x0FA0, 0x2020, 0x2820, 0x3020, 0x3420}},
    // CLRF, DECF, IORWF, ANDWF, XORWF, MOVF,W, MOVF,F, COMF, INCF, IORLW, ANDLW, XORLW
    {kZ, {0x01A0, 0x03A0, 0x04A0, 0x05A0, 0x06A0, 0x0820, 0x08A0, 0x09A0, 0x0AA0, 0x3820, 0x3920, 0x3A20}},
    {kC, {0x0CA0, 0x0DA0}},  // RRF, RLF
    // SUBWF,W, SUBWF,F, ADDWF,F, SUBLW, ADDLW
    {kC | kDC | kZ, {0x0220, 0x02A0, 0x07A0, 0x3C20, 0x3E20}},
};

TEST_F(Sim, EveryOperationChangesOnlyItsOwnFlags) {
    const uint8_t values[] = {0x00, 0x01, 0x20, 0x7F, 0x80, 0xFF};
    for (const FlagRule& rule : kFlagRules)
        for (uint16_t word : rule.Words)
            for (uint8_t flags : {0x00, 0xFF})
                for (uint8_t w : values)
                    for (uint8_t f : values) {
                        PicState.PC = 0x100;
                        PicState.ProgMem[0x100] = word;
                        PicState.Flags = flags;
                        PicState.W = w;
                        PicState.Regs[0x020].Value = f;
                        Step();
                        ASSERT_EQ((PicState.Flags ^ flags) & ~rule.MayChange, 0) << std::hex << word;
                    }
}

TEST_F(Sim, LogicResultsGoToTheirDestination) {
    Load(0x000, {0x0520,    // ANDWF 0x20,W  -> W = 0x0F & 0x3C
                 0x04A0,    // IORWF 0x20,F  -> 0x20 = 0x0C | 0x3C
                 0x06A0,    // XORWF 0x20,F  -> 0x20 = 0x0C ^ 0x3C = 0x30
                 0x38F0});  // IORLW 0xF0    -> W = 0xFC
    PicState.W = 0x0F;
    PicState.Regs[0x020].Value = 0x3C;
    Step();
    EXPECT_EQ(PicState.W, 0x0C);
    EXPECT_EQ(Cell(0x020), 0x3C);
    Step();
    EXPECT_EQ(Cell(0x020), 0x3C);
    Step();
    EXPECT_EQ(Cell(0x020), 0x30);
    EXPECT_EQ(PicState.Flags & kZ, 0);
    Step();
    EXPECT_EQ(PicState.W, 0xFC);
}

TEST_F(Sim, IncrementAndDecrementSetZOnlyOnZero) {
    Load(0x000, {0x0AA0,    // INCF 0x20,F  -> 0xFF + 1 = 0x00, Z
                 0x0320,    // DECF 0x20,W  -> W = 0xFF, Z clear
                 0x0920});  // COMF 0x20,W  -> W = ~0x00 = 0xFF
    PicState.Regs[0x020].Value = 0xFF;
    Step();
    EXPECT_EQ(Cell(0x020), 0x00);
    EXPECT_EQ(PicState.Flags & kZ, kZ);
    Step();
    EXPECT_EQ(PicState.W, 0xFF);
    EXPECT_EQ(PicState.Flags & kZ, 0);
    Step();
    EXPECT_EQ(PicState.W, 0xFF);
    EXPECT_EQ(Cell(0x020), 0x00);
}

// The result is written before the skip; a taken skip costs a second cycle.
TEST_F(Sim, IncfszAndDecfszSkipOnlyOnZero) {
    Load(0x000, {0x0FA0,    // INCFSZ 0x20,F  -> 0xFF + 1 = 0: skip
                 0x0000,    // NOP (skipped)
                 0x0FA1,    // INCFSZ 0x21,F  -> 0x05 + 1: no skip
                 0x0BA2,    // DECFSZ 0x22,F  -> 0x01 - 1 = 0: skip
                 0x0000,    // NOP (skipped)
                 0x0B20});  // DECFSZ 0x20,W  -> W = 0xFF: no skip
    PicState.Regs[0x020].Value = 0xFF;
    PicState.Regs[0x021].Value = 0x05;
    PicState.Regs[0x022].Value = 0x01;
    Steps(3);
    EXPECT_EQ(Cell(0x020), 0x00);
    EXPECT_EQ(Cell(0x021), 0x06);
    EXPECT_EQ(Cell(0x022), 0x00);
    EXPECT_EQ(PicState.PC, 0x005);
    EXPECT_EQ(PicState.Cycles, 5u);
    Step();
    EXPECT_EQ(PicState.W, 0xFF);
    EXPECT_EQ(Cell(0x020), 0x00);
    EXPECT_EQ(PicState.PC, 0x006);
    EXPECT_EQ(PicState.Cycles, 6u);
}

TEST_F(Sim, RotatesShiftThroughCarry) {
    Load(0x000, {0x0DA0,    // RLF 0x20,F  -> 0x80 with C = 1 gives 0x01, C = 1
                 0x0CA1});  // RRF 0x21,F  -> 0x01 with C = 0 gives 0x00, C = 1, Z untouched
    PicState.Regs[0x020].Value = 0x80;
    PicState.Regs[0x021].Value = 0x01;
    PicState.Flags = kC;
    Step();
    EXPECT_EQ(Cell(0x020), 0x01);
    EXPECT_EQ(PicState.Flags, kC);
    PicState.Flags = 0x00;
    Step();
    EXPECT_EQ(Cell(0x021), 0x00);
    EXPECT_EQ(PicState.Flags, kC);
}

TEST_F(Sim, SwapfExchangesNibbles) {
    Load(0x000, {0x0E20});  // SWAPF 0x20,W
    PicState.Regs[0x020].Value = 0xA5;
    Step();
    EXPECT_EQ(PicState.W, 0x5A);
    EXPECT_EQ(Cell(0x020), 0xA5);
}

TEST_F(Sim, MovfToFSetsZWithoutWriting) {
    Load(0x000, {0x08A0,    // MOVF 0x20,F  -> Z from 0x00
                 0x08A1});  // MOVF 0x21,F  -> Z clear
    PicState.Regs[0x021].Value = 0x42;
    Step();
    EXPECT_EQ(PicState.Flags & kZ, kZ);
    Step();
    EXPECT_EQ(PicState.Flags & kZ, 0);
    EXPECT_EQ(Cell(0x021), 0x42);
    EXPECT_EQ(PicState.W, 0x00);
}

}  // namespace
}  // namespace simtest
