// SPDX-License-Identifier: GPL-3.0-or-later
// The 35 instructions of the 14-bit core in one table (encoding, operands, cycles, meaning); a disassembler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace sim {

// How the operand bits of a word are laid out.
enum class OperandForm : uint8_t {
    None,       // no operand
    FileDest,   // f,d: register in bits 6..0, destination in bit 7 (0 = W, 1 = f)
    File,       // f: register in bits 6..0
    Bit,        // f,b: register in bits 6..0, bit number in bits 9..7
    Literal8,   // k: eight-bit literal in bits 7..0
    Address11,  // k: eleven-bit program address in bits 10..0
};

struct Instruction {
    std::string_view Mnemonic;     // lower case, as the editor writes it
    uint16_t Opcode;               // the word with every operand zero, as the assembler writes it
    uint16_t Mask;                 // the bits that name the instruction: word & Mask == Opcode & Mask
    OperandForm Form;              // how the operand bits are laid out
    std::string_view Operands;     // as the data sheet writes them: "f,d", "f", "f,b", "k" or ""
    uint8_t Cycles;                // instruction cycles when nothing is skipped
    uint8_t CyclesIfSkip;          // cycles when the next word is skipped; 0 where nothing is skipped
    std::string_view StatusBits;   // the STATUS bits it changes: "C, DC, Z", "Z", "/TO, /PD" or "None"
    std::string_view Description;  // what it does, in one sentence
};

