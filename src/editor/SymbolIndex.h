// SPDX-License-Identifier: GPL-3.0-or-later
// The program's symbols: every label, EQU/SET/CONSTANT/VARIABLE name, CBLOCK name, #define, macro with its
// parameters and LOCAL names, of every file and every file they include, with the uses of each name. Kept
// line by line, so an edit re-reads only the lines it touched (and those after it whose meaning it changed,
// inside a CBLOCK say). Qt-free.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace picsym {

enum class Kind : uint8_t { Label, Constant, Variable, Block, Define, Macro, Parameter, Local };
// "label", "constant", "variable", "cblock", "define", "macro", "parameter", "local" (the kinds ctags -x
// prints in its second column).
std::string_view KindName(Kind kind);

// A name defined on a line.
struct Definition {
    std::string name;
    Kind kind = Kind::Label;
    int column = 0;
    std::string text;  // the value's expression (EQU, SET, CBLOCK: "(0x20)+1"), a #define's text, a macro's parameters
    int radix = 16;    // the radix the expression is read in
    bool inMacro = false;
};

// A name used on a line, where it stands.
struct Use {
    std::string name;
    int column = 0;
    bool operand = false;  // after the mnemonic or directive (not a label, not the directive itself)
};

// What one line leaves for the next: inside a CBLOCK (and the next name's address) or a macro's body, and
// the radix in effect.
struct LineState {
    bool inBlock = false;
    bool inMacro = false;
    bool macroHasParameters = false;
    int radix = 16;
    std::string blockBase = "0";  // the expression of the block's first address
    int blockOffset = 0;
    bool operator==(const LineState&) const = default;
};

struct LineRecord {
    std::vector<Definition> definitions;
    std::vector<Use> uses;
    std::string include;  // the file an #include names, as written
    LineState before;     // the state the line was read in
    LineState after;      // the state after this line
};

// The symbols of one text, line by line.
class FileSymbols {
  public:
    // Reads a whole text (split at CR LF, LF or CR).
    void SetText(std::string_view text);
    // Replaces `removed` lines from `first` (from 0) by `lines`; re-reads those and then the following
    // lines whose starting state changed. Returns how many lines were read.
    int Update(int first, int removed, std::span<const std::string_view> lines);

    int lineCount() const { return int(lines_.size()); }
    const LineRecord& line(int index) const { return lines_[size_t(index)]; }
    const std::string& text(int index) const { return texts_[size_t(index)]; }
    // Every definition of the text in order, with its line.
    void ForEachDefinition(const std::function<void(int line, const Definition&)>& visit) const;
    // How many times each name (folded to lower case) is defined here, outside macro parameters and LOCALs.
    const std::unordered_map<std::string, int>& definedNames() const { return defined_; }
    // Called with a folded name and +1 or -1 whenever a definition comes or goes.
    std::function<void(const std::string& folded, int change)> onDefinitionChanged;

  private:
    void Count(const LineRecord& record, int change);
    LineState StateBefore(int line) const;

    std::vector<LineRecord> lines_;
    std::vector<std::string> texts_;
    std::unordered_map<std::string, int> defined_;
};

// Reads one line given the state before it.
LineRecord ReadLine(std::string_view line, const LineState& before);
// Splits a text into lines at CR LF, LF or CR; a line end at the end starts no further line.
std::vector<std::string_view> SplitTextLines(std::string_view text);
// "movlw" -> true: a mnemonic, a directive or a data directive.
bool IsKeyword(std::string_view word);
std::string Fold(std::string_view name);

// An expression's value: numbers in any radix notation (0x1F, H'1F', .31, D'31', B'11111', O'37', 'A'),
// names through `lookup`, + - * / % << >> & | ^ ~ ! ( ) and the comparisons; none when it cannot be read.
std::optional<int64_t> Evaluate(std::string_view expression, int radix,
                                const std::function<std::optional<int64_t>(std::string_view)>& lookup);

// Where a name is defined or used.
struct Location {
    std::string file;
    int line = 0;  // from 0
    int column = 0;
};

struct Symbol {
    std::string name;
    Kind kind = Kind::Label;
    Location where;
    std::string text;
    std::optional<int64_t> value;
};

// The symbols of a program: its files and every file they include, found as gpasm finds them (the
// including file's folder, the -I folders, then gputils' header folder).
class SymbolIndex {
  public:
    SymbolIndex();
    ~SymbolIndex();
    void SetIncludeFolders(std::vector<std::string> folders) { includeFolders_ = std::move(folders); }
    // A file's text as it now stands (an editor's buffer); its includes are read from disk when not known.
    void SetText(const std::string& path, std::string_view text);
    // Reads a file from disk (at most kMaxFileBytes, a regular file only) and what it includes.
    bool AddFile(const std::string& path);
    // An edit of a known file, as FileSymbols::Update; includes it adds are read.
    int Update(const std::string& path, int first, int removed, std::span<const std::string_view> lines);
    void RemoveFile(const std::string& path);

    const FileSymbols* file(const std::string& path) const;
    std::vector<std::string> files() const;
    // An include a file names that was found nowhere: the index cannot be certain what is undefined there.
    bool HasMissingInclude(const std::string& path) const;

    // True when any file defines the name (in any letter case).
    bool Knows(std::string_view name) const;
    // Every definition of the name: in the program's letter case first, then in any.
    std::vector<Symbol> Definitions(std::string_view name) const;
    // The value of a constant, variable or CBLOCK name; none for a label or what cannot be read.
    std::optional<int64_t> Value(std::string_view name) const;
    // Every use and definition of the name in every file, in file and line order.
    std::vector<Location> References(std::string_view name) const;
    // The names starting with `prefix` (any letter case), at most `limit`, sorted without regard to case.
    std::vector<Symbol> Complete(std::string_view prefix, size_t limit) const;
    // Every definition of one file, in order.
    std::vector<Symbol> Outline(const std::string& path) const;

    static constexpr size_t kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr int kMaxFiles = 4096;

  private:
    // Reads the files that lines [first, end) of a file include, when they are not known yet.
    void Follow(const std::string& path, int first, int end);
    std::string Resolve(const std::string& from, const std::string& include) const;
    void Change(const std::string& folded, int change);
    std::optional<int64_t> ValueOf(std::string_view name, int depth) const;

    std::vector<std::string> includeFolders_;
    std::map<std::string, std::unique_ptr<FileSymbols>> files_;
    std::map<std::string, bool> missingInclude_;
    std::unordered_map<std::string, int> defined_;  // folded name -> definitions in all files
};

}  // namespace picsym
