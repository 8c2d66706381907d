// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the program's lines for their symbols, the expressions of their values, and the index of all files.
#include "editor/SymbolIndex.h"

#include "editor/PICParser.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace picsym {

namespace {

// ---- Tokens of a line ---------------------------------------------------------------------------------

enum class TokenType : uint8_t { Word, Number, String, Punct };

struct Token {
    TokenType type;
    int begin, end;
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
bool Alpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// What a byte can be in a line, as bits: one look in a table made once, for every byte the lexer reads.
enum ByteClass : uint8_t { kSpace = 1, kWordStart = 2, kWordBody = 4, kNumberBody = 8, kDigitByte = 16 };

constexpr std::array<uint8_t, 256> MakeByteClasses() {
    std::array<uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool digit = c >= '0' && c <= '9';
        classes[size_t(c)] =
            uint8_t((c == ' ' || c == '\t' || c == '\r' || c == '\n' ? kSpace : 0) |
                    (alpha || c == '_' || c == '?' || c == '#' || c == '@' ? kWordStart : 0) |
                    (alpha || digit || c == '_' || c == '?' || c == '@' || c == '.' ? kWordBody : 0) |
                    (alpha || digit || c == '_' ? kNumberBody : 0) | (digit ? kDigitByte : 0));
    }
    return classes;
}
constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

bool IsA(char c, ByteClass byteClass) {
    return (kByteClasses[uint8_t(c)] & byteClass) != 0;
}
bool WordStart(char c) {
    return IsA(c, kWordStart);
}
bool WordBody(char c) {
    return IsA(c, kWordBody);
}
// H'1F', D'31', B'101', O'17', Q'17', A'x': the letters that give a quoted number its radix
bool RadixLetter(char c) {
    c = Lower(c);
    return c == 'h' || c == 'd' || c == 'b' || c == 'o' || c == 'q' || c == 'a';
}

// The end of a string or character constant that opens at `at`: past the closing quote (a backslash escapes
// one character), or the line's end.
int QuotedEnd(std::string_view line, int at) {
    int size = int(line.size());
    char quote = line[size_t(at)];
    for (++at; at < size && line[size_t(at)] != quote; ++at)
        at += line[size_t(at)] == '\\' ? 1 : 0;
    return std::min(at + 1, size);
}

// Where a token that starts at `at` ends, and its type.
Token NextToken(std::string_view line, int at) {
    int size = int(line.size());
    int begin = at;
    char c = line[size_t(at)];
    if (c == '"' || c == '\'')
        return {TokenType::String, begin, QuotedEnd(line, at)};
    if (IsA(c, kDigitByte) || (c == '.' && at + 1 < size && IsA(line[size_t(at) + 1], kDigitByte))) {
        for (++at; at < size && IsA(line[size_t(at)], kNumberBody); ++at) {
        }
        return {TokenType::Number, begin, at};
    }
    if (!WordStart(c))
        return {TokenType::Punct, begin, at + 1};
    for (++at; at < size && WordBody(line[size_t(at)]); ++at) {
    }
    if (at - begin == 1 && at < size && line[size_t(at)] == '\'' && RadixLetter(c))
        return {TokenType::Number, begin, QuotedEnd(line, at)};
    return {TokenType::Word, begin, at};
}

// Where the blanks from `at` end.
int SkipBlanks(std::string_view line, int at) {
    int size = int(line.size());
    if (at >= size || !IsA(line[size_t(at)], kSpace))
        return at;
    // eight spaces at a time: most lines are indented by as many
    while (at + 8 <= size && std::memcmp(line.data() + at, "        ", 8) == 0)
        at += 8;
    while (at < size && IsA(line[size_t(at)], kSpace))
        ++at;
    return at;
}

// The tokens of a line up to its comment, added to `tokens` until it holds `most` (kept by the caller, so
// that its room is reused). Called again, it goes on after the last token.
void Lex(std::string_view line, std::vector<Token>& tokens, size_t most) {
    int size = int(line.size());
    int at = tokens.empty() ? 0 : tokens.back().end;
    for (size_t count = tokens.size(); count < most; ++count) {
        at = SkipBlanks(line, at);
        if (at >= size || line[size_t(at)] == ';')
            return;
        tokens.push_back(NextToken(line, at));
        at = tokens.back().end;
    }
}

std::string_view Text(std::string_view line, const Token& token) {
    return line.substr(size_t(token.begin), size_t(token.end - token.begin));
}

bool Is(std::string_view line, const Token& token, char c) {
    return token.type == TokenType::Punct && line[size_t(token.begin)] == c;
}

// "ENDC" and "endc" alike; `folded` is in lower case.
bool SameFolded(std::string_view word, std::string_view folded) {
    if (word.size() != folded.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(word[i]) != folded[i])
            return false;
    return true;
}

std::string Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string()
                                           : std::string(text.substr(first, last - first + 1));
}

// The text of the line from a token to the comment.
std::string Rest(std::string_view line, const std::vector<Token>& tokens, size_t from) {
    if (from >= tokens.size())
        return {};
    return Trimmed(line.substr(size_t(tokens[from].begin), size_t(tokens.back().end - tokens[from].begin)));
}

// Words the assembler's expressions know by themselves.
bool BuiltIn(std::string_view word) {
    static constexpr std::array<std::string_view, 9> kWords = {"high", "low", "upper", "$", "defined",
                                                               "w",    "f",   "a",     "b"};
    return std::any_of(kWords.begin(), kWords.end(),
                       [word](std::string_view known) { return SameFolded(word, known); });
}

// A word of at most 16 bytes folded to lower case and packed into two numbers, so that looking it up among
// the keywords takes a comparison of numbers or two and no allocation. A longer word is no keyword.
struct PackedWord {
    uint64_t head = 0;
    uint64_t tail = 0;
    bool operator==(const PackedWord&) const = default;
};

// Eight bytes of a word, A to Z turned to a to z all at once: a byte of A to Z is one whose low seven bits
// are at least 'A' and at most 'Z' and whose high bit is clear; adding 0x20 makes it lower case.
uint64_t LowerEight(std::string_view bytes) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    // put together byte by byte: a copy of fewer than eight bytes into the number would have it read back
    // from memory before the copy is done
    uint64_t word = 0;
    for (size_t i = 0; i < std::min<size_t>(bytes.size(), 8); ++i)
        word |= uint64_t(uint8_t(bytes[i])) << (8 * i);
    uint64_t low = word & ~kHigh;
    uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;
    uint64_t upper = atLeastA & ~pastZ & ~word & kHigh;
    return word | (upper >> 2);
}

