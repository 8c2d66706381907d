// SPDX-License-Identifier: GPL-3.0-or-later
// Register file: bank selection, shared bank-1 copies, unimplemented cells, the handler tables.
#include "sim/Filerw.h"
#include "sim/Simiord.h"
#include "sim/Simiowr.h"

#include "sim/SimFixture.h"

namespace simtest {
namespace {

using sim::ReadReg;
using sim::WriteReg;

TEST_F(Sim, BankZeroStorageAndUnimplementedCells) {
    Load(0x000, {0x3055,    // MOVLW 0x55
                 0x00A0,    // MOVWF 0x20
                 0x3000,    // MOVLW 0x00
                 0x0820,    // MOVF 0x20,W  -> 0x55
                 0x00B0,    // MOVWF 0x30   -> dropped
                 0x0830});  // MOVF 0x30,W  -> 0x00, Z
    Steps(2);
    EXPECT_EQ(Cell(0x020), 0x55);
    Steps(2);
    EXPECT_EQ(PicState.W, 0x55);
    Steps(2);
    EXPECT_EQ(Cell(0x030), 0x00);
    EXPECT_EQ(PicState.W, 0x00);
    EXPECT_EQ(PicState.Flags & kZ, kZ);
}

TEST_F(Sim, BankOneSharesStatusButNotStorage) {
    Load(0x000, {0x3020,    // MOVLW 0x20
                 0x0083,    // MOVWF STATUS  -> bank 1
                 0x008D,    // MOVWF 0x0D    -> cell 0x08D
                 0x0803,    // MOVF 0x03,W   -> cell 0x083 is cell 0x003
                 0x3000,    // MOVLW 0x00
                 0x0083});  // MOVWF 0x03    -> through the copy: bank 0 again
    Steps(3);
    EXPECT_EQ(Cell(0x08D), 0x20);
    EXPECT_EQ(Cell(0x00D), 0x00);
    Step();
    EXPECT_EQ(PicState.W, 0x20);
    Steps(2);
    EXPECT_EQ(Cell(0x003), 0x00);
    EXPECT_EQ(Cell(0x083), 0x00);
    EXPECT_EQ(ReadReg(0x0D), 0x00);
}

// Bank 2 has no implemented cell, STATUS included, and the reset keeps register values.
TEST_F(Sim, BankTwoLocksOutEveryRegister) {
    WriteReg(0x03, 0x40);
    WriteReg(0x03, 0x00);
    WriteReg(0x20, 0x99);
    EXPECT_EQ(ReadReg(0x03), 0x00);
    EXPECT_EQ(Cell(0x003), 0x40);
    EXPECT_EQ(Cell(0x020), 0x00);
    sim::ResetProcessor();
    EXPECT_EQ(Cell(0x003), 0x40);
    EXPECT_EQ(ReadReg(0x03), 0x00);
}

TEST_F(Sim, StatusCellIsNotTheFlags) {
    Load(0x000, {0x3E00,    // ADDLW 0x00  -> Z in Flags
                 0x0803});  // MOVF STATUS,W
    Steps(2);
    EXPECT_EQ(PicState.W, 0x00);
    EXPECT_EQ(Cell(0x003), 0x00);
}

TEST(RegisterFile, BeforeTheFirstResetNothingIsImplemented) {
    PicState = {};
    Load(0x000, {0x3055,    // MOVLW 0x55
                 0x00A0,    // MOVWF 0x20
                 0x0083});  // MOVWF STATUS
    Steps(3);
    for (uint16_t a = 0; a < 512; ++a)
        ASSERT_EQ(Cell(a), 0x00) << a;
    EXPECT_EQ(ReadReg(0x20), 0x00);
}

// Bank-1 addresses whose handlers use the bank-0 cell.
bool SharesBankZeroCell(uint16_t a) {
    return a == 0x080 || (a >= 0x082 && a <= 0x084) || a == 0x08A || a == 0x08B;
}

bool HasOwnCell(uint16_t a) {
    return a <= 0x01F || (a >= 0x081 && a <= 0x08E && !SharesBankZeroCell(a)) || (a >= 0x092 && a <= 0x094) ||
           a == 0x098 || a == 0x099 || a == 0x09F;
}

// Each handler is called directly, also where RegMap never reaches it.
TEST_F(Sim, HandlerTablesCoverAll512Addresses) {
    for (uint16_t a = 0; a < 512; ++a) {
        PicState = {};
        const uint16_t cell = SharesBankZeroCell(a) ? a - 0x080 : a;
        sim::RegWriteHandlers[a](0xA7);
        const bool stored = HasOwnCell(a) || SharesBankZeroCell(a);
        for (uint16_t other = 0; other < 512; ++other)
            ASSERT_EQ(Cell(other), stored && other == cell ? 0xA7 : 0x00) << std::hex << a << " " << other;
        PicState.Regs[cell].Value = 0x3C;
        ASSERT_EQ(sim::RegReadHandlers[a](), stored ? 0x3C : 0x00) << std::hex << a;
    }
}

}  // namespace
}  // namespace simtest
