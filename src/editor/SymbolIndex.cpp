// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the program's lines for their symbols, the expressions of their values, and the index of all files.
#include "editor/SymbolIndex.h"

#include "editor/PICParser.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <array>
#include <cctype>
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

bool WordStart(char c) {
    return std::isalpha(uint8_t(c)) || c == '_' || c == '?' || c == '#' || c == '@';
}
bool WordBody(char c) {
    return std::isalnum(uint8_t(c)) || c == '_' || c == '?' || c == '@' || c == '.';
}

// The tokens of a line up to its comment.
std::vector<Token> Lex(std::string_view line) {
    std::vector<Token> tokens;
    int size = int(line.size());
    for (int at = 0; at < size;) {
        char c = line[size_t(at)];
        if (c == ';')
            break;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        int begin = at;
        if (c == '"' || c == '\'') {
            // a string or a character: to the closing quote (a backslash escapes one character)
            for (++at; at < size && line[size_t(at)] != c; ++at)
                at += line[size_t(at)] == '\\' ? 1 : 0;
            at = std::min(at + 1, size);
            tokens.push_back({TokenType::String, begin, at});
        } else if (std::isdigit(uint8_t(c)) || (c == '.' && at + 1 < size && std::isdigit(uint8_t(line[size_t(at) + 1])))) {
            for (++at; at < size && (std::isalnum(uint8_t(line[size_t(at)])) || line[size_t(at)] == '_'); ++at) {
            }
            tokens.push_back({TokenType::Number, begin, at});
        } else if (WordStart(c)) {
            for (++at; at < size && WordBody(line[size_t(at)]); ++at) {
            }
            // H'1F', D'31', B'101', O'17', A'x': a number in a radix of its own
            if (at - begin == 1 && at < size && line[size_t(at)] == '\'' && std::strchr("hHdDbBoOqQaA", c)) {
                for (++at; at < size && line[size_t(at)] != '\''; ++at) {
                }
                at = std::min(at + 1, size);
                tokens.push_back({TokenType::Number, begin, at});
            } else {
                tokens.push_back({TokenType::Word, begin, at});
            }
        } else {
            ++at;
            tokens.push_back({TokenType::Punct, begin, at});
        }
    }
    return tokens;
}

std::string_view Text(std::string_view line, const Token& token) {
    return line.substr(size_t(token.begin), size_t(token.end - token.begin));
}

bool Is(std::string_view line, const Token& token, char c) {
    return token.type == TokenType::Punct && line[size_t(token.begin)] == c;
}

std::string Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first, last - first + 1));
}

// The text of the line from a token to the comment.
std::string Rest(std::string_view line, const std::vector<Token>& tokens, size_t from) {
    if (from >= tokens.size())
        return {};
    return Trimmed(line.substr(size_t(tokens[from].begin), size_t(tokens.back().end - tokens[from].begin)));
}

// Directives whose operands name no symbol of the program.
bool NamesNoSymbol(const std::string& keyword) {
    static constexpr std::array<std::string_view, 16> kWords = {
        "list",  "processor", "radix",  "errorlevel", "title",    "subtitle", "messg",   "error",
        "expand", "noexpand", "nolist", "page",       "space",    "include",  "#include", "__maxram"};
    return std::find(kWords.begin(), kWords.end(), keyword) != kWords.end();
}

// Words the assembler's expressions know by themselves.
bool BuiltIn(std::string_view word) {
    static constexpr std::array<std::string_view, 9> kWords = {"high", "low", "upper", "$", "defined",
                                                               "w",    "f",   "a",     "b"};
    std::string folded = Fold(word);
    return std::find(kWords.begin(), kWords.end(), folded) != kWords.end();
}

// ---- Reading a line --------------------------------------------------------------------------------

struct LineReader {
    std::string_view line;
    const std::vector<Token>& tokens;
    LineRecord& record;