std::optional<PackedWord> Pack(std::string_view word) {
    if (word.empty() || word.size() > 16)
        return std::nullopt;
    return PackedWord{LowerEight(word), word.size() > 8 ? LowerEight(word.substr(8)) : 0};
}

// What the word in a line's directive place asks of the reader.
enum class Directive : uint8_t {
    None,   // no word there
    Other,  // a mnemonic or a directive that names symbols as any instruction does
    Macro,  // a word that is no keyword: a macro's name, used
    Equ,
    Set,
    Cblock,
    Endc,
    MacroStart,
    Endm,
    Local,
    Define,
    Constant,
    Variable,
    Include,
    Radix,
    List,
    NamesTested,  // IFDEF and its kin: the names it tests are used, not as operands
    NamesNothing  // its operands name no symbol of the program
};

struct DirectiveWord {
    std::string_view word;
    Directive directive;
};

constexpr DirectiveWord kDirectiveWords[] = {
    {"equ", Directive::Equ},
    {"set", Directive::Set},
    {"cblock", Directive::Cblock},
    {"endc", Directive::Endc},
    {"macro", Directive::MacroStart},
    {"endm", Directive::Endm},
    {"local", Directive::Local},
    {"#define", Directive::Define},
    {"constant", Directive::Constant},
    {"variable", Directive::Variable},
    {"include", Directive::Include},
    {"#include", Directive::Include},
    {"radix", Directive::Radix},
    {"list", Directive::List},
    {"ifdef", Directive::NamesTested},
    {"ifndef", Directive::NamesTested},
    {"#ifdef", Directive::NamesTested},
    {"#ifndef", Directive::NamesTested},
    {"#undefine", Directive::NamesTested},
    {"processor", Directive::NamesNothing},
    {"errorlevel", Directive::NamesNothing},
    {"title", Directive::NamesNothing},
    {"subtitle", Directive::NamesNothing},
    {"messg", Directive::NamesNothing},
    {"error", Directive::NamesNothing},
    {"expand", Directive::NamesNothing},
    {"noexpand", Directive::NamesNothing},
    {"nolist", Directive::NamesNothing},
    {"page", Directive::NamesNothing},
    {"space", Directive::NamesNothing},
    {"__maxram", Directive::NamesNothing},
};

// The tokenizer's three word lists and the directives above in one open-addressed table, made once: a word
// is found with one multiplication and a comparison or two.
class WordTable {
  public:
    struct Entry {
        PackedWord word;
        Directive directive = Directive::Other;
        bool keyword = false;  // in one of the tokenizer's lists
        bool used = false;
    };

    WordTable() {
        for (auto list : {TPICParser::Instructions(), TPICParser::Directives(), TPICParser::DataDirectives()})
            for (std::string_view word : list)
                if (std::optional<PackedWord> packed = Pack(word)) {
                    Slot(*packed).keyword = true;
                    longest_ = std::max(longest_, word.size());
                }
        for (const DirectiveWord& entry : kDirectiveWords) {
            Slot(*Pack(entry.word)).directive = entry.directive;
            longest_ = std::max(longest_, entry.word.size());
        }
    }
    const Entry* Find(std::string_view word) const {
        // most labels are longer than any word here, and need no look
        std::optional<PackedWord> packed = word.size() <= longest_ ? Pack(word) : std::nullopt;
        if (!packed)
            return nullptr;
        for (size_t at = Hash(*packed);; at = (at + 1) % kSize) {
            if (!entries_[at].used)
                return nullptr;
            if (entries_[at].word == *packed)
                return &entries_[at];
        }
    }

  private:
    static constexpr size_t kSize = 512;  // some 150 words: most are found at the first place looked at
    static size_t Hash(const PackedWord& word) {
        return size_t(((word.head ^ (word.tail * 0x100000001B3ull)) * 0x9E3779B97F4A7C15ull) >> 55) % kSize;
    }
    Entry& Slot(const PackedWord& word) {
        size_t at = Hash(word);
        while (entries_[at].used && !(entries_[at].word == word))
            at = (at + 1) % kSize;
        entries_[at].word = word;
        entries_[at].used = true;
        return entries_[at];
    }
    std::array<Entry, kSize> entries_{};
    size_t longest_ = 0;
};

const WordTable kWords;

const WordTable& Words() {
    return kWords;
}

// The directive a word stands for, its letter case aside.
Directive DirectiveOf(std::string_view word) {
    if (const WordTable::Entry* entry = Words().Find(word))
        return entry->directive;
    return word.starts_with('#') ? Directive::Other : Directive::Macro;
}

bool HasValue(Kind kind) {
    return kind == Kind::Constant || kind == Kind::Variable || kind == Kind::Block;
}

bool Global(Kind kind) {
    return kind != Kind::Parameter && kind != Kind::Local;
}

// "(0x20)+3": the address of a CBLOCK's next name.
std::string BlockAddress(const LineState& state) {
    char offset[16];
    char* end = std::to_chars(offset, offset + sizeof offset, state.blockOffset).ptr;
    std::string address;
    address.reserve(state.blockBase.size() + 3 + size_t(end - offset));
    address.append("(").append(state.blockBase).append(")+").append(offset, end);
    return address;
}

// ---- Reading a line --------------------------------------------------------------------------------

struct LineReader {
    std::string_view line;
    const std::vector<Token>& tokens;
    LineRecord& record;
    Keep keep;

