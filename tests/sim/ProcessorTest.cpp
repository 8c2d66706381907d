// SPDX-License-Identifier: GPL-3.0-or-later
// Program start, reset, the demonstration program's trace and the wrap of Cycles and PC.
#include "sim/SimFixture.h"

namespace simtest {
namespace {

TEST(Processor, StepBeforeAnyResetExecutesNop) {
    PicState = {};
    Step();  // word 0x0000: NOP
    EXPECT_EQ(PicState.PC, 0x001);
    EXPECT_EQ(PicState.Cycles, 1u);
}

TEST(Processor, DemonstrationProgramTrace) {
    PicState = {};
    sim::ResetProcessor();
    const uint16_t pcs[] = {0x00A, 0x00B, 0x00C, 0x00A, 0x00B, 0x00C, 0x00A};
    const uint32_t cycles[] = {2, 3, 4, 6, 7, 8, 10};
    for (int i = 0; i < 7; ++i) {
        Step();
        EXPECT_EQ(PicState.PC, pcs[i]) << "step " << i + 1;
        EXPECT_EQ(PicState.Cycles, cycles[i]) << "step " << i + 1;
    }
    EXPECT_EQ(PicState.W, 0x01);  // 0x02 - 0x01
    EXPECT_EQ(PicState.ProgMem[0x010], 0x3446);
}

TEST_F(Sim, ResetKeepsEverythingButPcProgramAndKinds) {
    Load(0x001, {0x1234});
    Steps(4);  // GOTO, MOVLW, SUBLW, GOTO
    PicState.SP = 3;
    PicState.ProgMem[0x00B] = 0x0000;
    PicState.Regs[0x020].Value = 0x77;
    sim::ResetProcessor();
    EXPECT_EQ(PicState.PC, 0x000);
    EXPECT_EQ(PicState.W, 0x01);
    EXPECT_EQ(PicState.SP, 3);
    EXPECT_EQ(PicState.Cycles, 6u);
    EXPECT_EQ(PicState.ProgMem[0x00B], 0x3C02);
    EXPECT_EQ(PicState.ProgMem[0x001], 0x1234);
    EXPECT_EQ(Cell(0x020), 0x77);
}

TEST_F(Sim, CyclesWrapToZero) {
    Load(0x000, {0x0000});  // NOP
    PicState.Cycles = 4294967295u;
    Step();
    EXPECT_EQ(PicState.Cycles, 0u);
}

// PC counts on past 0x1FFF; fetches wrap to the start of program memory like the 13-bit counter.
TEST_F(Sim, PcPastTheLastWordFetchesFromTheStart) {
    Load(0x000, {0x3099});  // MOVLW 0x99
    PicState.PC = 0x2000;
    Step();
    EXPECT_EQ(PicState.W, 0x99);
    EXPECT_EQ(PicState.PC, 0x2001);
    PicState.PC = 0xFFFF;
    PicState.ProgMem[0x1FFF] = 0x2005;  // CALL 0x005: return address wraps with the 16-bit counter
    Step();
    EXPECT_EQ(PicState.Stack[0], 0x0000);
}

}  // namespace
}  // namespace simtest