    void Define(const Token& token, Kind kind, std::string text, bool inMacro) {
        record.definitions.push_back(
            {std::string(Text(line, token)), kind, token.begin, std::move(text), record.after.radix, inMacro});
    }
    void UsesFrom(size_t from, bool operand) {
        for (size_t i = from; i < tokens.size(); ++i)
            if (tokens[i].type == TokenType::Word && !BuiltIn(Text(line, tokens[i])) && !IsKeyword(Text(line, tokens[i])))
                record.uses.push_back({std::string(Text(line, tokens[i])), tokens[i].begin, operand});
    }
    // "a, b:2, c": the names of a CBLOCK line, each at the block's next address.
    void BlockNames(size_t from) {
        LineState& state = record.after;
        for (size_t i = from; i < tokens.size(); ++i) {
            if (tokens[i].type != TokenType::Word || (i > from && !Is(line, tokens[i - 1], ',')))
                continue;
            Define(tokens[i], Kind::Block,
                   "(" + state.blockBase + ")+" + std::to_string(state.blockOffset), false);
            int increment = 1;
            if (i + 2 < tokens.size() && Is(line, tokens[i + 1], ':'))
                if (auto value = Evaluate(Text(line, tokens[i + 2]), state.radix, [](std::string_view) {
                        return std::optional<int64_t>();
                    }))
                    increment = int(std::clamp<int64_t>(*value, 0, 4096));
            state.blockOffset += increment;
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
                        record.uses.push_back({std::string(Text(line, tokens[k])), tokens[k].begin, true});
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
            record.include = std::string(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
        } else {
            record.include = std::string(Text(line, tokens[from]));
        }
    }
    void Radix(size_t from) {
        for (size_t i = from; i < tokens.size(); ++i) {
            std::string word = Fold(Text(line, tokens[i]));
            if (word == "dec" || word == "decimal")
                record.after.radix = 10;
            else if (word == "hex" || word == "hexadecimal")
                record.after.radix = 16;
            else if (word == "oct" || word == "octal")
                record.after.radix = 8;
        }
    }
};

bool InBody(const LineState& state) {
    return state.inMacro;
}

void ReadMacroBody(LineReader& reader, size_t keywordAt, const std::string& keyword, bool hasLabel) {
    LineRecord& record = reader.record;
    if (keyword == "endm") {
        record.after.inMacro = false;
        record.after.macroHasParameters = false;
        return;
    }
    if (hasLabel)
        reader.Define(reader.tokens[0], Kind::Label, {}, true);
    if (keyword == "local") {
        for (size_t i = keywordAt + 1; i < reader.tokens.size(); ++i)
            if (reader.tokens[i].type == TokenType::Word)
                reader.Define(reader.tokens[i], Kind::Local, {}, true);
        return;
    }
    reader.UsesFrom(keywordAt + 1, true);
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
        c = char(std::tolower(uint8_t(c)));
    return folded;
}

bool IsKeyword(std::string_view word) {
    auto in = [word](std::span<const std::string_view> list) {
        return std::binary_search(list.begin(), list.end(), word, [](std::string_view a, std::string_view b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return std::toupper(uint8_t(x)) < std::toupper(uint8_t(y));
            });
        });
    };
    return in(TPICParser::Instructions()) || in(TPICParser::Directives()) || in(TPICParser::DataDirectives());
}