    void Define(const Token& token, Kind kind, std::string text, bool inMacro) {
        // made where it stays, without a temporary to move from
        Definition& definition = record.definitions.emplace_back();
        definition.name = Text(line, token);
        definition.kind = kind;
        definition.column = token.begin;
        definition.text = std::move(text);
        definition.radix = record.after.radix;
        definition.inMacro = inMacro;
    }
    void Use(const Token& token, bool operand) {
        if (keep == Keep::Everything)
            record.uses.push_back({std::string(Text(line, token)), token.begin, operand});
    }
    void UsesFrom(size_t from, bool operand) {
        if (keep != Keep::Everything)
            return;
        for (size_t i = from; i < tokens.size(); ++i)
            if (tokens[i].type == TokenType::Word && !BuiltIn(Text(line, tokens[i])) &&
                !IsKeyword(Text(line, tokens[i])))
                Use(tokens[i], operand);
    }
    // "a, b:2, c": the names of a CBLOCK line, each at the block's next address.
    void BlockNames(size_t from) {
        LineState& state = record.after;
        for (size_t i = from; i < tokens.size(); ++i) {
            if (tokens[i].type != TokenType::Word || (i > from && !Is(line, tokens[i - 1], ',')))
                continue;
            Define(tokens[i], Kind::Block, BlockAddress(state), false);
            int increment = 1;
            if (i + 2 < tokens.size() && Is(line, tokens[i + 1], ':'))
                if (auto value = Evaluate(Text(line, tokens[i + 2]), state.radix,
                                          [](std::string_view) { return std::optional<int64_t>(); }))
                    increment = int(std::clamp<int64_t>(*value, 0, 4096));
            // a block far longer than any data memory is a mistake; its offset stays bounded all the same
            state.blockOffset = std::min(state.blockOffset + increment, 1 << 24);
        }
    }
    // "CONSTANT a=1, b=2" and "VARIABLE i, j=3".
    void Assignments(size_t from, Kind kind) {
        for (size_t i = from; i < tokens.size(); ++i) {
            if (tokens[i].type != TokenType::Word || (i > from && !Is(line, tokens[i - 1], ',')))
                continue;
            std::string value;
            if (i + 1 < tokens.size() && Is(line, tokens[i + 1], '=')) {
                size_t end = i + 2;
                while (end < tokens.size() && !Is(line, tokens[end], ','))
                    ++end;
                if (end > i + 2)
                    value = Trimmed(line.substr(size_t(tokens[i + 2].begin),
                                                size_t(tokens[end - 1].end - tokens[i + 2].begin)));
                for (size_t k = i + 2; k < end; ++k)
                    if (tokens[k].type == TokenType::Word && !BuiltIn(Text(line, tokens[k])))
                        Use(tokens[k], true);
            }
            Define(tokens[i], kind, value, false);
        }
    }
    void Include(size_t from) {
        if (from >= tokens.size())
            return;
        std::string_view text = line.substr(size_t(tokens[from].begin));
        if (text.starts_with('"') || text.starts_with('<')) {
            size_t close = text.find(text[0] == '"' ? '"' : '>', 1);
            record.include =
                std::string(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
        } else {
            record.include = std::string(Text(line, tokens[from]));
        }
    }
    void Radix(size_t from) {
        for (size_t i = from; i < tokens.size(); ++i) {
            std::string_view word = Text(line, tokens[i]);
            if (SameFolded(word, "dec") || SameFolded(word, "decimal"))
                record.after.radix = 10;
            else if (SameFolded(word, "hex") || SameFolded(word, "hexadecimal"))
                record.after.radix = 16;
            else if (SameFolded(word, "oct") || SameFolded(word, "octal"))
                record.after.radix = 8;
        }
    }
    // A parameter or LOCAL name of the macro being read: kept in the state for the lines of its body.
    void MacroName(const Token& token, Kind kind) {
        Define(token, kind, {}, true);
        record.after.macroNames.append(Fold(Text(line, token))).append(" ");
    }
};

// Whether a folded name is one of the macro's own (LineState::macroNames).
bool OneOfMacroNames(const std::string& names, std::string_view folded) {
    for (size_t at = 0; at < names.size();) {
        size_t space = names.find(' ', at);
        if (std::string_view(names).substr(at, space - at) == folded)
            return true;
        at = space + 1;
    }
    return false;
}

void ReadMacroBody(LineReader& reader, size_t keywordAt, Directive directive, bool hasLabel) {
    LineRecord& record = reader.record;
    if (directive == Directive::Endm) {
        record.after.inMacro = false;
        record.after.macroHasParameters = false;
        record.after.macroNames.clear();
        return;
    }
    if (hasLabel) {
        // "again movlw 1" after "local again": a label made anew at each expansion
        // (`after` is still the state before the line here)
        bool own = OneOfMacroNames(record.after.macroNames, Fold(Text(reader.line, reader.tokens[0])));
        reader.Define(reader.tokens[0], own ? Kind::Local : Kind::Label, {}, true);
    }
    if (directive == Directive::Local) {
        for (size_t i = keywordAt + 1; i < reader.tokens.size(); ++i)
            if (reader.tokens[i].type == TokenType::Word)
                reader.MacroName(reader.tokens[i], Kind::Local);
        return;
    }
    reader.UsesFrom(keywordAt + 1, true);
}

void ReadStatement(LineReader& reader, size_t keywordAt, Directive directive, bool hasLabel);

// Whether a directive's operands define something (beyond the names an instruction uses).
bool NeedsOperands(Directive directive) {
    return directive != Directive::None && directive != Directive::Other && directive != Directive::Macro &&
           directive != Directive::NamesTested && directive != Directive::NamesNothing;
}

// The first byte from `at` that is no blank, or -1 at the line's end or its comment: what follows a token,
// seen without reading it as one.
int NextByte(std::string_view line, int at) {
    at = SkipBlanks(line, at);
    return at < int(line.size()) && line[size_t(at)] != ';' ? uint8_t(line[size_t(at)]) : -1;
}

// A word at the very start of the line, or any first word followed by a colon, is a label; "#include" and
// its kin are directives wherever they stand.
bool StartsLabel(std::string_view line, const Token& first) {
    std::string_view word = Text(line, first);
    return first.type == TokenType::Word && !word.starts_with('#') &&
           ((first.begin == 0 && !IsKeyword(word)) || NextByte(line, first.end) == ':');
}

// What the token in the directive's place asks for: "name = 5" sets a variable as SET does.
Directive DirectiveAt(std::string_view line, const std::vector<Token>& tokens, size_t at) {
    if (at >= tokens.size())
        return Directive::None;
    if (tokens[at].type == TokenType::Word)
        return DirectiveOf(Text(line, tokens[at]));
    int next = NextByte(line, tokens[at].end);
    return Is(line, tokens[at], '=') && next >= 0 && next != '=' ? Directive::Set : Directive::None;
}

// Reads one line into `record`, whose `after` holds the state before the line and is brought to the state
// after it (`before` is left as it is). `tokens` is the caller's, so that its room serves line after line.
void ReadFrom(std::string_view line, Keep keep, LineRecord& record, std::vector<Token>& tokens) {
    record.definitions.clear();
    record.uses.clear();
    record.include.clear();
    tokens.clear();
    // the first word and the byte after it, the directive's word and the byte after that, tell what the
    // line is; the rest is read only when the line needs it
    Lex(line, tokens, 1);
    if (tokens.empty())
        return;
    LineReader reader{line, tokens, record, keep};
    bool hasLabel = StartsLabel(line, tokens[0]);
    size_t keywordAt = hasLabel ? (NextByte(line, tokens[0].end) == ':' ? 2 : 1) : 0;
    if (tokens.size() <= keywordAt)
        Lex(line, tokens, keywordAt + 1);
    Directive directive = DirectiveAt(line, tokens, keywordAt);
    if (keep == Keep::Everything || record.after.inBlock || NeedsOperands(directive))
        Lex(line, tokens, SIZE_MAX);
    if (record.after.inBlock) {
        if (directive == Directive::Endc)
            record.after.inBlock = false;
        else
            reader.BlockNames(0);
        return;
    }
    if (record.after.inMacro) {
        ReadMacroBody(reader, keywordAt, directive, hasLabel);
        return;
    }
    ReadStatement(reader, keywordAt, directive, hasLabel);
}

// Reads one line into `record` given the state before it.
void Read(std::string_view line, const LineState& before, LineRecord& record, std::vector<Token>& tokens) {
    record.before = before;
    record.after = before;
    ReadFrom(line, Keep::Everything, record, tokens);
}

// A label, an instruction or a macro's use with its operands.
void ReadInstruction(LineReader& reader, size_t keywordAt, Directive directive, bool hasLabel) {
    if (hasLabel)
        reader.Define(reader.tokens[0], Kind::Label, {}, false);
    if (directive == Directive::NamesTested) {
        reader.UsesFrom(keywordAt + 1, false);
    } else if (directive != Directive::NamesNothing) {
        // a word in the mnemonic's place that is none: a macro's name, used
        if (directive == Directive::Macro)
            reader.Use(reader.tokens[keywordAt], false);
        reader.UsesFrom(keywordAt + 1, true);
    }
}

// A line outside a CBLOCK and outside a macro's body.
void ReadStatement(LineReader& reader, size_t keywordAt, Directive directive, bool hasLabel) {
    std::string_view line = reader.line;
    const std::vector<Token>& tokens = reader.tokens;
    LineRecord& record = reader.record;
    switch (directive) {
        case Directive::Equ:
        case Directive::Set:
            if (hasLabel)
                reader.Define(tokens[0], directive == Directive::Equ ? Kind::Constant : Kind::Variable,
                              Rest(line, tokens, keywordAt + 1), false);
            reader.UsesFrom(keywordAt + 1, true);
            return;
        case Directive::Cblock:
            record.after.inBlock = true;
            if (keywordAt + 1 < tokens.size()) {
                record.after.blockBase = Rest(line, tokens, keywordAt + 1);
                record.after.blockOffset = 0;
            }
            reader.UsesFrom(keywordAt + 1, true);
            return;
        case Directive::MacroStart:
            if (hasLabel)
                reader.Define(tokens[0], Kind::Macro, Rest(line, tokens, keywordAt + 1), false);
            record.after.macroNames.clear();
            for (size_t i = keywordAt + 1; i < tokens.size(); ++i)
                if (tokens[i].type == TokenType::Word)
                    reader.MacroName(tokens[i], Kind::Parameter);
            record.after.inMacro = true;
            record.after.macroHasParameters = keywordAt + 1 < tokens.size();
            return;
        case Directive::Define:
            if (keywordAt + 1 < tokens.size() && tokens[keywordAt + 1].type == TokenType::Word) {
                reader.Define(tokens[keywordAt + 1], Kind::Define, Rest(line, tokens, keywordAt + 2), false);
                reader.UsesFrom(keywordAt + 2, false);
            }
            return;
        case Directive::Constant:
        case Directive::Variable:
            reader.Assignments(keywordAt + 1,
                               directive == Directive::Constant ? Kind::Constant : Kind::Variable);
            return;
        case Directive::Include:
            reader.Include(keywordAt + 1);
            return;
        case Directive::Radix:
            reader.Radix(keywordAt + 1);
            return;
        case Directive::List:
            // "list p=16f877a, r=dec"
            for (size_t i = keywordAt + 1; i + 2 < tokens.size(); ++i)
                if (SameFolded(Text(line, tokens[i]), "r") && Is(line, tokens[i + 1], '='))
                    reader.Radix(i + 2);
            return;
        default:
            ReadInstruction(reader, keywordAt, directive, hasLabel);
    }
}

// How many lines a text has at most: one more than its LFs (memchr finds each many bytes at a time).
size_t MostLines(std::string_view text) {
    const char* data = text.data();
    const char* end = data + text.size();
    size_t count = 1;
    for (const void* at = data;
         data != end && (at = std::memchr(at, '\n', size_t(end - static_cast<const char*>(at))));
         at = static_cast<const char*>(at) + 1)
        ++count;
    return count;
}

// Calls `visit` with each line of a text, split at CR LF, LF or CR, until it returns false; a line end at the
// end starts no further line.
template <class Visit>
void EachLine(std::string_view text, Visit visit) {
    const char* data = text.data();
    size_t size = text.size();
    // a text without a CR (most) needs no look for one in every line
    bool anyReturn = size > 0 && std::memchr(data, '\r', size);
    for (size_t start = 0; start < size;) {
        const void* lf = std::memchr(data + start, '\n', size - start);
        size_t end = lf ? size_t(static_cast<const char*>(lf) - data) : size;
        size_t next = end + 1;
        // a CR inside ends the line there: a lone CR, or the CR of a CR LF
        if (const void* cr = anyReturn ? std::memchr(data + start, '\r', end - start) : nullptr) {
            end = size_t(static_cast<const char*>(cr) - data);
            next = end + (end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
        }
        if (!visit(text.substr(start, end - start)))
            return;
        start = next;
    }
}

}  // namespace

std::string_view KindName(Kind kind) {
    static constexpr std::array<std::string_view, 8> kNames = {"label",  "constant", "variable",  "cblock",
                                                               "define", "macro",    "parameter", "local"};
    return kNames[size_t(kind)];
}

std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = Lower(c);
    return folded;
}

