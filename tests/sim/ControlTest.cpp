// SPDX-License-Identifier: GPL-3.0-or-later
// CALL, GOTO and the returns: the eight-slot stack ring and the PCLATH page bits.
#include "sim/SimFixture.h"

namespace simtest {
namespace {

TEST_F(Sim, CallAndReturnRoundTrip) {
    Load(0x000, {0x2005,    // CALL 0x005
                 0x0000});  // NOP  <- return lands here
    Load(0x005, {0x3442});  // RETLW 0x42
    Step();
    EXPECT_EQ(PicState.PC, 0x005);
    EXPECT_EQ(PicState.SP, 1);
    EXPECT_EQ(PicState.Stack[0], 0x001);
    Step();
    EXPECT_EQ(PicState.PC, 0x001);
    EXPECT_EQ(PicState.W, 0x42);
    EXPECT_EQ(PicState.SP, 0);
    EXPECT_EQ(PicState.Cycles, 4u);
}

TEST_F(Sim, NinthCallOverwritesTheOldestReturnAddress) {
    for (uint16_t a = 0; a < 9; ++a)
        Load(a, {static_cast<uint16_t>(0x2000 | (a + 1))});  // CALL a+1
    Steps(9);
    EXPECT_EQ(PicState.SP, 1);
    EXPECT_EQ(PicState.Stack[0], 0x009);  // the ninth return address
    EXPECT_EQ(PicState.Stack[7], 0x008);
    EXPECT_EQ(PicState.PC, 0x009);
}

TEST_F(Sim, ReturnWithNothingPushedTakesTheLastSlot) {
    Load(0x000, {0x0008});  // RETURN  -> SP 0 wraps to 7
    PicState.Stack[7] = 0x0123;
    Step();
    EXPECT_EQ(PicState.SP, 7);
    EXPECT_EQ(PicState.PC, 0x0123);
    EXPECT_EQ(PicState.Cycles, 2u);
}

// Only bits 4..3 of PCLATH reach the target, as bits 12..11.
TEST_F(Sim, PclathSelectsThePage) {
    Load(0x000, {0x27FF,    // CALL 0x7FF
                 0x2800});  // GOTO 0x000
    PicState.Regs[0x00A].Value = 0x07;
    Step();
    EXPECT_EQ(PicState.PC, 0x07FF);
    PicState.PC = 0x001;
    PicState.Regs[0x00A].Value = 0xE7;  // every bit but 4..3
    Step();
    EXPECT_EQ(PicState.PC, 0x0000);
    PicState.Regs[0x00A].Value = 0x18;
    Step();
    EXPECT_EQ(PicState.PC, 0x1FFF);
    EXPECT_EQ(Cell(0x00A), 0x18);
    PicState.PC = 0x001;
    Step();
    EXPECT_EQ(PicState.PC, 0x1800);
}

TEST_F(Sim, PclathWrittenByMovwfRedirectsCall) {
    Load(0x000, {0x3010,    // MOVLW 0x10
                 0x008A,    // MOVWF PCLATH
                 0x2000});  // CALL 0x000  -> 0x1000
    Steps(3);
    EXPECT_EQ(PicState.PC, 0x1000);
}

}  // namespace
}  // namespace simtest
