// SPDX-License-Identifier: GPL-3.0-or-later
// The .cod file gpasm writes beside the .hex: the processor, the source files, which source line holds
// which program address, and the symbols with their values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CodLine {
    int file = 0;  // index into CodFile::sources
    int line = 0;  // from 1, as the assembler counts
    uint32_t address = 0;
    bool code = false;  // the line put an instruction at `address` (not a directive or comment)
};

struct CodSymbol {
    std::string name;
    bool constant = false;  // an EQU or CBLOCK name; otherwise a label (a program address) or other
    uint32_t value = 0;
};

// A .cod larger than this is refused: a full 8K-word program with its lines and symbols is far smaller.
inline constexpr size_t kMaxCodBytes = 16 * 1024 * 1024;
inline constexpr size_t kMaxCodSources = 1024;

class CodFile {
  public:
    // Reads the file's bytes; none when they are not a .cod file (error says why).
    static std::optional<CodFile> Parse(std::string_view bytes, std::string& error);
    // Reads a regular file of at most kMaxCodBytes without ever blocking (a FIFO or a device is refused).
    static std::optional<CodFile> Load(const std::string& path, std::string& error);

    std::string processor;             // as the assembler wrote it, e.g. "16f877a"
    std::vector<std::string> sources;  // as the assembler named them: relative to its folder or absolute
    std::vector<CodLine> lines;
    std::vector<CodSymbol> symbols;
    std::vector<std::string> romBlocks;  // 256 words each, little-endian; empty where the program has none

    // The instruction word at a program address; none outside the program.
    std::optional<uint16_t> WordAt(uint32_t address) const;
    // The program address of a source line that holds an instruction; none for a line without code.
    std::optional<uint32_t> AddressOfLine(int file, int line) const;
    // The source line of the instruction at `address`; none when no line put one there.
    std::optional<CodLine> LineOfAddress(uint32_t address) const;
    // The index of the source whose path, taken from `folder`, is `path`; -1 when none is.
    int SourceIndex(const std::string& folder, const std::string& path) const;
    // A source path taken from `folder` ("./sub.inc" and "sub.inc" in "/p/" are "/p/sub.inc").
    std::string SourcePath(const std::string& folder, int file) const;
};

// The names the program gives its file registers: EQU and CBLOCK names below `ramSize` that no processor
// header defines (`headerNames`, upper-case), in address order.
std::vector<CodSymbol> ProgramRegisters(const CodFile& cod, const std::vector<std::string>& headerNames,
                                        uint32_t ramSize);
// The names a processor header defines: the first word of each line that is not a comment, upper-cased.
std::vector<std::string> HeaderNames(std::string_view text);

// What an instruction word does to the return stack: +1 for CALL, -1 for RETURN, RETLW and RETFIE.
int StackEffect(uint16_t word);
