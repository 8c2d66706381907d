// SPDX-License-Identifier: GPL-3.0-or-later
// The special function registers and their bits, read from every PIC16 header gputils ships.
#include "gpsim/ProcessorHeader.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

const SpecialRegister* Find(const std::vector<SpecialRegister>& registers, const std::string& name) {
    auto it = std::find_if(registers.begin(), registers.end(), [&name](const auto& r) { return r.name == name; });
    return it == registers.end() ? nullptr : &*it;
}

TEST(ProcessorHeader, The16F877AHasItsRegistersByAddressAndStatusBitsByName) {
    std::string text = ReadAll("/usr/share/gputils/header/p16f877a.inc");
    if (text.empty())
        GTEST_SKIP() << "gputils' headers are not installed";
    auto registers = ReadSpecialRegisters(text);
    ASSERT_TRUE(std::is_sorted(registers.begin(), registers.end(),
                               [](const auto& a, const auto& b) { return a.address < b.address; }));
    const SpecialRegister* status = Find(registers, "STATUS");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->address, 0x03u);
    EXPECT_EQ(BitsText(*status, 0x18), "IRP=0 RP1=0 RP0=0 /TO=1 /PD=1 Z=0 DC=0 C=0");
    EXPECT_EQ(Find(registers, "TRISB")->address, 0x86u);
    EXPECT_EQ(Find(registers, "INTCON")->bits[7], "GIE");
    EXPECT_EQ(Find(registers, "EECON1")->address, 0x18Cu);
    EXPECT_FALSE(Find(registers, "W"));  // the destination names are no registers
    EXPECT_EQ(BitsText(*Find(registers, "PORTB"), 0x81), "RB7=1 RB6=0 RB5=0 RB4=0 RB3=0 RB2=0 RB1=0 RB0=1");
}

TEST(ProcessorHeader, EveryPic16HeaderNamesItsRegistersAndStatusBits) {
    std::filesystem::path folder = "/usr/share/gputils/header";
    if (!std::filesystem::exists(folder))
        GTEST_SKIP() << "gputils' headers are not installed";
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("p16") || !name.ends_with(".inc") || name == "p16f1xxx.inc")
            continue;  // p16f1xxx.inc only includes the header of the part chosen
        SCOPED_TRACE(name);
        auto registers = ReadSpecialRegisters(ReadAll(entry.path()));
        const SpecialRegister* status = Find(registers, "STATUS");
        ASSERT_TRUE(status);
        EXPECT_EQ(status->address, 0x03u);
        EXPECT_EQ(status->bits[0], "C");
        EXPECT_EQ(status->bits[1], "DC");
        EXPECT_EQ(status->bits[2], "Z");
        EXPECT_EQ(status->bits[3], "/PD");
        EXPECT_EQ(status->bits[4], "/TO");
        EXPECT_GE(registers.size(), 6u);  // the 12-bit-core 16C5x have the fewest
        ++read;
    }
    EXPECT_GT(read, 250);
}

TEST(ProcessorHeader, AnyTextGivesAListAndNoBitsOutsideItsRegister) {
    EXPECT_TRUE(ReadSpecialRegisters("").empty());
    EXPECT_TRUE(ReadSpecialRegisters("garbage EQU H'zz'\n;----- X Bits ---\nA EQU H'0009'\n").empty());
    auto registers = ReadSpecialRegisters(";----- Register Files ---\nX EQU H'0010'\n;----- X Bits ---\n"
                                          "HI EQU H'0007'\nFAR EQU H'0008'\n");
    ASSERT_EQ(registers.size(), 1u);
    EXPECT_EQ(BitsText(registers[0], 0x80), "HI=1");
}

}  // namespace
