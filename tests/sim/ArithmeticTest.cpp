// SPDX-License-Identifier: GPL-3.0-or-later
// Addition and subtraction: result and C, DC, Z over every (W, k) pair, and the named corner cases.
#include "sim/SimFixture.h"

namespace simtest {
namespace {

struct Outcome {
    uint8_t W;
    uint8_t Flags;
};

// W op k through the instruction word; Flags start with every bit set so that a stale flag shows.
Outcome RunLiteral(uint16_t opcode, uint8_t w, uint8_t k) {
    PicState.PC = 0x000;
    PicState.W = w;
    PicState.Flags = 0xFF;
    Load(0x000, {static_cast<uint16_t>(opcode | k)});
    Step();
    return {PicState.W, PicState.Flags};
}

// The ALU's view: a carry out of bit 7 shows as a wrapped sum, a carry out of bit 3 in bit 4 of a ^ b ^ r.
uint8_t AdditionFlags(uint8_t a, uint8_t b, uint8_t r) {
    return 0xAE | (r < a ? kC : 0) | ((a ^ b ^ r) & 0x10 ? kDC : 0) | (r == 0 ? kZ : 0);
}

TEST_F(Sim, AddlwOverEveryPair) {
    for (int w = 0; w < 256; ++w)
        for (int k = 0; k < 256; ++k) {
            const Outcome out = RunLiteral(0x3E00, w, k);  // ADDLW k
            const uint8_t r = static_cast<uint8_t>(w + k);
            ASSERT_EQ(out.W, r) << w << " + " << k;
            ASSERT_EQ(out.Flags, AdditionFlags(w, k, r)) << w << " + " << k;
        }
}

// The ALU subtracts by adding the two's complement: k + ~W + 1; C and DC are that sum's carries.
TEST_F(Sim, SublwOverEveryPair) {
    for (int w = 0; w < 256; ++w)
        for (int k = 0; k < 256; ++k) {
            const Outcome out = RunLiteral(0x3C00, w, k);  // SUBLW k
            const unsigned sum = k + (~w & 0xFF) + 1;
            const unsigned lowSum = (k & 0x0F) + (~w & 0x0F) + 1;
            const uint8_t r = static_cast<uint8_t>(sum);
            const uint8_t flags =
                0xAE | (sum > 0xFF ? kC : 0) | (lowSum > 0x0F ? kDC : 0) | (r == 0 ? kZ : 0);
            ASSERT_EQ(out.W, r) << k << " - " << w;
            ASSERT_EQ(out.Flags, flags) << k << " - " << w;
        }
}

TEST_F(Sim, RegisterArithmeticStoresToItsDestination) {
    Load(0x000, {0x07A0,    // ADDWF 0x20,F  -> 0x20 = 0x30 + 0x05
                 0x0220,    // SUBWF 0x20,W  -> W = 0x35 - 0x05
                 0x02A1});  // SUBWF 0x21,F  -> 0x21 = 0x00 - 0x30, borrow
    PicState.W = 0x05;
    PicState.Regs[0x020].Value = 0x30;
    Step();
    EXPECT_EQ(Cell(0x020), 0x35);
    EXPECT_EQ(PicState.W, 0x05);
    Step();
    EXPECT_EQ(PicState.W, 0x30);
    EXPECT_EQ(Cell(0x020), 0x35);
    Step();
    EXPECT_EQ(Cell(0x021), 0xD0);
    EXPECT_EQ(PicState.Flags & (kC | kZ), 0);
}

}  // namespace
}  // namespace simtest
