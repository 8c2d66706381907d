// SPDX-License-Identifier: GPL-3.0-or-later
// The instruction table against its own counts, the simulator core's decoding and what gpasm assembles.
#include "sim/InstructionSet.h"

#include "sim/Decoexec.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace sim;

TEST(InstructionSetTable, HasThirtyFiveRowsFoundByNameInAnyCase) {
    std::set<std::string_view> names;
    for (const Instruction& row : kInstructions) {
        names.insert(row.Mnemonic);
        std::string upper(row.Mnemonic);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(FindMnemonic(upper), &row) << upper;
        EXPECT_EQ(FindMnemonic(row.Mnemonic), &row) << row.Mnemonic;
        EXPECT_EQ(FindInstruction(row.Opcode), &row) << row.Mnemonic;  // the assembler's word is its own
        EXPECT_EQ(row.Description.back(), '.') << row.Mnemonic;
    }
    EXPECT_EQ(std::size(kInstructions), 35u);
    EXPECT_EQ(names.size(), 35u);
    EXPECT_EQ(FindMnemonic("movl"), nullptr);
    EXPECT_EQ(FindMnemonic("tris"), nullptr);
    EXPECT_EQ(FindMnemonic(""), nullptr);
    EXPECT_EQ(CyclesText(*FindMnemonic("goto")), "2");
    EXPECT_EQ(CyclesText(*FindMnemonic("btfsc")), "1 (2 if skip)");
    EXPECT_EQ(CyclesText(*FindMnemonic("movwf")), "1");
}

// Written out from the data sheet's summary table, independently of kInstructions.
TEST(InstructionSetTable, OperandsCyclesAndStatusBitsAreTheDataSheets) {
    const std::set<std::string_view> twoCycles = {"call", "goto", "return", "retlw", "retfie"};
    const std::set<std::string_view> skips = {"decfsz", "incfsz", "btfsc", "btfss"};
    const std::map<std::string_view, std::string_view> status = {
        {"addwf", "C, DC, Z"}, {"subwf", "C, DC, Z"}, {"addlw", "C, DC, Z"},  {"sublw", "C, DC, Z"},
        {"rlf", "C"},          {"rrf", "C"},          {"clrwdt", "/TO, /PD"}, {"sleep", "/TO, /PD"},
        {"andwf", "Z"},        {"clrf", "Z"},         {"clrw", "Z"},          {"comf", "Z"},
        {"decf", "Z"},         {"incf", "Z"},         {"iorwf", "Z"},         {"movf", "Z"},
        {"xorwf", "Z"},        {"andlw", "Z"},        {"iorlw", "Z"},         {"xorlw", "Z"}};
    const std::string_view operands[] = {"", "f,d", "f", "f,b", "k", "k"};  // by OperandForm
    for (const Instruction& row : kInstructions) {
        const std::string_view name = row.Mnemonic;
        EXPECT_EQ(row.Cycles, twoCycles.count(name) ? 2 : 1) << name;
        EXPECT_EQ(row.CyclesIfSkip, skips.count(name) ? 2 : 0) << name;
        EXPECT_EQ(row.StatusBits, status.count(name) ? status.at(name) : "None") << name;
        EXPECT_EQ(row.Operands, operands[static_cast<std::size_t>(row.Form)]) << name;
    }
}

// How many of the 16,384 words each row decodes, from the encoding's free bits; two rows that overlapped
// would leave the later one short.
TEST(InstructionSetDecode, EveryRowCoversItsWordCount) {
    std::map<std::string_view, int> expected = {
        {"nop", 4},     {"return", 1},  {"retfie", 1},   {"sleep", 1},    {"clrwdt", 1},   {"movwf", 128},
        {"clrw", 128},  {"clrf", 128},  {"bcf", 1024},   {"bsf", 1024},   {"btfsc", 1024}, {"btfss", 1024},
        {"call", 2048}, {"goto", 2048}, {"movlw", 1024}, {"retlw", 1024}, {"iorlw", 256},  {"andlw", 256},
        {"xorlw", 256}, {"sublw", 512}, {"addlw", 512}};
    for (std::string_view name : {"subwf", "decf", "iorwf", "andwf", "xorwf", "addwf", "movf", "comf", "incf",
                                  "decfsz", "rrf", "rlf", "swapf", "incfsz"})
        expected[name] = 256;
    std::map<std::string_view, int> counted;
    int withoutInstruction = 0;
    for (unsigned word = 0; word <= 0x3FFF; ++word) {
        const Instruction* row = FindInstruction(static_cast<uint16_t>(word));
        if (row != nullptr)
            ++counted[row->Mnemonic];
        else
            ++withoutInstruction;
    }
    EXPECT_EQ(counted, expected);
    EXPECT_EQ(withoutInstruction, 376);  // 0x0001..0x007F outside the eight specials, 0x3B00..0x3BFF
    EXPECT_EQ(FindInstruction(0x4000), nullptr);
}

// The mnemonic of each sim::Operation, in the enum's order; bit 7 tells its ToW and ToF apart.
const std::string_view kCoreNames[] = {
    "",      "nop",    "return", "movwf", "clrf",  "subwf", "subwf", "decf",  "decf",  "iorwf",  "iorwf",
    "andwf", "andwf",  "xorwf",  "xorwf", "addwf", "addwf", "movf",  "movf",  "comf",  "comf",   "incf",
    "incf",  "decfsz", "decfsz", "rrf",   "rrf",   "rlf",   "rlf",   "swapf", "swapf", "incfsz", "incfsz",
    "call",  "goto",   "movlw",  "retlw", "iorlw", "andlw", "xorlw", "sublw", "addlw"};