LineRecord ReadLine(std::string_view line, const LineState& before) {
    LineRecord record;
    record.before = before;
    record.after = before;
    std::vector<Token> tokens = Lex(line);
    if (tokens.empty())
        return record;
    LineReader reader{line, tokens, record};
    // a word at the very start of the line, or any first word followed by a colon, is a label
    bool hasLabel = tokens[0].type == TokenType::Word &&
                    ((tokens[0].begin == 0 && !IsKeyword(Text(line, tokens[0]))) ||
                     (tokens.size() > 1 && Is(line, tokens[1], ':')));
    size_t keywordAt = hasLabel ? (tokens.size() > 1 && Is(line, tokens[1], ':') ? 2 : 1) : 0;
    std::string keyword = keywordAt < tokens.size() && tokens[keywordAt].type == TokenType::Word
                              ? Fold(Text(line, tokens[keywordAt]))
                              : std::string();
    if (before.inBlock) {
        if (keyword == "endc")
            record.after.inBlock = false;
        else
            reader.BlockNames(0);
        return record;
    }
    if (InBody(before)) {
        ReadMacroBody(reader, keywordAt, keyword, hasLabel);
        return record;
    }
    std::string rest = Rest(line, tokens, keywordAt + 1);
    if (keyword == "equ" || keyword == "set") {
        if (hasLabel)
            reader.Define(tokens[0], keyword == "equ" ? Kind::Constant : Kind::Variable, rest, false);
        reader.UsesFrom(keywordAt + 1, true);
    } else if (keyword == "cblock") {
        record.after.inBlock = true;
        if (!rest.empty()) {
            record.after.blockBase = rest;
            record.after.blockOffset = 0;
        }
        reader.UsesFrom(keywordAt + 1, true);
    } else if (keyword == "macro") {
        if (hasLabel)
            reader.Define(tokens[0], Kind::Macro, rest, false);
        for (size_t i = keywordAt + 1; i < tokens.size(); ++i)
            if (tokens[i].type == TokenType::Word)
                reader.Define(tokens[i], Kind::Parameter, {}, true);
        record.after.inMacro = true;
        record.after.macroHasParameters = !rest.empty();
    } else if (keyword == "#define") {
        if (keywordAt + 1 < tokens.size() && tokens[keywordAt + 1].type == TokenType::Word) {
            reader.Define(tokens[keywordAt + 1], Kind::Define, Rest(line, tokens, keywordAt + 2), false);
            reader.UsesFrom(keywordAt + 2, false);
        }
    } else if (keyword == "constant" || keyword == "variable") {
        reader.Assignments(keywordAt + 1, keyword == "constant" ? Kind::Constant : Kind::Variable);
    } else if (keyword == "#include" || keyword == "include") {
        reader.Include(keywordAt + 1);
    } else if (keyword == "radix") {
        reader.Radix(keywordAt + 1);
    } else if (keyword == "list") {
        // "list p=16f877a, r=dec"
        for (size_t i = keywordAt + 1; i + 2 < tokens.size(); ++i)
            if (Fold(Text(line, tokens[i])) == "r" && Is(line, tokens[i + 1], '='))
                reader.Radix(i + 2);
    } else {
        if (hasLabel)
            reader.Define(tokens[0], Kind::Label, {}, false);
        if (keyword == "ifdef" || keyword == "ifndef" || keyword == "#undefine" || keyword == "#ifdef" ||
            keyword == "#ifndef")
            reader.UsesFrom(keywordAt + 1, false);
        else if (!NamesNoSymbol(keyword)) {
            // a word in the mnemonic's place that is none: a macro's name, used
            if (!keyword.empty() && !IsKeyword(keyword))
                record.uses.push_back({std::string(Text(line, tokens[keywordAt])), tokens[keywordAt].begin, false});
            reader.UsesFrom(keywordAt + 1, true);
        }
    }
    return record;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

// ---- Expressions --------------------------------------------------------------------------------------

namespace {

class Evaluator {
  public:
    Evaluator(std::string_view text, int radix, const std::function<std::optional<int64_t>(std::string_view)>& lookup)
        : text_(text), radix_(radix), lookup_(lookup) {}

    std::optional<int64_t> Whole() {
        auto value = Binary(0);
        Skip();
        return value && at_ == text_.size() ? value : std::nullopt;
    }

  private:
    struct Operator {
        std::string_view symbol;
        int level;
    };
    void Skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
    }
    // The binary operators by level, loosest first.
    std::optional<Operator> PeekOperator() {
        static constexpr Operator kOperators[] = {
            {"||", 0}, {"&&", 1}, {"==", 5}, {"!=", 5}, {"<=", 6}, {">=", 6}, {"<<", 7}, {">>", 7}, {"|", 2},
            {"^", 3},  {"&", 4},  {"<", 6},  {">", 6},  {"+", 8},  {"-", 8},  {"*", 9},  {"/", 9},  {"%", 9}};
        Skip();
        for (const Operator& op : kOperators)
            if (text_.substr(at_).starts_with(op.symbol))
                return op;
        return std::nullopt;
    }
    std::optional<int64_t> Binary(int level) {
        if (++depth_ > 64)
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
            left = Apply(op->symbol, *left, *right);
        }
        --depth_;
        return left;
    }
    static std::optional<int64_t> Apply(std::string_view op, int64_t a, int64_t b) {
        if ((op == "/" || op == "%") && b == 0)
            return std::nullopt;
        uint64_t ua = uint64_t(a), ub = uint64_t(b);
        if (op == "+") return int64_t(ua + ub);
        if (op == "-") return int64_t(ua - ub);
        if (op == "*") return int64_t(ua * ub);
        if (op == "/") return a == INT64_MIN && b == -1 ? a : a / b;
        if (op == "%") return a == INT64_MIN && b == -1 ? 0 : a % b;
        if (op == "<<") return b < 0 || b > 63 ? 0 : int64_t(ua << b);
        if (op == ">>") return b < 0 || b > 63 ? (a < 0 ? -1 : 0) : a >> b;
        if (op == "&") return a & b;
        if (op == "|") return a | b;
        if (op == "^") return a ^ b;
        if (op == "&&") return int64_t(a && b);
        if (op == "||") return int64_t(a || b);
        if (op == "==") return int64_t(a == b);
        if (op == "!=") return int64_t(a != b);
        if (op == "<") return int64_t(a < b);
        if (op == ">") return int64_t(a > b);
        if (op == "<=") return int64_t(a <= b);
        return int64_t(a >= b);
    }
    std::optional<int64_t> Unary() {
        Skip();
        if (at_ >= text_.size())
            return std::nullopt;
        char c = text_[at_];
        if (c == '-' || c == '~' || c == '!' || c == '+') {
            ++at_;
            auto value = Unary();
            if (!value)
                return std::nullopt;
            return c == '-' ? int64_t(0 - uint64_t(*value)) : c == '~' ? ~*value : c == '!' ? int64_t(!*value) : *value;
        }
        if (c == '(') {
            ++at_;
            auto value = Binary(0);
            Skip();
            if (!value || at_ >= text_.size() || text_[at_] != ')')
                return std::nullopt;
            ++at_;
            return value;
        }
        return Primary();
    }
    std::optional<int64_t> Digits(std::string_view digits, int base) {
        if (digits.empty())
            return std::nullopt;
        uint64_t value = 0;
        for (char c : digits) {
            int digit = std::isdigit(uint8_t(c)) ? c - '0' : std::isalpha(uint8_t(c)) ? std::tolower(uint8_t(c)) - 'a' + 10 : 99;
            if (digit >= base)
                return std::nullopt;
            value = value * uint64_t(base) + uint64_t(digit);
        }
        return int64_t(value);
    }
    std::optional<int64_t> Primary() {
        size_t begin = at_;
        char c = text_[at_];
        // H'1F' and its kin, 'A'
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'' && std::strchr("hHdDbBoOqQaA", c)) {
            size_t close = text_.find('\'', at_ + 2);
            if (close == std::string_view::npos)
                return std::nullopt;
            std::string_view body = text_.substr(at_ + 2, close - at_ - 2);
            at_ = close + 1;
            char kind = char(std::tolower(uint8_t(c)));
            if (kind == 'a')
                return body.size() == 1 ? std::optional<int64_t>(uint8_t(body[0])) : std::nullopt;
            return Digits(body, kind == 'h' ? 16 : kind == 'd' ? 10 : kind == 'b' ? 2 : 8);
        }
        if (c == '\'') {
            if (at_ + 2 < text_.size() && text_[at_ + 2] == '\'') {
                at_ += 3;
                return uint8_t(text_[begin + 1]);
            }
            return std::nullopt;
        }
        if (c == '.' && at_ + 1 < text_.size() && std::isdigit(uint8_t(text_[at_ + 1]))) {
            ++at_;
            size_t start = at_;
            while (at_ < text_.size() && std::isdigit(uint8_t(text_[at_])))
                ++at_;
            return Digits(text_.substr(start, at_ - start), 10);
        }
        if (std::isdigit(uint8_t(c))) {
            while (at_ < text_.size() && std::isalnum(uint8_t(text_[at_])))
                ++at_;
            std::string_view word = text_.substr(begin, at_ - begin);
            if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
                return Digits(word.substr(2), 16);
            if (word.size() > 2 && word[0] == '0' && (word[1] == 'b' || word[1] == 'B') && radix_ != 16)
                return Digits(word.substr(2), 2);
            char last = char(std::tolower(uint8_t(word.back())));
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
            std::string folded = Fold(word);
            if (folded == "high" || folded == "low" || folded == "upper") {
                auto value = Unary();
                if (!value)
                    return std::nullopt;
                return folded == "low" ? (*value & 0xFF) : folded == "high" ? ((*value >> 8) & 0xFF) : ((*value >> 16) & 0xFF);
            }
            return lookup_(word);
        }
        return std::nullopt;
    }

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