bool IsKeyword(std::string_view word) {
    const WordTable::Entry* entry = Words().Find(word);
    return entry && entry->keyword;
}

LineRecord ReadLine(std::string_view line, const LineState& before) {
    LineRecord record;
    std::vector<Token> tokens;
    Read(line, before, record, tokens);
    return record;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(MostLines(text));
    EachLine(text, [&lines](std::string_view line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

// ---- Expressions --------------------------------------------------------------------------------------

namespace {

class Evaluator {
  public:
    Evaluator(std::string_view text, int radix,
              const std::function<std::optional<int64_t>(std::string_view)>& lookup)
        : text_(text), radix_(radix), lookup_(lookup) {}

    std::optional<int64_t> Whole() {
        auto value = Binary(0);
        Skip();
        return value && at_ == text_.size() ? value : std::nullopt;
    }

  private:
    enum class Op : uint8_t {
        Or,
        And,
        Equal,
        NotEqual,
        AtMost,
        AtLeast,
        Left,
        Right,
        BitOr,
        BitXor,
        BitAnd,
        Less,
        Greater,
        Plus,
        Minus,
        Times,
        Divide,
        Remainder
    };
    struct Operator {
        std::string_view symbol;
        int level;
        Op op;
    };
    void Skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
    }
    // The binary operators by level, loosest first; the two-character ones before their first characters.
    std::optional<Operator> PeekOperator() {
        static constexpr Operator kOperators[] = {
            {"||", 0, Op::Or},     {"&&", 1, Op::And},     {"==", 5, Op::Equal}, {"!=", 5, Op::NotEqual},
            {"<=", 6, Op::AtMost}, {">=", 6, Op::AtLeast}, {"<<", 7, Op::Left},  {">>", 7, Op::Right},
            {"|", 2, Op::BitOr},   {"^", 3, Op::BitXor},   {"&", 4, Op::BitAnd}, {"<", 6, Op::Less},
            {">", 6, Op::Greater}, {"+", 8, Op::Plus},     {"-", 8, Op::Minus},  {"*", 9, Op::Times},
            {"/", 9, Op::Divide},  {"%", 9, Op::Remainder}};
        Skip();
        std::string_view next = text_.substr(at_, 2);
        // most expressions end here, or at a closing parenthesis
        if (next.empty() || std::string_view("|&=!<>^+-*/%").find(next[0]) == std::string_view::npos)
            return std::nullopt;
        for (const Operator& op : kOperators)
            if (next.starts_with(op.symbol))
                return op;
        return std::nullopt;
    }
    std::optional<int64_t> Binary(int level) {
        if (++depth_ > kMaxDepth)
            return std::nullopt;
        auto left = Unary();
        while (left) {
            auto op = PeekOperator();
            if (!op || op->level < level)
                break;
            at_ += op->symbol.size();
            auto right = Binary(op->level + 1);
            if (!right)
                return std::nullopt;
            left = Apply(op->op, *left, *right);
        }
        --depth_;
        return left;
    }
    // Wrapping as the assembler's integers do; what is undefined in C++ (a shift past the width, the lowest
    // number divided by -1) given a value instead; division by zero has none.
    static std::optional<int64_t> Apply(Op op, int64_t a, int64_t b) {
        uint64_t ua = uint64_t(a), ub = uint64_t(b);
        switch (op) {
            case Op::Plus:
                return int64_t(ua + ub);
            case Op::Minus:
                return int64_t(ua - ub);
            case Op::Times:
                return int64_t(ua * ub);
            case Op::Divide:
                return b == 0 ? std::nullopt : std::optional(a == INT64_MIN && b == -1 ? a : a / b);
            case Op::Remainder:
                return b == 0 ? std::nullopt : std::optional(a == INT64_MIN && b == -1 ? 0 : a % b);
            case Op::Left:
                return b < 0 || b > 63 ? 0 : int64_t(ua << b);
            case Op::Right:
                return b < 0 || b > 63 ? (a < 0 ? -1 : 0) : a >> b;
            case Op::BitAnd:
                return a & b;
            case Op::BitOr:
                return a | b;
            case Op::BitXor:
                return a ^ b;
            case Op::And:
                return int64_t(a && b);
            case Op::Or:
                return int64_t(a || b);
            case Op::Equal:
                return int64_t(a == b);
            case Op::NotEqual:
                return int64_t(a != b);
            case Op::Less:
                return int64_t(a < b);
            case Op::Greater:
                return int64_t(a > b);
            case Op::AtMost:
                return int64_t(a <= b);
            case Op::AtLeast:
                return int64_t(a >= b);
        }
        return std::nullopt;
    }
    std::optional<int64_t> Unary() {
        Skip();
        if (at_ >= text_.size() || ++depth_ > kMaxDepth)
            return std::nullopt;
        char c = text_[at_];
        std::optional<int64_t> value;
        if (c == '-' || c == '~' || c == '!' || c == '+') {
            ++at_;
            value = Unary();
            if (value)
                value = c == '-'   ? int64_t(0 - uint64_t(*value))
                        : c == '~' ? ~*value
                        : c == '!' ? int64_t(!*value)
                                   : *value;
        } else if (c == '(') {
            ++at_;
            value = Binary(0);
            Skip();
            if (!value || at_ >= text_.size() || text_[at_] != ')')
                return std::nullopt;
            ++at_;
        } else {
            value = Primary();
        }
        --depth_;
        return value;
    }
    static std::optional<int64_t> Digits(std::string_view digits, int base) {
        if (digits.empty())
            return std::nullopt;
        uint64_t value = 0;
        for (char c : digits) {
            int digit = Digit(c) ? c - '0' : Alpha(c) ? Lower(c) - 'a' + 10 : 99;
            if (digit >= base)
                return std::nullopt;
            value = value * uint64_t(base) + uint64_t(digit);
        }
        return int64_t(value);
    }
    // 'A', '\n', '\x41': a character constant, escapes as in C.
    std::optional<int64_t> Character() {
        size_t close = text_.find('\'', at_ + 1);
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '\\')
            close = text_.find('\'', at_ + 3);
        if (close == std::string_view::npos || close == at_ + 1)
            return std::nullopt;
        std::string_view body = text_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        if (body.size() == 1)
            return uint8_t(body[0]);
        if (body[0] != '\\')
            return std::nullopt;
        if (body.size() > 2 && Lower(body[1]) == 'x')
            return Digits(body.substr(2), 16);
        if (body.size() != 2)
            return std::nullopt;
        // each escape letter followed by the character it stands for
        static constexpr std::string_view kEscapes("a\ab\bf\fn\nr\rt\tv\v0\0", 16);
        size_t found = kEscapes.find(body[1]);
        return found != std::string_view::npos && found % 2 == 0 ? uint8_t(kEscapes[found + 1])
                                                                 : uint8_t(body[1]);
    }
    std::optional<int64_t> Primary() {
        size_t begin = at_;
        char c = text_[at_];
        // H'1F' and its kin
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'' && RadixLetter(c)) {
            size_t close = text_.find('\'', at_ + 2);
            if (close == std::string_view::npos)
                return std::nullopt;
            std::string_view body = text_.substr(at_ + 2, close - at_ - 2);
            at_ = close + 1;
            char kind = Lower(c);
            if (kind == 'a')
                return body.size() == 1 ? std::optional<int64_t>(uint8_t(body[0])) : std::nullopt;
            return Digits(body, kind == 'h' ? 16 : kind == 'd' ? 10 : kind == 'b' ? 2 : 8);
        }
        if (c == '\'')
            return Character();
        if (c == '.' && at_ + 1 < text_.size() && Digit(text_[at_ + 1])) {
            ++at_;
            size_t start = at_;
            while (at_ < text_.size() && Digit(text_[at_]))
                ++at_;
            return Digits(text_.substr(start, at_ - start), 10);
        }
        if (Digit(c)) {
            while (at_ < text_.size() && (Alpha(text_[at_]) || Digit(text_[at_])))
                ++at_;
            std::string_view word = text_.substr(begin, at_ - begin);
            // gpasm knows 0x but not 0b: "0b101" is a hexadecimal number in radix 16 and wrong in any other
            if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
                return Digits(word.substr(2), 16);
            char last = Lower(word.back());
            if (last == 'h')
                return Digits(word.substr(0, word.size() - 1), 16);
            if (last == 'o' || last == 'q')
                return Digits(word.substr(0, word.size() - 1), 8);
            if (radix_ != 16 && (last == 'b' || last == 'd'))
                return Digits(word.substr(0, word.size() - 1), last == 'b' ? 2 : 10);
            return Digits(word, radix_);
        }
        if (WordStart(c) || c == '$') {
            ++at_;
            while (at_ < text_.size() && WordBody(text_[at_]))
                ++at_;
            std::string_view word = text_.substr(begin, at_ - begin);
            int shift = SameFolded(word, "low")     ? 0
                        : SameFolded(word, "high")  ? 8
                        : SameFolded(word, "upper") ? 16
                                                    : -1;
            if (shift >= 0) {
                auto value = Unary();
                if (!value)
                    return std::nullopt;
                return (*value >> shift) & 0xFF;
            }
            return lookup_(word);
        }
        return std::nullopt;
    }

    // Deeper nesting than this is no expression a program holds; it stops before the stack runs out.
    static constexpr int kMaxDepth = 256;

    std::string_view text_;
    size_t at_ = 0;
    int radix_;
    int depth_ = 0;
    const std::function<std::optional<int64_t>(std::string_view)>& lookup_;
};

}  // namespace

