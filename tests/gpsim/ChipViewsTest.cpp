// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-chip views' rows from a stop: grids by bank with gaps left out, watches in their formats, and
// the names a tooltip knows.
#include "gpsim/ChipViews.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// A 16F84A-like stop: STATUS at 3 and 0x83, PORTB at 6, the program's Count at 0x0C, no registers 0x50..0x7F.
SimStop Stop(int count, int portb) {
    SimStop stop;
    stop.memory.assign(0x100, 0);
    for (uint32_t address = 0x50; address < 0x80; ++address)
        stop.memory[address] = -1;
    for (uint32_t address = 0xD0; address < 0x100; ++address)
        stop.memory[address] = -1;
    stop.memory[3] = stop.memory[0x83] = 0x18;
    stop.memory[6] = portb;
    stop.memory[0x0C] = count;
    stop.W = 0x41;
    return stop;
}

struct Names {
    std::vector<CodSymbol> registers{{"Count", true, 0x0C}};
    std::vector<SpecialRegister> specials{
        {"STATUS", 3, {"C", "DC", "Z", "/PD", "/TO", "RP0", "RP1", "IRP"}},
        {"PORTB", 6, {"RB0", "RB1", "RB2", "RB3", "RB4", "RB5", "RB6", "RB7"}}};
    std::vector<CodSymbol> symbols{{"Count", true, 0x0C}, {"Loop", false, 4}, {"LIMIT", true, 200}};
    ChipNames chip() const { return {registers, specials, symbols}; }
};

TEST(ChipViews, TheGridHasBanksLeavesOutRowsWithoutRegistersAndMarksWhatChanged) {
    SimStop before = Stop(1, 0), now = Stop(2, 0);
    Names names;
    std::vector<MemoryGridRow> rows = MemoryGridRows(now.memory, &before.memory, 0x80, names.registers);
    ASSERT_EQ(rows.size(), 0x100u / 16 - 3 - 3);  // 0x50..0x7F and 0xD0..0xFF have no register
    EXPECT_EQ(rows[0].bank, "Bank 0");
    EXPECT_EQ(rows[1].bank, "");
    EXPECT_EQ(rows[5].address, 0x80u);
    EXPECT_EQ(rows[5].bank, "Bank 1");
    EXPECT_EQ(rows[0].values[0xC], 2);
    EXPECT_TRUE(rows[0].changed[0xC]);
    EXPECT_FALSE(rows[0].changed[3]);
    EXPECT_EQ(rows[0].names, "0c Count");
    // the first stop of a session marks nothing; an EEPROM has no banks
    EXPECT_FALSE(MemoryGridRows(now.memory, nullptr, 0x80, {})[0].changed[0xC]);
    EXPECT_EQ(MemoryGridRows(now.memory, nullptr, 0, {})[0].bank, "");
    EXPECT_EQ(CellName(6, names.chip()), "PORTB");
    EXPECT_EQ(CellName(0x0C, names.chip()), "Count");
}

TEST(ChipViews, WatchesByNameInAnyCaseOrAddressInFourFormats) {
    Names names;
    SimStop before = Stop(0x41, 0x81), now = Stop(0x41, 0x80);
    std::vector<WatchRow> rows = WatchRows({{"count", WatchFormat::Char},
                                           {"PORTB", WatchFormat::Binary},
                                           {"0x0c", WatchFormat::Decimal},
                                           {"Nothing", WatchFormat::Hex},
                                           {"0x200", WatchFormat::Hex}},
                                          &now, &before, names.chip());
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].value, "'A'");
    EXPECT_EQ(rows[0].address, "0x0C");
    EXPECT_FALSE(rows[0].changed);
    EXPECT_EQ(rows[1].value, "0b10000000");
    EXPECT_EQ(rows[1].bits, "RB7=1 RB6=0 RB5=0 RB4=0 RB3=0 RB2=0 RB1=0 RB0=0");
    EXPECT_TRUE(rows[1].changed);
    EXPECT_EQ(rows[2].value, "65");
    EXPECT_EQ(rows[3].value, "unknown name");
    EXPECT_EQ(rows[4].value, "unknown name");  // past the 512 file registers
    EXPECT_EQ(FormatByte(7, WatchFormat::Char), "'.'");
    EXPECT_EQ(FormatByte(-1, WatchFormat::Hex), "--");
    EXPECT_EQ(WatchRows({{"Count", WatchFormat::Hex}}, nullptr, nullptr, names.chip())[0].value, "not stopped");
    for (WatchFormat format : {WatchFormat::Hex, WatchFormat::Decimal, WatchFormat::Binary, WatchFormat::Char})
        EXPECT_EQ(WatchFormatFromText(WatchFormatText(format)), format);
    EXPECT_EQ(WatchFormatFromText("octal"), WatchFormat::Hex);
}