void FileSymbols::Count(const LineRecord& record, int change) {
    for (const Definition& definition : record.definitions) {
        if (definition.kind == Kind::Parameter || definition.kind == Kind::Local)
            continue;
        std::string folded = Fold(definition.name);
        int& count = defined_[folded];
        count += change;
        if (count <= 0)
            defined_.erase(folded);
        if (onDefinitionChanged)
            onDefinitionChanged(folded, change);
    }
}

LineState FileSymbols::StateBefore(int line) const {
    return line > 0 && line <= int(lines_.size()) ? lines_[size_t(line) - 1].after : LineState();
}

void FileSymbols::SetText(std::string_view text) {
    std::vector<std::string_view> lines = SplitTextLines(text);
    Update(0, lineCount(), lines);
}

int FileSymbols::Update(int first, int removed, std::span<const std::string_view> lines) {
    first = std::clamp(first, 0, lineCount());
    removed = std::clamp(removed, 0, lineCount() - first);
    for (int i = first; i < first + removed; ++i)
        Count(lines_[size_t(i)], -1);
    std::vector<std::string> texts(lines.begin(), lines.end());
    lines_.erase(lines_.begin() + first, lines_.begin() + first + removed);
    texts_.erase(texts_.begin() + first, texts_.begin() + first + removed);
    lines_.insert(lines_.begin() + first, lines.size(), LineRecord());
    texts_.insert(texts_.begin() + first, std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    LineState state = StateBefore(first);
    int read = 0;
    int end = first + int(lines.size());
    for (int i = first; i < lineCount(); ++i) {
        // past the new lines, a line is read again only when the state it starts in changed
        if (i >= end && lines_[size_t(i)].before == state)
            break;
        if (i >= end)
            Count(lines_[size_t(i)], -1);
        lines_[size_t(i)] = ReadLine(texts_[size_t(i)], state);
        Count(lines_[size_t(i)], +1);
        state = lines_[size_t(i)].after;
        ++read;
    }
    return read;
}

void FileSymbols::ForEachDefinition(const std::function<void(int, const Definition&)>& visit) const {
    for (int line = 0; line < lineCount(); ++line)
        for (const Definition& definition : lines_[size_t(line)].definitions)
            visit(line, definition);
}

// ---- The program --------------------------------------------------------------------------------------

SymbolIndex::SymbolIndex() = default;
SymbolIndex::~SymbolIndex() = default;

void SymbolIndex::Change(const std::string& folded, int change) {
    int& count = defined_[folded];
    count += change;
    if (count <= 0)
        defined_.erase(folded);
}

void SymbolIndex::SetText(const std::string& path, std::string_view text) {
    std::unique_ptr<FileSymbols>& file = files_[path];
    if (!file) {
        file = std::make_unique<FileSymbols>();
        file->onDefinitionChanged = [this](const std::string& folded, int change) { Change(folded, change); };
    }
    file->SetText(text);
    Follow(path, 0, file->lineCount());
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
    SetText(path, *text);
    return true;
}

int SymbolIndex::Update(const std::string& path, int first, int removed, std::span<const std::string_view> lines) {
    auto found = files_.find(path);
    if (found == files_.end()) {
        std::string text;
        for (std::string_view line : lines)
            text.append(line).append("\n");
        SetText(path, text);
        return int(lines.size());
    }
    int read = found->second->Update(first, removed, lines);
    Follow(path, first, first + read);
    return read;
}

void SymbolIndex::RemoveFile(const std::string& path) {
    auto found = files_.find(path);
    if (found == files_.end())
        return;
    found->second->Update(0, found->second->lineCount(), {});
    files_.erase(found);
    missingInclude_.erase(path);
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

void SymbolIndex::Follow(const std::string& path, int first, int end) {
    const FileSymbols* file = this->file(path);
    if (!file)
        return;
    bool missing = first == 0 ? false : missingInclude_[path];
    std::vector<std::string> found;
    for (int line = std::max(first, 0); line < std::min(end, file->lineCount()); ++line) {
        const std::string& include = file->line(line).include;
        if (include.empty())
            continue;
        std::string resolved = Resolve(path, include);
        if (resolved.empty())
            missing = true;
        else
            found.push_back(resolved);
    }
    missingInclude_[path] = missing;
    for (const std::string& include : found)
        if (!files_.count(include))
            AddFile(include);
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
    auto found = missingInclude_.find(path);
    return found != missingInclude_.end() && found->second;
}

bool SymbolIndex::Knows(std::string_view name) const {
    return defined_.count(Fold(name)) > 0;
}

std::vector<Symbol> SymbolIndex::Definitions(std::string_view name) const {
    std::vector<Symbol> exact, other;
    std::string folded = Fold(name);
    for (const auto& [path, file] : files_)
        file->ForEachDefinition([&](int line, const Definition& definition) {
            if (definition.name.size() != name.size() || Fold(definition.name) != folded)
                return;
            Symbol symbol{definition.name, definition.kind, {path, line, definition.column}, definition.text, {}};
            (definition.name == name ? exact : other).push_back(std::move(symbol));
        });
    exact.insert(exact.end(), other.begin(), other.end());
    for (Symbol& symbol : exact)
        if (symbol.kind == Kind::Constant || symbol.kind == Kind::Variable || symbol.kind == Kind::Block)
            symbol.value = Value(symbol.name);
    return exact;
}

std::optional<int64_t> SymbolIndex::Value(std::string_view name) const {
    return ValueOf(name, 0);
}

std::optional<int64_t> SymbolIndex::ValueOf(std::string_view name, int depth) const {
    if (depth > 32 || !Knows(name))
        return std::nullopt;
    std::string folded = Fold(name);
    const Definition* best = nullptr;
    for (const auto& [path, file] : files_) {
        file->ForEachDefinition([&](int, const Definition& definition) {
            if ((!best || (best->name != name && definition.name == name)) && definition.name.size() == name.size() &&
                Fold(definition.name) == folded &&
                (definition.kind == Kind::Constant || definition.kind == Kind::Variable ||
                 definition.kind == Kind::Block || definition.kind == Kind::Define))
                best = &definition;
        });
    }
    if (!best)
        return std::nullopt;
    return Evaluate(best->text, best->radix,
                    [this, depth](std::string_view other) { return ValueOf(other, depth + 1); });
}

std::vector<Location> SymbolIndex::References(std::string_view name) const {
    std::vector<Location> places;
    std::string folded = Fold(name);
    auto same = [&](const std::string& other) { return other.size() == name.size() && Fold(other) == folded; };
    for (const auto& [path, file] : files_)
        for (int line = 0; line < file->lineCount(); ++line) {
            const LineRecord& record = file->line(line);
            std::vector<int> columns;
            for (const Definition& definition : record.definitions)
                if (same(definition.name))
                    columns.push_back(definition.column);
            for (const Use& use : record.uses)
                if (same(use.name))
                    columns.push_back(use.column);
            std::sort(columns.begin(), columns.end());
            for (int column : columns)
                places.push_back({path, line, column});
        }
    return places;
}

std::vector<Symbol> SymbolIndex::Complete(std::string_view prefix, size_t limit) const {
    std::string folded = Fold(prefix);
    std::map<std::string, Symbol> found;  // by folded name: one entry each, sorted
    for (const auto& [path, file] : files_)
        file->ForEachDefinition([&](int line, const Definition& definition) {
            if (definition.kind == Kind::Parameter || definition.kind == Kind::Local ||
                definition.name.size() < prefix.size())
                return;
            for (size_t i = 0; i < prefix.size(); ++i)
                if (std::tolower(uint8_t(definition.name[i])) != uint8_t(folded[i]))
                    return;
            found.try_emplace(Fold(definition.name),
                              Symbol{definition.name, definition.kind, {path, line, definition.column}, definition.text, {}});
        });
    std::vector<Symbol> symbols;
    for (auto& [key, symbol] : found) {
        if (symbols.size() >= limit)
            break;
        symbols.push_back(std::move(symbol));
    }
    for (Symbol& symbol : symbols)
        if (symbol.kind == Kind::Constant || symbol.kind == Kind::Variable || symbol.kind == Kind::Block)
            symbol.value = Value(symbol.name);
    return symbols;
}

std::vector<Symbol> SymbolIndex::Outline(const std::string& path) const {
    std::vector<Symbol> symbols;
    if (const FileSymbols* symbolsOf = file(path))
        symbolsOf->ForEachDefinition([&](int line, const Definition& definition) {
            if (definition.kind != Kind::Parameter && definition.kind != Kind::Local)
                symbols.push_back({definition.name, definition.kind, {path, line, definition.column}, definition.text, {}});
        });
    return symbols;
}

}  // namespace picsym