std::optional<int64_t> Evaluate(std::string_view expression, int radix,
                                const std::function<std::optional<int64_t>(std::string_view)>& lookup) {
    if (expression.size() > 4096)
        return std::nullopt;
    return Evaluator(expression, radix, lookup).Whole();
}

// ---- One file -----------------------------------------------------------------------------------------

const std::string& FileSymbols::text(int index) const {
    static const std::string kNone;
    return keep_ == Keep::Everything ? texts_[size_t(index)] : kNone;
}

const LineRecord& FileSymbols::line(int index) const {
    if (keep_ == Keep::Everything)
        return lines_[size_t(index)];
    // no record kept: the text read again up to the line
    shown_ = LineRecord();
    std::vector<Token> tokens;
    int line = 0;
    EachLine(packed_.whole, [this, &tokens, &line, index](std::string_view text) {
        shown_.before = shown_.after;
        ReadFrom(text, Keep::DefinitionsOnly, shown_, tokens);
        return ++line <= index;
    });
    return shown_;
}

const Definition& FileSymbols::definition(DefinitionPlace place) const {
    if (keep_ == Keep::Everything)
        return lines_[size_t(place.line)].definitions[size_t(place.index)];
    auto first = std::lower_bound(packed_.definitionLines.begin(), packed_.definitionLines.end(), place.line);
    return packed_.definitions[size_t(first - packed_.definitionLines.begin() + place.index)];
}