TEST(ChipViews, TheTooltipOfANameSaysWhatItHoldsOrWhereItIs) {
    Names names;
    SimStop stop = Stop(5, 0x80);
    EXPECT_EQ(ValueTip("Count", stop, names.chip()), "Count (0x0C) = 0x05 = 5 = 0b00000101");
    EXPECT_EQ(ValueTip("portb", stop, names.chip()),
              "PORTB (0x06) = 0x80 = 128 = 0b10000000\nRB7=1 RB6=0 RB5=0 RB4=0 RB3=0 RB2=0 RB1=0 RB0=0");
    EXPECT_EQ(ValueTip("RP0", stop, names.chip()), "RP0: bit 5 of STATUS = 0");
    EXPECT_EQ(ValueTip("NOT_TO", stop, names.chip()), "NOT_TO: bit 4 of STATUS = 1");
    EXPECT_EQ(ValueTip("Loop", stop, names.chip()), "Loop: program address 0x0004");
    EXPECT_EQ(ValueTip("LIMIT", stop, names.chip()), "LIMIT = 0xC8 = 200");
    EXPECT_EQ(ValueTip("W", stop, names.chip()), "W = 0x41 = 65 = 0b01000001");
    EXPECT_EQ(ValueTip("movf", stop, names.chip()), "");
    EXPECT_EQ(ValueTip("", stop, names.chip()), "");
}

TEST(ChipViews, PortsShowEachPinsDirectionAndLevelByTheHeadersNames) {
    SimStop stop = Stop(0, 0x81);
    stop.memory[5] = 0x10;    // PORTA: RA4 high
    stop.memory[0x85] = 0x1F; // TRISA: all inputs
    stop.memory[0x86] = 0xFE; // TRISB: RB0 an output
    std::vector<SpecialRegister> registers{
        {"PORTA", 5, {"RA0", "RA1", "RA2", "RA3", "RA4", "", "", ""}},
        {"PORTB", 6, {"RB0", "RB1", "RB2", "RB3", "RB4", "RB5", "RB6", "RB7"}},
        {"TRISA", 0x85, {}},
        {"TRISB", 0x86, {}}};
    std::vector<PortRow> ports = PortRows(stop, registers);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].port, "PORTA");
    ASSERT_EQ(ports[0].pins.size(), 5u);  // the part has five pins on PORTA
    EXPECT_EQ(ports[0].pins[0].name, "RA4");
    EXPECT_TRUE(ports[0].pins[0].high);
    EXPECT_FALSE(ports[0].pins[0].output);
    ASSERT_EQ(ports[1].pins.size(), 8u);
    EXPECT_EQ(ports[1].pins[7].name, "RB0");
    EXPECT_TRUE(ports[1].pins[7].output);
    EXPECT_TRUE(ports[1].pins[7].high);
    EXPECT_TRUE(ports[1].pins[0].high);  // RB7, an input read high
    EXPECT_FALSE(ports[1].pins[0].output);
}

}  // namespace
