// SPDX-License-Identifier: GPL-3.0-or-later
// What the registers window says at a stop: the flags spelled out, the time at the clock, changes marked.
#include "gpsim/RegisterRows.h"

#include <gtest/gtest.h>

namespace {

SimStop At(int W, int status, uint64_t cycles, int value) {
    SimStop stop;
    stop.W = W;
    stop.status = status;
    stop.cycles = cycles;
    stop.clockHz = 20e6;
    stop.stackDepth = 1;
    stop.memory.assign(0x200, 0);
    stop.memory[0x20] = value;
    return stop;
}

std::string Row(const std::vector<RegisterRow>& rows, const QString& name) {
    for (const RegisterRow& row : rows)
        if (row.name == name)
            return (row.value + (row.changed ? " *" : "")).toStdString();
    return "(none)";
}

TEST(RegisterRows, FlagsTimeAndWhatTheLastStepChanged) {
    const std::vector<CodSymbol> named = {{"value", true, 0x20}};
    SimStop before = At(0x05, 0x18, 10, 3);
    SimStop now = At(0x05, 0x1D, 11, 4);  // Z and C set
    auto rows = RegisterRows(now, &before, named);
    EXPECT_EQ(Row(rows, "W"), "0x05 (5)");
    EXPECT_EQ(Row(rows, "STATUS"), "0x1d  C=1 DC=0 Z=1 *");
    EXPECT_EQ(Row(rows, "value"), "0x04 (4) *");
    EXPECT_EQ(Row(rows, "Stack depth"), "1");
    EXPECT_EQ(Row(rows, "Cycles"), "11");
    EXPECT_EQ(Row(rows, "Time"), "2.2 µs at 20 MHz");  // four clock periods per cycle
    // the first stop of a session marks nothing
    EXPECT_EQ(Row(RegisterRows(now, nullptr, named), "value"), "0x04 (4)");
    now.stackDepth.reset();
    EXPECT_EQ(Row(RegisterRows(now, &before, named), "Stack depth"), "unknown after a run *");
}

TEST(RegisterRows, ElapsedTimeInTheLargestWholeUnit) {
    EXPECT_EQ(ElapsedText(0).toStdString(), "0 ns");
    EXPECT_EQ(ElapsedText(200e-9).toStdString(), "200 ns");
    EXPECT_EQ(ElapsedText(1.5e-3).toStdString(), "1.5 ms");
    EXPECT_EQ(ElapsedText(2.1904868).toStdString(), "2.1904868 s");
}

}  // namespace