void FileSymbols::Count(const LineRecord& record, int line, int change) {
    if (!record.include.empty() && onIncludeChanged)
        onIncludeChanged(record.include, change);
    if (placesBuilt_)
        Place(record, line, change);
    for (const Definition& definition : record.definitions) {
        if (!Global(definition.kind))
            continue;
        std::string folded = Fold(definition.name);
        auto counted = defined_.try_emplace(folded, 0).first;
        counted->second += change;
        if (counted->second <= 0)
            defined_.erase(counted);
        if (onDefinitionChanged)
            onDefinitionChanged(folded, change);
    }
}

void FileSymbols::Place(const LineRecord& record, int line, int change) {
    for (size_t index = 0; index < record.definitions.size(); ++index) {
        auto named = places_.try_emplace(Fold(record.definitions[index].name)).first;
        std::vector<DefinitionPlace>& places = named->second;
        // kept in line order: the new place goes after those of earlier lines and of this line's earlier
        // names
        auto at = std::find_if(places.begin(), places.end(),
                               [line](DefinitionPlace place) { return place.line >= line; });
        if (change > 0)
            places.insert(
                std::find_if(at, places.end(), [line](DefinitionPlace place) { return place.line > line; }),
                {line, int(index)});
        else
            places.erase(at, std::find_if(at, places.end(),
                                          [line](DefinitionPlace place) { return place.line > line; }));
        if (places.empty())
            places_.erase(named);
    }
}

void FileSymbols::ShiftPlaces(int from, int lines) {
    if (!placesBuilt_ || lines == 0)
        return;
    for (auto& [name, places] : places_)
        for (DefinitionPlace& place : places)
            place.line += place.line >= from ? lines : 0;
}

LineState FileSymbols::StateBefore(int line) const {
    return line > 0 && line <= int(lines_.size()) ? lines_[size_t(line) - 1].after : LineState();
}

void FileSymbols::SetText(std::string_view text) {
    if (keep_ != Keep::Everything) {
        TakeText(std::string(text));
        return;
    }
    std::vector<std::string_view> lines = SplitTextLines(text);
    Update(0, lineCount(), lines);
}

void FileSymbols::TakeText(std::string text) {
    if (keep_ == Keep::Everything) {
        SetText(text);
        return;
    }
    placesBuilt_ = false;
    packed_.whole = std::move(text);
    ReadPacked();
}

void FileSymbols::Replace(int first, int removed, std::span<const std::string_view> lines) {
    int inserted = int(lines.size());
    if (first == 0 && removed == lineCount()) {
        // the whole text: no record of the old one is needed again
        texts_.assign(lines.begin(), lines.end());
        lines_.clear();
        lines_.resize(size_t(inserted));
        return;
    }
    // the new texts first: `lines` may view the texts they replace
    std::vector<std::string> texts(lines.begin(), lines.end());
    if (inserted > removed) {
        texts_.insert(texts_.begin() + first + removed, size_t(inserted - removed), std::string());
        lines_.insert(lines_.begin() + first + removed, size_t(inserted - removed), LineRecord());
    } else {
        texts_.erase(texts_.begin() + first + inserted, texts_.begin() + first + removed);
        lines_.erase(lines_.begin() + first + inserted, lines_.begin() + first + removed);
    }
    std::move(texts.begin(), texts.end(), texts_.begin() + first);
}

