// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the .cod file: a directory block that points at tables of 512-byte blocks.
#include "gpsim/CodFile.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

constexpr size_t kBlock = 512;
// Offsets in the directory block; each table is a first and a last block number, little-endian.
constexpr size_t kNameTable = 0x1ae;
constexpr size_t kLineTable = 0x1b2;
constexpr size_t kProcessor = 0x1c5;  // a counted string
constexpr size_t kLongSymbols = 0x1ce;
constexpr size_t kNameEntry = 64;  // each file name is a counted string in 64 bytes
constexpr size_t kLineEntry = 6;   // file, flags, line (2), address (2)
constexpr uint8_t kNoCodeFlag = 0x10;
constexpr uint16_t kConstantType = 47;  // an EQU name
constexpr uint16_t kBlockType = 2;      // a CBLOCK name

unsigned Byte(std::string_view bytes, size_t at) {
    return at < bytes.size() ? uint8_t(bytes[at]) : 0u;
}
unsigned Little16(std::string_view bytes, size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}
uint32_t Big32(std::string_view bytes, size_t at) {
    return uint32_t(Byte(bytes, at)) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 |
           Byte(bytes, at + 3);
}
std::string Counted(std::string_view bytes, size_t at, size_t room) {
    size_t length = std::min<size_t>(Byte(bytes, at), room - 1);
    return at + 1 + length <= bytes.size() ? std::string(bytes.substr(at + 1, length)) : std::string();
}

// The byte range of a table's blocks; empty when the directory names none or it lies past the end.
std::string_view Table(std::string_view bytes, size_t entry) {
    size_t first = Little16(bytes, entry), last = Little16(bytes, entry + 2);
    if (first == 0 || last < first || (last + 1) * kBlock > bytes.size())
        return {};
    return bytes.substr(first * kBlock, (last - first + 1) * kBlock);
}

void ReadRom(std::string_view bytes, std::vector<std::string>& blocks) {
    // the directory's first half lists the block of each 256 words of the program
    for (size_t slot = 0; slot < 128; ++slot) {
        size_t block = Little16(bytes, slot * 2);
        if (block == 0 || (block + 1) * kBlock > bytes.size())
            continue;
        blocks.resize(slot + 1);
        blocks[slot] = std::string(bytes.substr(block * kBlock, kBlock));
    }
}

void ReadNames(std::string_view table, std::vector<std::string>& sources) {
    for (size_t at = 0; at + kNameEntry <= table.size(); at += kNameEntry) {
        std::string name = Counted(table, at, kNameEntry);
        if (!name.empty())
            sources.push_back(std::move(name));
    }
}

void ReadLines(std::string_view table, std::vector<CodLine>& lines) {
    for (size_t block = 0; block < table.size(); block += kBlock)
        for (size_t at = block; at + kLineEntry <= block + kBlock; at += kLineEntry) {
            unsigned flags = Byte(table, at + 1);
            unsigned line = Little16(table, at + 2);
            if (line == 0 || flags == 0xff)  // unused room at a block's end, or a marker without a line
                continue;
            lines.push_back(
                {int(Byte(table, at)), int(line), Little16(table, at + 4), (flags & kNoCodeFlag) == 0});
        }
}

void ReadSymbols(std::string_view table, std::vector<CodSymbol>& symbols) {
    for (size_t block = 0; block < table.size(); block += kBlock)
        for (size_t at = block; at < block + kBlock;) {
            size_t length = Byte(table, at);
            if (length == 0 || at + 1 + length + 6 > block + kBlock)
                break;  // the rest of the block is empty
            std::string name(table.substr(at + 1, length));
            unsigned type = Little16(table, at + 1 + length);
            const bool constant = type == kConstantType || type == kBlockType;
            symbols.push_back({std::move(name), constant, Big32(table, at + 3 + length)});
            at += 1 + length + 6;
        }
}

}  // namespace