// clang-format off
inline constexpr Instruction kInstructions[] = {
    // Byte-oriented file register operations.
    {"addwf",  0x0700, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "C, DC, Z",
     "Add W and f; result in W if d = 0, in f if d = 1."},
    {"andwf",  0x0500, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "AND W with f; result in W if d = 0, in f if d = 1."},
    {"clrf",   0x0180, 0x3F80, OperandForm::File,     "f",   1, 0, "Z",
     "Clear f to zero and set the Z bit."},
    {"clrw",   0x0103, 0x3F80, OperandForm::None,     "",    1, 0, "Z",
     "Clear W to zero and set the Z bit."},
    {"comf",   0x0900, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Complement f (invert every bit); result in W if d = 0, in f if d = 1."},
    {"decf",   0x0300, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Decrement f by one; result in W if d = 0, in f if d = 1."},
    {"decfsz", 0x0B00, 0x3F00, OperandForm::FileDest, "f,d", 1, 2, "None",
     "Decrement f by one; result in W if d = 0, in f if d = 1; skip the next instruction if the result "
     "is 0."},
    {"incf",   0x0A00, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Increment f by one; result in W if d = 0, in f if d = 1."},
    {"incfsz", 0x0F00, 0x3F00, OperandForm::FileDest, "f,d", 1, 2, "None",
     "Increment f by one; result in W if d = 0, in f if d = 1; skip the next instruction if the result "
     "is 0."},
    {"iorwf",  0x0400, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Inclusive OR W with f; result in W if d = 0, in f if d = 1."},
    {"movf",   0x0800, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Move f to W if d = 0, or back to f if d = 1 (which only tests f for zero)."},
    {"movwf",  0x0080, 0x3F80, OperandForm::File,     "f",   1, 0, "None",
     "Move W to f."},
    {"nop",    0x0000, 0x3F9F, OperandForm::None,     "",    1, 0, "None",
     "No operation; spend one instruction cycle."},
    {"rlf",    0x0D00, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "C",
     "Rotate f one bit left through the Carry flag; result in W if d = 0, in f if d = 1."},
    {"rrf",    0x0C00, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "C",
     "Rotate f one bit right through the Carry flag; result in W if d = 0, in f if d = 1."},
    {"subwf",  0x0200, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "C, DC, Z",
     "Subtract W from f (f - W); result in W if d = 0, in f if d = 1."},
    {"swapf",  0x0E00, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "None",
     "Exchange the upper and lower nibbles of f; result in W if d = 0, in f if d = 1."},
    {"xorwf",  0x0600, 0x3F00, OperandForm::FileDest, "f,d", 1, 0, "Z",
     "Exclusive OR W with f; result in W if d = 0, in f if d = 1."},
    // Bit-oriented file register operations.
    {"bcf",    0x1000, 0x3C00, OperandForm::Bit,      "f,b", 1, 0, "None",
     "Clear bit b of f."},
    {"bsf",    0x1400, 0x3C00, OperandForm::Bit,      "f,b", 1, 0, "None",
     "Set bit b of f."},
    {"btfsc",  0x1800, 0x3C00, OperandForm::Bit,      "f,b", 1, 2, "None",
     "Test bit b of f; skip the next instruction if the bit is 0."},
    {"btfss",  0x1C00, 0x3C00, OperandForm::Bit,      "f,b", 1, 2, "None",
     "Test bit b of f; skip the next instruction if the bit is 1."},
    // Literal and control operations.
    {"addlw",  0x3E00, 0x3E00, OperandForm::Literal8,  "k",  1, 0, "C, DC, Z",
     "Add the literal k to W; result in W."},
    {"andlw",  0x3900, 0x3F00, OperandForm::Literal8,  "k",  1, 0, "Z",
     "AND the literal k with W; result in W."},
    {"call",   0x2000, 0x3800, OperandForm::Address11, "k",  2, 0, "None",
     "Call the subroutine at k: push the return address, then load PC<10:0> from k and PC<12:11> from "
     "PCLATH<4:3>."},
    {"clrwdt", 0x0064, 0x3FFF, OperandForm::None,      "",   1, 0, "/TO, /PD",
     "Clear the watchdog timer and its prescaler, and set the /TO and /PD bits."},
    {"goto",   0x2800, 0x3800, OperandForm::Address11, "k",  2, 0, "None",
     "Go to address k: load PC<10:0> from k and PC<12:11> from PCLATH<4:3>."},
    {"iorlw",  0x3800, 0x3F00, OperandForm::Literal8,  "k",  1, 0, "Z",
     "Inclusive OR the literal k with W; result in W."},
    {"movlw",  0x3000, 0x3C00, OperandForm::Literal8,  "k",  1, 0, "None",
     "Move the literal k to W."},
    {"retfie", 0x0009, 0x3FFF, OperandForm::None,      "",   2, 0, "None",
     "Return from interrupt: pop the return address from the stack and set GIE (INTCON<7>)."},
    {"retlw",  0x3400, 0x3C00, OperandForm::Literal8,  "k",  2, 0, "None",
     "Return from a subroutine with the literal k in W: pop the return address from the stack."},
    {"return", 0x0008, 0x3FFF, OperandForm::None,      "",   2, 0, "None",
     "Return from a subroutine: pop the return address from the stack."},
    {"sleep",  0x0063, 0x3FFF, OperandForm::None,      "",   1, 0, "/TO, /PD",
     "Go into sleep mode: clear /PD, set /TO, clear the watchdog timer and its prescaler, and stop the "
     "oscillator."},
    {"sublw",  0x3C00, 0x3E00, OperandForm::Literal8,  "k",  1, 0, "C, DC, Z",
     "Subtract W from the literal k (k - W); result in W."},
    {"xorlw",  0x3A00, 0x3F00, OperandForm::Literal8,  "k",  1, 0, "Z",
     "Exclusive OR the literal k with W; result in W."},
};
// clang-format on

static_assert(std::size(kInstructions) == 35, "the 14-bit core has 35 instructions");

// The row that decodes word, or nullptr for a word that is no instruction (any word above 0x3FFF among them).
const Instruction* FindInstruction(uint16_t word);

// The row of a mnemonic in any case ("MOVLW", "movlw"), or nullptr.
const Instruction* FindMnemonic(std::string_view name);

// The cycles as the data sheet writes them: "1", "2" or "1 (2 if skip)".
std::string CyclesText(const Instruction& instruction);

// One word as the editor would write it: "bsf 0x03, 5", "movf 0x20, W", "goto 0x005", "movlw 0x0F";
// a word that is no instruction as data, "dw 0x3B00".
std::string Disassemble(uint16_t word);

}  // namespace sim
