// SPDX-License-Identifier: GPL-3.0-or-later
// The special function registers of a part and the names of their bits, read from the processor header
// gputils ships for it (its register and bit EQUs): nothing about a part is typed in by hand.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SpecialRegister {
    std::string name;  // as the header has it, "STATUS"; of two names at one address the later ("TMR1L")
    uint32_t address = 0;
    std::array<std::string, 8> bits;  // by bit number; "/TO" for NOT_TO; empty where the header names none
};

// Every register of the header's "Register Files" part, by address, with the bits its "NAME Bits" part
// names. Lines the reader does not know are passed over; any text gives a (perhaps empty) list.
std::vector<SpecialRegister> ReadSpecialRegisters(std::string_view header);

// "IRP=0 RP1=0 RP0=1 /TO=1 /PD=1 Z=0 DC=0 C=0": the named bits of a value, highest first.
std::string BitsText(const SpecialRegister& reg, int value);