int FileSymbols::Update(int first, int removed, std::span<const std::string_view> lines) {
    first = std::clamp(first, 0, lineCount());
    removed = std::clamp(removed, 0, lineCount() - first);
    if (keep_ != Keep::Everything) {
        placesBuilt_ = false;
        return UpdatePacked(first, removed, lines);
    }
    for (int i = first; i < first + removed; ++i)
        Count(lines_[size_t(i)], i, -1);
    Replace(first, removed, lines);
    ShiftPlaces(first + removed, int(lines.size()) - removed);
    LineState state = StateBefore(first);
    int read = 0;
    int end = first + int(lines.size());
    std::vector<Token> tokens;
    for (int i = first; i < lineCount(); ++i) {
        LineRecord& record = lines_[size_t(i)];
        // past the new lines, a line is read again only when the state it starts in changed
        if (i >= end) {
            if (record.before == state)
                break;
            Count(record, i, -1);
        }
        Read(texts_[size_t(i)], state, record, tokens);
        Count(record, i, +1);
        state = record.after;
        ++read;
    }
    return read;
}

int FileSymbols::UpdatePacked(int first, int removed, std::span<const std::string_view> lines) {
    // the text anew in one piece: the lines before, the new lines, the lines after, each ended by LF
    std::vector<std::string_view> old = SplitTextLines(packed_.whole);
    std::string whole;
    auto add = [&whole](std::string_view line) { whole.append(line).push_back('\n'); };
    for (int line = 0; line < first; ++line)
        add(old[size_t(line)]);
    for (std::string_view line : lines) {
        // a CR or LF inside a line given would end it here: a blank reads the same
        size_t at = whole.size();
        add(line);
        std::replace_if(
            whole.begin() + long(at), whole.end() - 1, [](char c) { return c == '\r' || c == '\n'; }, ' ');
    }
    for (size_t line = size_t(first + removed); line < old.size(); ++line)
        add(old[line]);
    packed_.whole = std::move(whole);
    ReadPacked();
    return lineCount();
}

void FileSymbols::ReadPacked() {
    Packed& packed = packed_;
    for (const auto& [line, include] : packed.includes)
        if (onIncludeChanged)
            onIncludeChanged(include, -1);
    packed.definitions.clear();
    packed.definitionLines.clear();
    packed.includes.clear();
    // one record for every line in turn: its `after` carries the state from line to line
    LineRecord record;
    std::vector<Token> tokens;
    int line = 0;
    EachLine(packed.whole, [this, &packed, &record, &tokens, &line](std::string_view text) {
        ReadFrom(text, Keep::DefinitionsOnly, record, tokens);
        for (Definition& definition : record.definitions) {
            packed.definitions.push_back(std::move(definition));
            packed.definitionLines.push_back(line);
        }
        if (!record.include.empty()) {
            packed.includes.emplace_back(line, record.include);
            if (onIncludeChanged)
                onIncludeChanged(record.include, +1);
        }
        ++line;
        return true;
    });
    packed.lines = line;
}

void FileSymbols::ForEachDefinition(const std::function<void(int, const Definition&)>& visit) const {
    if (keep_ != Keep::Everything) {
        for (size_t i = 0; i < packed_.definitions.size(); ++i)
            visit(packed_.definitionLines[i], packed_.definitions[i]);
        return;
    }
    for (int line = 0; line < lineCount(); ++line)
        for (const Definition& definition : lines_[size_t(line)].definitions)
            visit(line, definition);
}

std::span<const DefinitionPlace> FileSymbols::Find(const std::string& folded) const {
    if (!placesBuilt_) {
        places_.clear();
        int previous = -1, index = 0;
        ForEachDefinition([this, &previous, &index](int line, const Definition& definition) {
            index = line == previous ? index + 1 : 0;
            previous = line;
            places_[Fold(definition.name)].push_back({line, index});
        });
        placesBuilt_ = true;
    }
    auto found = places_.find(folded);
    if (found == places_.end())
        return {};
    return found->second;
}

// ---- The program --------------------------------------------------------------------------------------

SymbolIndex::SymbolIndex() = default;
SymbolIndex::SymbolIndex(Keep keep) : keep_(keep) {}
SymbolIndex::~SymbolIndex() = default;

void SymbolIndex::Change(const std::string& folded, int change) {
    auto [counted, added] = defined_.try_emplace(folded, 0);
    counted->second += change;
    if (counted->second <= 0) {
        defined_.erase(counted);
        sorted_.erase(folded);
    } else if (added) {
        sorted_.insert(folded);
    }
}

void SymbolIndex::IncludeChanged(const std::string& path, const std::string& include, int change) {
    std::map<std::string, Included>& included = includes_[path];
    Included& entry = included[include];
    if (entry.lines == 0 && change > 0) {
        entry.found = Resolve(path, include);
        if (!entry.found.empty())
            toFollow_.push_back(entry.found);
    }
    entry.lines += change;
    if (entry.lines <= 0)
        included.erase(include);
}

FileSymbols& SymbolIndex::Open(const std::string& path) {
    std::unique_ptr<FileSymbols>& file = files_[path];
    if (!file) {
        file = std::make_unique<FileSymbols>(keep_);
        file->onDefinitionChanged = [this](const std::string& folded, int change) { Change(folded, change); };
        file->onIncludeChanged = [this, path](const std::string& include, int change) {
            IncludeChanged(path, include, change);
        };
    }
    return *file;
}

void SymbolIndex::SetText(const std::string& path, std::string_view text) {
    Open(path).SetText(text);
    Follow();
}

bool SymbolIndex::AddFile(const std::string& path) {
    if (files_.count(path))
        return true;
    if (files_.size() >= size_t(kMaxFiles))
        return false;
    std::string why;
    std::optional<std::string> text = ReadRegularFile(path, kMaxFileBytes, why);
    if (!text)
        return false;
    Open(path).TakeText(std::move(*text));
    Follow();
    return true;
}

int SymbolIndex::Update(const std::string& path, int first, int removed,
                        std::span<const std::string_view> lines) {
    auto found = files_.find(path);
    if (found == files_.end()) {
        std::string text;
        for (std::string_view line : lines)
            text.append(line).append("\n");
        SetText(path, text);
        return int(lines.size());
    }
    int read = found->second->Update(first, removed, lines);
    Follow();
    return read;
}

void SymbolIndex::RemoveFile(const std::string& path) {
    auto found = files_.find(path);
    if (found == files_.end())
        return;
    found->second->Update(0, found->second->lineCount(), {});
    files_.erase(found);
    includes_.erase(path);
}

std::string SymbolIndex::Resolve(const std::string& from, const std::string& include) const {
    namespace fs = std::filesystem;
    if (include.empty())
        return {};
    std::error_code error;
    if (fs::path(include).is_absolute())
        return fs::is_regular_file(include, error) ? include : std::string();
    std::vector<fs::path> folders{fs::path(from).parent_path()};
    folders.insert(folders.end(), includeFolders_.begin(), includeFolders_.end());
    for (const fs::path& folder : folders) {
        fs::path candidate = folder / include;
        if (fs::is_regular_file(candidate, error))
            return candidate.lexically_normal().string();
        // gputils' headers are lower case; a program may name them in any case
        candidate = folder / Fold(include);
        if (fs::is_regular_file(candidate, error))
            return candidate.lexically_normal().string();
    }
    return {};
}