static_assert(std::size(kCoreNames) == static_cast<std::size_t>(Operation::Addlw) + 1);

// Where the core has an operation the table names it; where it has none, the table has nothing or an
// instruction the core leaves out.
TEST(InstructionSetDecode, AgreesWithTheSimulatorCoreOnEveryWord) {
    const std::set<std::string_view> notInCore = {"clrw", "retfie", "sleep", "clrwdt",
                                                  "bcf",  "bsf",    "btfsc", "btfss"};
    for (std::size_t word = 0; word < kWordCount; ++word) {
        const Instruction* row = FindInstruction(static_cast<uint16_t>(word));
        const std::string_view core = kCoreNames[static_cast<std::size_t>(OperationTable[word])];
        if (core.empty())
            EXPECT_TRUE(row == nullptr || notInCore.count(row->Mnemonic)) << std::hex << word;
        else
            EXPECT_EQ(row != nullptr ? row->Mnemonic : "(none)", core) << std::hex << word;
    }
}

TEST(InstructionSetDisassembly, WritesWordsAsTheEditorDoes) {
    const std::pair<uint16_t, std::string_view> kWords[] = {
        {0x1683, "bsf 0x03, 5"}, {0x0820, "movf 0x20, W"},  {0x0BA1, "decfsz 0x21, F"},
        {0x0186, "clrf 0x06"},   {0x2805, "goto 0x005"},    {0x2123, "call 0x123"},
        {0x300F, "movlw 0x0F"},  {0x34FF, "retlw 0xFF"},    {0x0000, "nop"},
        {0x0060, "nop"},         {0x0103, "clrw"},          {0x017F, "clrw"},
        {0x0008, "return"},      {0x0009, "retfie"},        {0x0063, "sleep"},
        {0x0064, "clrwdt"},      {0x1FFF, "btfss 0x7F, 7"}, {0x00A0, "movwf 0x20"},
        {0x3DFF, "sublw 0xFF"},  {0x3E01, "addlw 0x01"},    {0x3FFF, "addlw 0xFF"},
        {0x3B00, "dw 0x3B00"},   {0x0062, "dw 0x0062"},     {0x0001, "dw 0x0001"},
        {0xFFFF, "dw 0xFFFF"}};
    for (const auto& [word, text] : kWords)
        EXPECT_EQ(Disassemble(word), text) << std::hex << word;
}

// The operand bits to try for each form, indexed by OperandForm: every field at both ends and between.
const std::vector<uint16_t> kOperandBits[] = {
    {0x000},
    {0x000, 0x025, 0x07F, 0x080, 0x0A5, 0x0FF},  // f,d
    {0x000, 0x025, 0x07F},                       // f
    {0x000, 0x283, 0x0A5, 0x3FF},                // f,b: 0x00,0  0x03,5  0x25,1  0x7F,7
    {0x000, 0x00F, 0x0A5, 0x0FF},                // k
    {0x000, 0x123, 0x7FF},                       // k: program address
};

std::vector<uint16_t> WordsOfEveryRow() {
    std::vector<uint16_t> words;
    for (const Instruction& row : kInstructions)
        for (uint16_t bits : kOperandBits[static_cast<std::size_t>(row.Form)])
            words.push_back(static_cast<uint16_t>(row.Opcode | bits));
    return words;
}

// The program words of an Intel HEX file in its first 64 KiB, by word address.
std::map<unsigned, uint16_t> ReadHexWords(const std::string& hex) {
    std::map<unsigned, uint16_t> words;
    std::istringstream in(hex);
    for (std::string line; std::getline(in, line) && line.size() >= 11;) {
        const auto byteAt = [&line](unsigned i) {
            return std::stoul(line.substr(1 + 2 * i, 2), nullptr, 16);
        };
        const unsigned address = (byteAt(1) << 8) | byteAt(2);
        for (unsigned i = 0; byteAt(3) == 0 && i < byteAt(0); ++i)  // data records only
            words[(address + i) / 2] |= static_cast<uint16_t>(byteAt(4 + i) << ((address + i) % 2 * 8));
    }
    return words;
}

// Each row's words, disassembled and assembled again by gpasm, come back as the same words.
TEST(InstructionSetAssembler, GpasmAssemblesTheDisassemblyToTheSameWords) {
    if (std::system("command -v gpasm >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gpasm is not installed";
    const TempDir dir;
    const std::vector<uint16_t> words = WordsOfEveryRow();
    std::string source = "\tprocessor 16f877a\n\tlist p=16f877a\n\terrorlevel -302\n";
    for (uint16_t word : words)
        source += '\t' + Disassemble(word) + '\n';
    WriteAll(dir / "words.asm", source + "\tend\n");
    const std::string command =
        "cd '" + dir.path().string() + "' && gpasm -a inhx32 words.asm >gpasm.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir / "gpasm.log");
    const std::map<unsigned, uint16_t> assembled = ReadHexWords(ReadAll(dir / "words.hex"));
    ASSERT_EQ(assembled.size(), words.size());
    for (unsigned address = 0; address < words.size(); ++address)
        EXPECT_EQ(assembled.at(address), words[address]) << Disassemble(words[address]);
}

}  // namespace
