// SPDX-License-Identifier: GPL-3.0-or-later
// The program's symbols: every label, EQU/SET/CONSTANT/VARIABLE name, CBLOCK name, #define, macro with its
// parameters and LOCAL names, of every file and every file they include, with the uses of each name. Kept
// line by line, so an edit re-reads only the lines it touched (and those after it whose meaning it changed,
// inside a CBLOCK say). Qt-free.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
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
    std::string text;  // the value's expression (EQU, SET, CBLOCK: "(0x20)+1"), a #define's text, a macro's
                       // parameters
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
    // The parameters and LOCAL names of the macro being read, folded, each followed by a space: a label of
    // the body by one of these names is the macro's own, made anew at each expansion, and defines nothing.
    std::string macroNames;
    bool operator==(const LineState&) const = default;
};

struct LineRecord {
    std::vector<Definition> definitions;
    std::vector<Use> uses;
    std::string include;  // the file an #include names, as written
    LineState before;     // the state the line was read in
    LineState after;      // the state after this line
};

// What a FileSymbols keeps: a record of every line with its text and the names it uses (the editor's), or
// only the text in one piece and its definitions and includes, for a run that reads whole files to show
// their definitions (picsymbols): far less memory to fill. In Keep::DefinitionsOnly, text() is empty,
// line() reads the text again up to the line, has no uses and holds until its next call, every Update reads
// the whole text again, and no name is counted (definedNames() is empty, onDefinitionChanged is never
// called). The definitions, includes and states are the same in both.
enum class Keep : uint8_t { Everything, DefinitionsOnly };

// Where a definition stands in a FileSymbols: its line and its place among the line's definitions.
struct DefinitionPlace {
    int line = 0;
    int index = 0;
};

// The symbols of one text, line by line. Not to be read from two threads at once: looking a name up may
// build the table of names it keeps.
class FileSymbols {
  public:
    FileSymbols() = default;
    explicit FileSymbols(Keep keep) : keep_(keep) {}
    // Reads a whole text (split at CR LF, LF or CR).
    void SetText(std::string_view text);
    // The same, keeping the string itself where a copy would be kept (Keep::DefinitionsOnly).
    void TakeText(std::string text);
    // Replaces `removed` lines from `first` (from 0) by `lines`; re-reads those and then the following
    // lines whose starting state changed. Returns how many lines were read.
    int Update(int first, int removed, std::span<const std::string_view> lines);

    int lineCount() const { return keep_ == Keep::Everything ? int(lines_.size()) : packed_.lines; }
    const LineRecord& line(int index) const;
    const std::string& text(int index) const;
    Keep keep() const { return keep_; }
    // Every definition of the text in order, with its line.
    void ForEachDefinition(const std::function<void(int line, const Definition&)>& visit) const;
    // Every definition of a name (folded to lower case), of any kind, in line order.
    std::span<const DefinitionPlace> Find(const std::string& folded) const;
    const Definition& definition(DefinitionPlace place) const;
    // How many times each name (folded to lower case) is defined here, outside macro parameters and LOCALs.
    const std::unordered_map<std::string, int>& definedNames() const { return defined_; }
    // Called with a folded name and +1 or -1 whenever a definition comes or goes.
    std::function<void(const std::string& folded, int change)> onDefinitionChanged;
    // Called with an include as written and +1 or -1 whenever a line naming it comes or goes (in both modes).
    std::function<void(const std::string& include, int change)> onIncludeChanged;

  private:
    // Keep::DefinitionsOnly: the text in one piece, and what its lines define and include (the definitions
    // in a deque: growing it moves none already there)
    struct Packed {
        std::string whole;                   // the text as given (an Update joins its lines with LF)
        int lines = 0;                       // how many lines it has
        std::deque<Definition> definitions;  // in line order
        std::vector<int> definitionLines;    // the line of each
        std::vector<std::pair<int, std::string>> includes;
    };

