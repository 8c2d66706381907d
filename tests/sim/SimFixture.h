// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up of the simulator tests: a processor after its first reset, and programs placed in ProgMem.
#pragma once

#include "sim/Pic14.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

namespace simtest {

using sim::kC;
using sim::kDC;
using sim::kZ;
using sim::PicState;
using sim::Step;

inline void Load(uint16_t address, std::initializer_list<uint16_t> words) {
    for (uint16_t word : words)
        PicState.ProgMem[address++] = word;
}

inline void Steps(int count) {
    for (int i = 0; i < count; ++i)
        Step();
}

inline uint8_t Cell(uint16_t address) {
    return PicState.Regs[address].Value;
}

// Every test starts from program start (all zero) followed by one reset, so the register kinds are loaded.
class Sim : public ::testing::Test {
  protected:
    void SetUp() override {
        PicState = {};
        sim::ResetProcessor();
    }
};

}  // namespace simtest
