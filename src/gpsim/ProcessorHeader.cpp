// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a gputils processor header: register EQUs under "Register Files", bit EQUs under "NAME Bits".
#include "gpsim/ProcessorHeader.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace {

std::string_view Trim(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// "STATUS           EQU  H'0003'" -> name and value; false for any other line.
bool ReadEqu(std::string_view line, std::string& name, uint32_t& value) {
    size_t cut = line.find_first_of(" \t");
    if (cut == std::string_view::npos || cut == 0 || line[0] == ';')
        return false;
    name = std::string(line.substr(0, cut));
    std::string_view rest = Trim(line.substr(cut));
    if (rest.size() < 3 || (rest.substr(0, 3) != "EQU" && rest.substr(0, 3) != "equ"))
        return false;
    rest = Trim(rest.substr(3));
    if (rest.size() < 4 || (rest[0] != 'H' && rest[0] != 'h') || rest[1] != '\'')
        return false;
    rest.remove_prefix(2);
    size_t close = rest.find('\'');
    if (close == std::string_view::npos)
        return false;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + close, value, 16);
    return error == std::errc() && end == rest.data() + close;
}

// ";----- STATUS Bits ----" -> "STATUS"; ";----- Register Files ---" -> "Register Files"; else empty.
std::string SectionOf(std::string_view line) {
    if (!line.starts_with(";-----"))
        return {};
    std::string_view title = Trim(line.substr(6));
    size_t dashes = title.find("---");
    return std::string(Trim(title.substr(0, dashes)));
}

std::string BitName(const std::string& name) {
    return name.starts_with("NOT_") ? "/" + name.substr(4) : name;
}

}  // namespace

std::vector<SpecialRegister> ReadSpecialRegisters(std::string_view header) {
    std::map<uint32_t, SpecialRegister> byAddress;
    std::map<std::string, uint32_t> addressOf;
    enum class Part { Other, Registers, Bits } part = Part::Other;
    std::string bitsOf;
    while (!header.empty()) {
        size_t end = header.find('\n');
        std::string_view line = header.substr(0, end);
        header = end == std::string_view::npos ? std::string_view{} : header.substr(end + 1);
        if (std::string section = SectionOf(line); !section.empty()) {
            if (section == "Register Files") {
                part = Part::Registers;
            } else if (section.starts_with("Bank")) {
                // a bank's heading inside the register files
            } else if (section.size() > 5 && section.ends_with(" Bits")) {
                part = Part::Bits;
                bitsOf = section.substr(0, section.size() - 5);
            } else {
                part = Part::Other;
            }
            continue;
        }
        if (line.starts_with(";="))
            part = Part::Other;  // a new chapter: RAM, configuration bits
        std::string name;
        uint32_t value = 0;
        if (part == Part::Other || !ReadEqu(line, name, value))
            continue;
        if (part == Part::Registers) {
            SpecialRegister& reg = byAddress[value];
            reg.name = name;
            reg.address = value;
            addressOf[name] = value;
        } else if (auto found = addressOf.find(bitsOf); found != addressOf.end() && value < 8) {
            std::string& bit = byAddress[found->second].bits[value];
            if (bit.empty())  // the first name a bit has: the header lists the main one first
                bit = BitName(name);
        }
    }
    std::vector<SpecialRegister> registers;
    for (auto& [address, reg] : byAddress)
        registers.push_back(std::move(reg));
    return registers;
}

std::string BitsText(const SpecialRegister& reg, int value) {
    std::string text;
    for (int bit = 7; bit >= 0; --bit) {
        if (reg.bits[size_t(bit)].empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += reg.bits[size_t(bit)] + "=" + (value >= 0 && (value >> bit) & 1 ? "1" : "0");
    }
    return text;
}
