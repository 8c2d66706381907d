// SPDX-License-Identifier: GPL-3.0-or-later
// The decode table against the published encoding: range boundaries, word counts, words without an operation.
#include "sim/Decoexec.h"

#include "sim/SimFixture.h"

namespace simtest {
namespace {

using namespace sim;

struct Encoding {
    uint16_t First;
    uint16_t Last;
    InstrHandler Op;
};

// Written out from the instruction-set encoding, independently of the table in Decoexec.h.
const Encoding kEncoding[] = {
    {0x0000, 0x0000, &Nop},       {0x0020, 0x0020, &Nop},       {0x0040, 0x0040, &Nop},
    {0x0060, 0x0060, &Nop},       {0x0008, 0x0008, &Return},    {0x0080, 0x00FF, &Movwf},
    {0x0180, 0x01FF, &Clrf},      {0x0200, 0x027F, &SubwfToW},  {0x0280, 0x02FF, &SubwfToF},
    {0x0300, 0x037F, &DecfToW},   {0x0380, 0x03FF, &DecfToF},   {0x0400, 0x047F, &IorwfToW},
    {0x0480, 0x04FF, &IorwfToF},  {0x0500, 0x057F, &AndwfToW},  {0x0580, 0x05FF, &AndwfToF},
    {0x0600, 0x067F, &XorwfToW},  {0x0680, 0x06FF, &XorwfToF},  {0x0700, 0x077F, &AddwfToW},
    {0x0780, 0x07FF, &AddwfToF},  {0x0800, 0x087F, &MovfToW},   {0x0880, 0x08FF, &MovfToF},
    {0x0900, 0x097F, &ComfToW},   {0x0980, 0x09FF, &ComfToF},   {0x0A00, 0x0A7F, &IncfToW},
    {0x0A80, 0x0AFF, &IncfToF},   {0x0B00, 0x0B7F, &DecfszToW}, {0x0B80, 0x0BFF, &DecfszToF},
    {0x0C00, 0x0C7F, &RrfToW},    {0x0C80, 0x0CFF, &RrfToF},    {0x0D00, 0x0D7F, &RlfToW},
    {0x0D80, 0x0DFF, &RlfToF},    {0x0E00, 0x0E7F, &SwapfToW},  {0x0E80, 0x0EFF, &SwapfToF},
    {0x0F00, 0x0F7F, &IncfszToW}, {0x0F80, 0x0FFF, &IncfszToF}, {0x2000, 0x27FF, &Call},
    {0x2800, 0x2FFF, &Goto},      {0x3000, 0x33FF, &Movlw},     {0x3400, 0x37FF, &Retlw},
    {0x3800, 0x38FF, &Iorlw},     {0x3900, 0x39FF, &Andlw},     {0x3A00, 0x3AFF, &Xorlw},
    {0x3C00, 0x3DFF, &Sublw},     {0x3E00, 0x3FFF, &Addlw},
};

TEST(DecodeTable, FirstAndLastWordOfEveryRangeReachTheirOperation) {
    for (const Encoding& row : kEncoding) {
        EXPECT_EQ(DecodeTable[row.First], row.Op) << std::hex << row.First;
        EXPECT_EQ(DecodeTable[row.Last], row.Op) << std::hex << row.Last;
        if (row.First > 0) {
            EXPECT_NE(DecodeTable[row.First - 1], row.Op) << std::hex << row.First - 1;
        }
        if (row.Last < 0x3FFF) {
            EXPECT_NE(DecodeTable[row.Last + 1], row.Op) << std::hex << row.Last + 1;
        }
    }
}

TEST(DecodeTable, CountsWordsWithAndWithoutOperation) {
    int withOperation = 0;
    for (InstrHandler op : DecodeTable)
        withOperation += op != &EmptyOp;
    EXPECT_EQ(withOperation, 11781);
    EXPECT_EQ(static_cast<int>(DecodeTable.size()) - withOperation, 4603);
}

// CLRW, RETFIE, SLEEP, CLRWDT and the bit operations have no handler.
TEST(DecodeTable, UnimplementedOperationsAreEmpty) {
    for (uint16_t word :
         {0x0001, 0x0009, 0x0061, 0x0063, 0x0064, 0x007F, 0x0100, 0x017F, 0x1000, 0x1FFF, 0x3B00, 0x3BFF})
        EXPECT_EQ(DecodeTable[word], &EmptyOp) << std::hex << word;
}

// The batched run dispatches on OperationTable: every word names the handler DecodeTable holds for it.
TEST(DecodeTable, OperationTableAgreesWithItForEveryWord) {
    for (std::size_t word = 0; word < kWordCount; ++word)
        ASSERT_EQ(kOperationHandlers[static_cast<std::size_t>(OperationTable[word])], DecodeTable[word])
            << word;
}

TEST_F(Sim, EmptyWordChangesNothingStepAfterStep) {
    Load(0x000, {0x1683});  // BSF STATUS,RP0  -> no operation here
    PicState.W = 0x12;
    PicState.Regs[0x003].Value = 0x00;
    const sim::TPicState before = PicState;
    Steps(2);
    EXPECT_EQ(PicState.PC, 0x000);
    EXPECT_EQ(PicState.Cycles, 0u);
    EXPECT_EQ(PicState.W, 0x12);
    EXPECT_EQ(Cell(0x003), 0x00);
    EXPECT_EQ(PicState.Regs, before.Regs);
}

TEST_F(Sim, DestinationChangesExactlyAtBit7) {
    Load(0x000, {0x027F,    // SUBWF 0x7F,W  -> unimplemented, reads 0: W = 0 - 1
                 0x0280});  // SUBWF 0x00,F  -> INDF = 0 - 0xFF
    PicState.W = 0x01;
    Step();
    EXPECT_EQ(PicState.W, 0xFF);
    Step();
    EXPECT_EQ(Cell(0x000), 0x01);
    EXPECT_EQ(PicState.W, 0xFF);
}

}  // namespace
}  // namespace simtest
