// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a 14-bit word through the instruction table, and writing it back as the editor's text.
#include "sim/InstructionSet.h"

#include <cctype>

namespace sim {
namespace {

constexpr uint16_t kLargestWord = 0x3FFF;

// "0x" and the value in upper-case hex digits, zero-padded to digits.
std::string Hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 0xF];
    return text;
}

std::string Register(uint16_t word) {
    return Hex(word & 0x7F, 2);
}

std::string NoOperands(uint16_t) {
    return "";
}

std::string FileAndDestination(uint16_t word) {
    static constexpr const char* kDestinations[] = {", W", ", F"};
    return " " + Register(word) + kDestinations[(word >> 7) & 1];
}

std::string FileOnly(uint16_t word) {
    return " " + Register(word);
}

std::string FileAndBit(uint16_t word) {
    return " " + Register(word) + ", " + std::to_string((word >> 7) & 7);
}

std::string Literal(uint16_t word) {
    return " " + Hex(word & 0xFF, 2);
}

std::string Address(uint16_t word) {
    return " " + Hex(word & 0x7FF, 3);
}

using OperandWriter = std::string (*)(uint16_t word);

// Indexed by OperandForm.
constexpr OperandWriter kOperandWriters[] = {
    &NoOperands, &FileAndDestination, &FileOnly, &FileAndBit, &Literal, &Address};

static_assert(std::size(kOperandWriters) == static_cast<std::size_t>(OperandForm::Address11) + 1,
              "one operand writer for each operand form");

bool SameLetters(std::string_view lower, std::string_view name) {
    if (lower.size() != name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lower[i] != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

}  // namespace

const Instruction* FindInstruction(uint16_t word) {
    if (word > kLargestWord)
        return nullptr;
    for (const Instruction& instruction : kInstructions)
        if ((word & instruction.Mask) == (instruction.Opcode & instruction.Mask))
            return &instruction;
    return nullptr;
}

const Instruction* FindMnemonic(std::string_view name) {
    for (const Instruction& instruction : kInstructions)
        if (SameLetters(instruction.Mnemonic, name))
            return &instruction;
    return nullptr;
}

std::string CyclesText(const Instruction& instruction) {
    std::string text = std::to_string(instruction.Cycles);
    if (instruction.CyclesIfSkip != 0)
        text += " (" + std::to_string(instruction.CyclesIfSkip) + " if skip)";
    return text;
}

std::string Disassemble(uint16_t word) {
    const Instruction* instruction = FindInstruction(word);
    if (instruction == nullptr)
        return "dw " + Hex(word, 4);
    return std::string(instruction->Mnemonic) +
           kOperandWriters[static_cast<std::size_t>(instruction->Form)](word);
}

}  // namespace sim