void SymbolIndex::Follow() {
    // reading a file may name more files to read: the list is taken from its end until it is empty
    while (!toFollow_.empty()) {
        std::string path = std::move(toFollow_.back());
        toFollow_.pop_back();
        if (!files_.count(path))
            AddFile(path);
    }
}

const FileSymbols* SymbolIndex::file(const std::string& path) const {
    auto found = files_.find(path);
    return found == files_.end() ? nullptr : found->second.get();
}

std::vector<std::string> SymbolIndex::files() const {
    std::vector<std::string> paths;
    for (const auto& [path, file] : files_)
        paths.push_back(path);
    return paths;
}

bool SymbolIndex::HasMissingInclude(const std::string& path) const {
    auto found = includes_.find(path);
    if (found == includes_.end())
        return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [](const auto& include) { return include.second.found.empty(); });
}

bool SymbolIndex::Knows(std::string_view name) const {
    if (keep_ == Keep::Everything)
        return defined_.count(Fold(name)) > 0;
    return FirstGlobal(Fold(name)).has_value();
}

std::vector<Symbol> SymbolIndex::Definitions(std::string_view name) const {
    std::vector<Symbol> exact, other;
    std::string folded = Fold(name);
    for (const auto& [path, file] : files_)
        for (DefinitionPlace place : file->Find(folded)) {
            const Definition& definition = file->definition(place);
            Symbol symbol{
                definition.name, definition.kind, {path, place.line, definition.column}, definition.text, {}};
            (definition.name == name ? exact : other).push_back(std::move(symbol));
        }
    exact.insert(exact.end(), other.begin(), other.end());
    for (Symbol& symbol : exact)
        if (HasValue(symbol.kind))
            symbol.value = Value(symbol.name);
    return exact;
}

std::optional<int64_t> SymbolIndex::Value(std::string_view name) const {
    Values known;
    return ValueOf(name, 0, known);
}

std::optional<int64_t> SymbolIndex::Value(const Definition& definition) const {
    if (!HasValue(definition.kind) && definition.kind != Kind::Define)
        return std::nullopt;
    Values known;
    return Evaluate(definition.text, definition.radix,
                    [this, &known](std::string_view other) { return Remembered(other, 0, known); });
}

const Definition* SymbolIndex::ValueDefinition(std::string_view name) const {
    std::string folded = Fold(name);
    const Definition* first = nullptr;
    for (const auto& [path, file] : files_)
        for (DefinitionPlace place : file->Find(folded)) {
            const Definition& definition = file->definition(place);
            if (!HasValue(definition.kind) && definition.kind != Kind::Define)
                continue;
            if (definition.name == name)
                return &definition;
            first = first ? first : &definition;
        }
    return first;
}

std::optional<int64_t> SymbolIndex::ValueOf(std::string_view name, int depth, Values& known) const {
    const Definition* definition = depth > kMaxNameDepth ? nullptr : ValueDefinition(name);
    if (!definition)
        return std::nullopt;
    // each name is read once per question: a name used many times costs no more, and one defined by
    // itself (A EQU A+1) has no value
    return Evaluate(definition->text, definition->radix, [this, depth, &known](std::string_view other) {
        return Remembered(other, depth + 1, known);
    });
}

std::optional<int64_t> SymbolIndex::Remembered(std::string_view name, int depth, Values& known) const {
    auto [entry, added] = known.try_emplace(std::string(name), std::nullopt);
    if (added)
        entry->second = ValueOf(name, depth, known);
    return entry->second;
}

std::vector<Location> SymbolIndex::References(std::string_view name) const {
    std::vector<Location> places;
    std::string folded = Fold(name);
    for (const auto& [path, file] : files_)
        for (int line = 0; line < file->lineCount(); ++line) {
            const LineRecord& record = file->line(line);
            std::vector<int> columns;
            for (const Definition& definition : record.definitions)
                if (SameFolded(definition.name, folded))
                    columns.push_back(definition.column);
            for (const Use& use : record.uses)
                if (SameFolded(use.name, folded))
                    columns.push_back(use.column);
            std::sort(columns.begin(), columns.end());
            for (int column : columns)
                places.push_back({path, line, column});
        }
    return places;
}

std::optional<Symbol> SymbolIndex::FirstGlobal(const std::string& folded) const {
    for (const auto& [path, file] : files_)
        for (DefinitionPlace place : file->Find(folded)) {
            const Definition& definition = file->definition(place);
            if (Global(definition.kind))
                return Symbol{definition.name,
                              definition.kind,
                              {path, place.line, definition.column},
                              definition.text,
                              {}};
        }
    return std::nullopt;
}

std::vector<std::string> SymbolIndex::SortedNames(const std::string& foldedPrefix, size_t limit) const {
    std::vector<std::string> names;
    if (keep_ == Keep::Everything) {
        for (auto name = sorted_.lower_bound(foldedPrefix);
             name != sorted_.end() && names.size() < limit && name->starts_with(foldedPrefix); ++name)
            names.push_back(*name);
        return names;
    }
    // no names kept: gathered from the definitions
    std::set<std::string> found;
    for (const auto& [path, file] : files_)
        file->ForEachDefinition([&found, &foldedPrefix](int, const Definition& definition) {
            if (Global(definition.kind) && definition.name.size() >= foldedPrefix.size() &&
                SameFolded(std::string_view(definition.name).substr(0, foldedPrefix.size()), foldedPrefix))
                found.insert(Fold(definition.name));
        });
    for (auto name = found.begin(); name != found.end() && names.size() < limit; ++name)
        names.push_back(*name);
    return names;
}

std::vector<Symbol> SymbolIndex::Complete(std::string_view prefix, size_t limit) const {
    std::vector<Symbol> symbols;
    for (const std::string& name : SortedNames(Fold(prefix), limit))
        if (std::optional<Symbol> symbol = FirstGlobal(name))
            symbols.push_back(std::move(*symbol));
    for (Symbol& symbol : symbols)
        if (HasValue(symbol.kind))
            symbol.value = Value(symbol.name);
    return symbols;
}

std::vector<Symbol> SymbolIndex::Outline(const std::string& path) const {
    std::vector<Symbol> symbols;
    if (const FileSymbols* symbolsOf = file(path))
        symbolsOf->ForEachDefinition([&](int line, const Definition& definition) {
            if (Global(definition.kind))
                symbols.push_back(
                    {definition.name, definition.kind, {path, line, definition.column}, definition.text, {}});
        });
    return symbols;
}

}  // namespace picsym
