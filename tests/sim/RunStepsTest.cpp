// SPDX-License-Identifier: GPL-3.0-or-later
// The batched run against single steps: every instruction word from random states, and random programs
// compared along the way.
#include "sim/Decoexec.h"

#include "sim/SimFixture.h"

#include <cstdint>
#include <random>

namespace simtest {
namespace {

using sim::TPicState;

::testing::AssertionResult SameState(const TPicState& stepped, const TPicState& run) {
    auto differ = [](const char* what) { return ::testing::AssertionFailure() << what << " differs"; };
    if (stepped.W != run.W)
        return differ("W");
    if (stepped.Flags != run.Flags)
        return differ("Flags");
    if (stepped.SP != run.SP)
        return differ("SP");
    if (stepped.PC != run.PC)
        return differ("PC") << ": " << stepped.PC << " stepped, " << run.PC << " run";
    if (stepped.Cycles != run.Cycles)
        return differ("Cycles") << ": " << stepped.Cycles << " stepped, " << run.Cycles << " run";
    if (stepped.Stack != run.Stack)
        return differ("Stack");
    if (stepped.Regs != run.Regs)
        return differ("the register file");
    if (stepped.ProgMem != run.ProgMem)
        return differ("ProgMem");
    return ::testing::AssertionSuccess();
}

// Runs count instructions from the current state both ways; PicState ends as the single steps left it.
::testing::AssertionResult RunMatchesSteps(uint64_t count) {
    const TPicState start = PicState;
    Steps(static_cast<int>(count));
    const TPicState stepped = PicState;
    PicState = start;
    sim::RunSteps(count);
    ::testing::AssertionResult same = SameState(stepped, PicState);
    PicState = stepped;
    return same;
}

class RunSteps : public Sim {
  protected:
    std::mt19937 random_{20261208};

    uint8_t RandomByte() { return static_cast<uint8_t>(random_()); }

    // Any W, flags, stack and PC, and register values with every bank selectable through STATUS.
    void RandomizeState() {
        PicState.W = RandomByte();
        PicState.Flags = RandomByte();
        PicState.SP = RandomByte() & sim::kStackSlotMask;
        PicState.PC = static_cast<uint16_t>(random_());
        PicState.Cycles = static_cast<uint32_t>(random_());
        for (uint16_t& slot : PicState.Stack)
            slot = static_cast<uint16_t>(random_());
        for (sim::RegCell& cell : PicState.Regs)
            cell.Value = RandomByte();
    }

    // A word with an operation, so that random programs keep moving.
    uint16_t RandomOperationWord() {
        for (;;) {
            const uint16_t word = static_cast<uint16_t>(random_() & sim::kWordMask);
            if (sim::OperationTable[word] != sim::Operation::Empty)
                return word;
        }
    }
};

TEST_F(RunSteps, EveryWordFromRandomStatesDoesWhatStepDoes) {
    for (uint16_t& word : PicState.ProgMem)
        word = RandomOperationWord();
    for (unsigned word = 0; word < sim::kWordCount; ++word) {
        RandomizeState();
        PicState.ProgMem[PicState.PC & sim::kProgAddressMask] = static_cast<uint16_t>(word);
        ASSERT_TRUE(RunMatchesSteps(1)) << "word " << std::hex << word;
        // Two more instructions, so that the state the run keeps in locals carries from one to the next.
        ASSERT_TRUE(RunMatchesSteps(2)) << "after word " << std::hex << word;
    }
}

TEST_F(RunSteps, RandomProgramsAgreeAtEveryDump) {
    for (int program = 0; program < 8; ++program) {
        RandomizeState();
        for (uint16_t& word : PicState.ProgMem)
            word = RandomOperationWord();
        // Some words with a stray bit 14 or 15, which the fetch masks off.
        for (int i = 0; i < 64; ++i)
            PicState.ProgMem[random_() & sim::kProgAddressMask] |= 0xC000;
        for (int dump = 0; dump < 40; ++dump)
            ASSERT_TRUE(RunMatchesSteps(1 + random_() % 3000)) << "program " << program << ", dump " << dump;
    }
}

TEST_F(RunSteps, AWordWithoutOperationEndsAnyRunAtOnce) {
    Load(0x000, {0x3005, 0x1683});  // MOVLW 5; BSF STATUS,RP0 (no operation here)
    sim::RunSteps(UINT64_MAX);
    EXPECT_EQ(PicState.PC, 0x001);
    EXPECT_EQ(PicState.W, 0x05);
    EXPECT_EQ(PicState.Cycles, 1u);
}

TEST_F(RunSteps, DemonstrationLoopCountsCyclesLikeSteps) {
    sim::RunSteps(1 + 3 * 1000);
    EXPECT_EQ(PicState.PC, 0x00A);
    EXPECT_EQ(PicState.W, 0x01);
    EXPECT_EQ(PicState.Cycles, 2u + 4u * 1000u);
}

}  // namespace
}  // namespace simtest