    // A line's definitions and include come (+1) or go (-1): counted, told, and placed in the table of names.
    void Count(const LineRecord& record, int line, int change);
    void Place(const LineRecord& record, int line, int change);
    // The places of the lines from `from` on move by `lines`, when the table of names is made.
    void ShiftPlaces(int from, int lines);
    LineState StateBefore(int line) const;
    // Puts `lines` in place of `removed` lines from `first`, keeping the lines after them; the records of
    // the new lines are to be read.
    void Replace(int first, int removed, std::span<const std::string_view> lines);
    int UpdatePacked(int first, int removed, std::span<const std::string_view> lines);
    void ReadPacked();

    Keep keep_ = Keep::Everything;
    std::vector<LineRecord> lines_;
    std::vector<std::string> texts_;
    Packed packed_;
    mutable LineRecord shown_;  // line()'s answer in Keep::DefinitionsOnly
    std::unordered_map<std::string, int> defined_;
    // folded name -> its definitions; made when first asked for, then kept in step with every edit
    // (Keep::DefinitionsOnly: made again after each)
    mutable std::unordered_map<std::string, std::vector<DefinitionPlace>> places_;
    mutable bool placesBuilt_ = false;
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
// including file's folder, the -I folders, then gputils' header folder). Like FileSymbols, not to be read
// from two threads at once.
class SymbolIndex {
  public:
    SymbolIndex();
    // An index whose files keep only what `keep` says (Keep::DefinitionsOnly: for a whole-file run that
    // shows definitions; Knows and Complete answer from the definitions alone, more slowly).
    explicit SymbolIndex(Keep keep);
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
    // The value of one definition's own expression (a SET variable's where it is set), the names in it read
    // as Value reads them.
    std::optional<int64_t> Value(const Definition& definition) const;
    // Every use and definition of the name in every file, in file and line order.
    std::vector<Location> References(std::string_view name) const;
    // The names starting with `prefix` (any letter case), at most `limit`, sorted without regard to case.
    std::vector<Symbol> Complete(std::string_view prefix, size_t limit) const;
    // Every definition of one file, in order.
    std::vector<Symbol> Outline(const std::string& path) const;

    static constexpr size_t kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr int kMaxFiles = 4096;
    // How long a chain of names defined by names a value is followed (each name is read once per question).
    static constexpr int kMaxNameDepth = 256;

  private:
    // An include of a file: how many of its lines name it, and where it was found ("" when nowhere).
    struct Included {
        int lines = 0;
        std::string found;
    };
    using Values = std::unordered_map<std::string, std::optional<int64_t>>;

    FileSymbols& Open(const std::string& path);
    // Reads the files the index's files include that are not known yet.
    void Follow();
    void IncludeChanged(const std::string& path, const std::string& include, int change);
    std::string Resolve(const std::string& from, const std::string& include) const;
    void Change(const std::string& folded, int change);
    // The definition a name's value is read from: the first in the name's letter case, else the first.
    const Definition* ValueDefinition(std::string_view name) const;
    std::optional<int64_t> ValueOf(std::string_view name, int depth, Values& known) const;
    // A name's value read once per question, none while it is being read (a name defined by itself).
    std::optional<int64_t> Remembered(std::string_view name, int depth, Values& known) const;
    // The first definition of a folded name that is not a parameter or LOCAL name, in file and line order.
    std::optional<Symbol> FirstGlobal(const std::string& folded) const;
    std::vector<std::string> SortedNames(const std::string& foldedPrefix, size_t limit) const;

    Keep keep_ = Keep::Everything;
    std::vector<std::string> includeFolders_;
    std::map<std::string, std::unique_ptr<FileSymbols>> files_;
    std::map<std::string, std::map<std::string, Included>> includes_;  // file -> include as written
    std::vector<std::string> toFollow_;                                // found includes not read yet
    std::unordered_map<std::string, int> defined_;  // folded name -> definitions in all files
    std::set<std::string, std::less<>> sorted_;     // the same names, in order, for completion
};

}  // namespace picsym