std::optional<CodFile> CodFile::Parse(std::string_view bytes, std::string& error) {
    if (bytes.size() < kBlock || bytes.size() % kBlock != 0) {
        error = "not a .cod file (its size is not a whole number of blocks)";
        return std::nullopt;
    }
    CodFile cod;
    cod.processor = Counted(bytes, kProcessor, 9);
    ReadRom(bytes, cod.romBlocks);
    ReadNames(Table(bytes, kNameTable), cod.sources);
    ReadLines(Table(bytes, kLineTable), cod.lines);
    ReadSymbols(Table(bytes, kLongSymbols), cod.symbols);
    if (cod.sources.size() > kMaxCodSources) {
        // each source is looked at before every command: a real program has a few dozen
        error = "not a program's .cod file (it names more than " + std::to_string(kMaxCodSources) + " sources)";
        return std::nullopt;
    }
    if (cod.processor.empty() || cod.sources.empty()) {
        error = "not a .cod file (it names no processor or no source)";
        return std::nullopt;
    }
    return cod;
}

std::optional<CodFile> CodFile::Load(const std::string& path, std::string& error) {
    std::string why;
    std::optional<std::string> bytes = ReadRegularFile(path, kMaxCodBytes, why);
    if (!bytes) {
        error = path + " " + (why.starts_with("is ") ? why : "cannot be read: " + why);
        return std::nullopt;
    }
    return Parse(*bytes, error);
}

std::optional<uint16_t> CodFile::WordAt(uint32_t address) const {
    size_t slot = address / 256, at = (address % 256) * 2;
    if (slot >= romBlocks.size() || romBlocks[slot].empty())
        return std::nullopt;
    return uint16_t(Little16(romBlocks[slot], at));
}

std::optional<uint32_t> CodFile::AddressOfLine(int file, int line) const {
    for (const CodLine& entry : lines)
        if (entry.code && entry.file == file && entry.line == line)
            return entry.address;
    return std::nullopt;
}

std::optional<CodLine> CodFile::LineOfAddress(uint32_t address) const {
    for (const CodLine& entry : lines)
        if (entry.code && entry.address == address)
            return entry;
    return std::nullopt;
}

std::string CodFile::SourcePath(const std::string& folder, int file) const {
    if (file < 0 || size_t(file) >= sources.size())
        return {};
    std::string name = sources[size_t(file)];
    if (name.starts_with("/"))
        return name;
    while (name.starts_with("./"))
        name.erase(0, 2);
    return folder + (folder.empty() || folder.ends_with("/") ? "" : "/") + name;
}

int CodFile::SourceIndex(const std::string& folder, const std::string& path) const {
    for (size_t i = 0; i < sources.size(); ++i)
        if (SourcePath(folder, int(i)) == path)
            return int(i);
    return -1;
}

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

}  // namespace

std::vector<std::string> HeaderNames(std::string_view text) {
    std::vector<std::string> names;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        if (words >> first && first[0] != ';')
            names.push_back(Upper(first));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<CodSymbol> ProgramRegisters(const CodFile& cod, const std::vector<std::string>& headerNames,
                                        uint32_t ramSize) {
    std::vector<CodSymbol> registers;
    for (const CodSymbol& symbol : cod.symbols) {
        // names with a leading underscore are the assembler's own (__CONFIG bits, __CODE_START ...)
        if (!symbol.constant || symbol.value >= ramSize || symbol.name.starts_with("_"))
            continue;
        if (!std::binary_search(headerNames.begin(), headerNames.end(), Upper(symbol.name)))
            registers.push_back(symbol);
    }
    std::stable_sort(registers.begin(), registers.end(),
                     [](const CodSymbol& a, const CodSymbol& b) { return a.value < b.value; });
    return registers;
}

int StackEffect(uint16_t word) {
    if ((word & 0x3800) == 0x2000)  // CALL k
        return 1;
    if (word == 0x0008 || word == 0x0009 || (word & 0x3C00) == 0x3400)  // RETURN, RETFIE, RETLW k
        return -1;
    return 0;
}
