// SPDX-License-Identifier: GPL-3.0-or-later
// TPICParser: character sets, word lists, the dispatch table and the recognisers of the tokenizer.
#include "editor/PICParser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace {

// ---- Character sets -------------------------------------------------------------------------------

enum CharSet : std::uint8_t {
    kWordStart = 1 << 0,
    kWordBody = 1 << 1,
    kDecimalDigit = 1 << 2,
    kHexDigit = 1 << 3,
    kBinaryDigit = 1 << 4,
    kRadixLetter = 1 << 5,
    kRadixBody = 1 << 6,
    kLineEndChar = 1 << 7,
};

constexpr std::array<std::uint8_t, 256> BuildCharSets() {
    std::array<std::uint8_t, 256> sets{};
    for (int c = 'A'; c <= 'Z'; ++c) {
        sets[c] |= kWordStart | kWordBody;
        sets[c + ('a' - 'A')] |= kWordStart | kWordBody;
    }
    sets['_'] |= kWordStart | kWordBody;
    sets['#'] |= kWordStart;
    for (int c = '0'; c <= '9'; ++c) {
        sets[c] |= kWordBody | kDecimalDigit | kHexDigit;
    }
    for (int c = 'A'; c <= 'F'; ++c) {
        sets[c] |= kHexDigit;
        sets[c + ('a' - 'A')] |= kHexDigit;
    }
    sets['0'] |= kBinaryDigit;
    sets['1'] |= kBinaryDigit;
    for (char c : {'B', 'D', 'H', 'b', 'd', 'h'}) {
        sets[static_cast<unsigned char>(c)] |= kRadixLetter;
    }
    sets['\t'] |= kRadixBody;
    for (int c = ' '; c <= 255; ++c) {
        if (c != '\'') {
            sets[c] |= kRadixBody;
        }
    }
    sets['\r'] |= kLineEndChar;
    sets['\n'] |= kLineEndChar;
    return sets;
}

constexpr std::array<std::uint8_t, 256> kCharSets = BuildCharSets();

constexpr bool In(char c, CharSet set) {
    return (kCharSets[static_cast<unsigned char>(c)] & set) != 0;
}

// ---- Word lists -----------------------------------------------------------------------------------

constexpr char UpperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// Orders words by their upper-case spelling, so that "movlw" finds "MOVLW".
constexpr int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char x = UpperCase(a[i]);
        const char y = UpperCase(b[i]);
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

constexpr bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b) < 0;
}

// No listed word is longer ("ERRORLEVEL").
constexpr std::size_t kLongestListedWord = 10;

// The letters of a folded word packed into two numbers, so that telling two words apart takes two
// comparisons of numbers. No byte of a word is 0, so the zeros after a short word keep words of different
// lengths apart.
struct WordKey {
    std::uint64_t head = 0;  // letters 1 to 8
    std::uint16_t tail = 0;  // letters 9 and 10
    constexpr bool operator==(const WordKey&) const = default;
};

// A word spelled in upper case, as every list spells its words, so that one fold serves all three
// lookups. A word longer than any listed word folds to the empty word, which no list holds.
class FoldedWord {
  public:
    constexpr explicit FoldedWord(std::string_view word) {
        if (word.size() <= kLongestListedWord) {
            size_ = word.size();
            for (std::size_t i = 0; i < size_; ++i) {
                letters_[i] = UpperCase(word[i]);
                const auto letter = static_cast<unsigned char>(letters_[i]);
                if (i < 8) {
                    key_.head |= std::uint64_t{letter} << (8 * i);
                } else {
                    key_.tail = static_cast<std::uint16_t>(key_.tail | letter << (8 * (i - 8)));
                }
            }
        }
    }
    constexpr std::string_view View() const { return {letters_.data(), size_}; }
    constexpr WordKey Key() const { return key_; }

  private:
    std::array<char, kLongestListedWord> letters_{};
    std::size_t size_ = 0;
    WordKey key_;
};

// Orders words by first letter, then by length.
constexpr bool LetterThenLength(std::string_view a, std::string_view b) {
    const auto x = static_cast<unsigned char>(a[0]);
    const auto y = static_cast<unsigned char>(b[0]);
    return x != y ? x < y : a.size() < b.size();
}

template <std::size_t N>
struct WordList {
    std::array<std::string_view, N> words;
    // The words' keys by first letter, then by length: those of the words with first letter c and n
    // letters are keys[start[c][n], start[c][n + 1]). Most words in real source are labels with no listed
    // word of their length and first letter, and need no comparison; the others need a few.
    std::array<WordKey, N> keys{};
    std::array<std::array<std::uint8_t, kLongestListedWord + 2>, 256> start{};

    constexpr explicit WordList(std::array<std::string_view, N> given) : words(given) {
        std::sort(words.begin(), words.end(), LessIgnoringCase);
        std::array<std::string_view, N> grouped = words;
        std::sort(grouped.begin(), grouped.end(), LetterThenLength);
        for (std::size_t i = 0; i < N; ++i) {
            keys[i] = FoldedWord(grouped[i]).Key();
        }
        std::size_t index = 0;
        for (std::size_t c = 0; c < 256; ++c) {
            for (std::size_t n = 0; n < kLongestListedWord + 2; ++n) {
                while (index < N &&
                       (static_cast<unsigned char>(grouped[index][0]) < c ||
                        (static_cast<unsigned char>(grouped[index][0]) == c && grouped[index].size() < n))) {
                    ++index;
                }
                start[c][n] = static_cast<std::uint8_t>(index);
            }
        }
    }

    // A word longer than any listed word has folded to the empty word, and needs no search either.
    constexpr bool Contains(const FoldedWord& word) const {
        const std::string_view folded = word.View();
        if (folded.empty()) {
            return false;
        }
        const auto& group = start[static_cast<unsigned char>(folded[0])];
        const WordKey key = word.Key();
        for (std::size_t i = group[folded.size()]; i < group[folded.size() + 1]; ++i) {
            if (keys[i] == key) {
                return true;
            }
        }
        return false;
    }

    constexpr bool IsWellFormed() const {
        for (std::string_view word : words) {
            if (word.empty() || word.size() > kLongestListedWord || FoldedWord(word).View() != word) {
                return false;
            }
        }
        return std::adjacent_find(words.begin(), words.end()) == words.end();
    }
};

// The 35 instructions of the 14-bit core, then the 28 special instruction mnemonics.
constexpr WordList<63> kInstructions(std::array<std::string_view, 63>{
    "ADDLW",  "ADDWF", "ANDLW",  "ANDWF",  "BCF",    "BSF",   "BTFSC",  "BTFSS", "CALL",  "CLRF",  "CLRW",
    "CLRWDT", "COMF",  "DECF",   "DECFSZ", "GOTO",   "INCF",  "INCFSZ", "IORLW", "IORWF", "MOVLW", "MOVF",
    "MOVWF",  "NOP",   "RETFIE", "RETLW",  "RETURN", "RLF",   "RRF",    "SLEEP", "SUBLW", "SUBWF", "SWAPF",
    "XORLW",  "XORWF", "ADDCF",  "ADDDCF", "B",      "BC",    "BDC",    "BNC",   "BNDC",  "BNZ",   "BZ",
    "CLRC",   "CLRDC", "CLRZ",   "LCALL",  "LGOTO",  "MOVFW", "NEGF",   "SETC",  "SETDC", "SETZ",  "SKPC",
    "SKPDC",  "SKPNC", "SKPNDC", "SKPNZ",  "SKPZ",   "SUBCF", "SUBDCF", "TSTF",
});

constexpr WordList<39> kDirectives(std::array<std::string_view, 39>{
    "__BADRAM", "BANKISEL", "BANKSEL",  "CBLOCK",   "__CONFIG",  "CONSTANT", "#DEFINE",    "ELSE",
    "END",      "ENDC",     "ENDIF",    "ENDM",     "ENDW",      "ERROR",    "ERRORLEVEL", "EXITM",
    "EXPAND",   "EXTERN",   "__IDLOCS", "IF",       "IFDEF",     "IFNDEF",   "INCLUDE",    "LIST",
    "LOCAL",    "MACRO",    "__MAXRAM", "NOEXPAND", "NOLIST",    "PAGE",     "PAGESEL",    "PROCESSOR",
    "RADIX",    "SPACE",    "SUBTITLE", "TITLE",    "#UNDEFINE", "VARIABLE", "WHILE",
});

// "END" is also a directive; the directive list is searched first, so it never comes out as this.
constexpr WordList<20> kDataDirectives(std::array<std::string_view, 20>{
    "DA",    "DB",  "DW",  "DE",  "DT",    "RES",       "DATA",      "CODE",      "FILL", "GLOBAL",
    "IDATA", "END", "EQU", "SET", "UDATA", "UDATA_ACS", "UDATA_OVR", "UDATA_SHR", "ORG",  "MESSG",
});

static_assert(kInstructions.IsWellFormed() && kDirectives.IsWellFormed() && kDataDirectives.IsWellFormed());
static_assert(kInstructions.Contains(FoldedWord("movlw")) && kDirectives.Contains(FoldedWord("#define")) &&
              kDataDirectives.Contains(FoldedWord("Equ")) &&
              !kDirectives.Contains(FoldedWord("ERRORLEVELS")));

// ---- Dispatch table -------------------------------------------------------------------------------

enum class Recogniser : std::uint8_t {
    kNone,  // stepped over, stays kWhitespace
    kSingleCharacter,
    kLineEnd,
    kDoubleQuotedString,
    kSingleQuotedString,
    kWord,
    kComment,
    kDecimalNumber,
    kZeroPrefixedNumber,
};

// Built in this order, a later entry replacing an earlier one for the same first byte.
constexpr std::array<Recogniser, 256> BuildDispatchTable() {
    std::array<Recogniser, 256> table{};
    for (int c = '!'; c <= 255; ++c) {
        table[c] = Recogniser::kSingleCharacter;
    }
    table['\r'] = Recogniser::kLineEnd;
    table['\n'] = Recogniser::kLineEnd;
    table['"'] = Recogniser::kDoubleQuotedString;
    table['\''] = Recogniser::kSingleQuotedString;
    for (int c = 0; c <= 255; ++c) {
        if (In(static_cast<char>(c), kWordStart)) {
            table[c] = Recogniser::kWord;
        }
    }
    table[';'] = Recogniser::kComment;
    for (int c = '0'; c <= '9'; ++c) {
        table[c] = Recogniser::kDecimalNumber;
    }
    table['0'] = Recogniser::kZeroPrefixedNumber;
    return table;
}

constexpr std::array<Recogniser, 256> kDispatch = BuildDispatchTable();

// ---- Byte helpers ---------------------------------------------------------------------------------

constexpr std::uint64_t kOnes = 0x0101010101010101;

// Whether any of the eight bytes at `text` is a CR or an LF. In x, the word XOR one of them, a byte is 0
// exactly where the text has that character; adding 0x7F to its low seven bits, or-ed with the byte, sets
// its top bit exactly where it is not 0, and no sum carries into the next byte.
inline bool HasLineEnd(const char* text) {
    std::uint64_t word = 0;
    std::memcpy(&word, text, 8);
    const auto noneZero = [](std::uint64_t x) {
        return ((((x & (kOnes * 0x7F)) + kOnes * 0x7F) | x) & (kOnes * 0x80)) == kOnes * 0x80;
    };
    return !noneZero(word ^ (kOnes * '\r')) || !noneZero(word ^ (kOnes * '\n'));
}

// Gives `count` bytes the same class. Tokens are short: a few overlapping stores beat a call to memset.
inline void Fill(std::uint8_t* to, std::uint8_t value, std::size_t count) {
    if (count > 32) {
        std::memset(to, value, count);
    } else if (count >= 8) {
        const std::uint64_t eight = kOnes * value;
        for (std::size_t i = 0; i + 8 < count; i += 8) {
            std::memcpy(to + i, &eight, 8);
        }
        std::memcpy(to + count - 8, &eight, 8);
    } else if (count >= 4) {
        const std::uint32_t four = 0x01010101u * value;
        std::memcpy(to, &four, 4);
        std::memcpy(to + count - 4, &four, 4);
    } else if (count > 0) {
        to[0] = value;
        to[count / 2] = value;
        to[count - 1] = value;
    }
}

// ---- Recognisers ----------------------------------------------------------------------------------

// Where a token ends and the class of all its bytes.
struct Token {
    std::size_t end;
    std::uint8_t tokenClass;
};

// One line of text; every recogniser starts at `pos` < `length` and never reads past `length`.
class Scanner {
  public:
    Scanner(const char* text, std::size_t length) : text_(text), length_(length) {}

    Token Recognise(Recogniser recogniser, std::size_t pos) const {
        switch (recogniser) {
            case Recogniser::kSingleCharacter:
                return {pos + 1, TPICParser::kDelimiter};
            case Recogniser::kLineEnd:
                return LineEnd(pos);
            case Recogniser::kDoubleQuotedString:
                return DoubleQuotedString(pos);
            case Recogniser::kSingleQuotedString:
                return SingleQuotedString(pos);
            case Recogniser::kWord:
                return Word(pos);
            case Recogniser::kComment:
                return {LineEndFrom(pos), TPICParser::kComment};
            case Recogniser::kDecimalNumber:
                return DecimalNumber(pos);
            case Recogniser::kZeroPrefixedNumber:
                return ZeroPrefixedNumber(pos);
            case Recogniser::kNone:
                break;
        }
        return {pos + 1, TPICParser::kWhitespace};
    }

  private:
    bool At(std::size_t pos, char c) const { return pos < length_ && text_[pos] == c; }
    bool AtSet(std::size_t pos, CharSet set) const { return pos < length_ && In(text_[pos], set); }

    std::size_t Skip(std::size_t pos, CharSet set) const {
        while (AtSet(pos, set)) {
            ++pos;
        }
        return pos;
    }

    // The first CR or LF at or after `pos`, or the end of the text. Comments run long, so eight bytes at a
    // time while none of them is a CR or LF.
    std::size_t LineEndFrom(std::size_t pos) const {
        while (pos + 8 <= length_ && !HasLineEnd(text_ + pos)) {
            pos += 8;
        }
        while (pos < length_ && !In(text_[pos], kLineEndChar)) {
            ++pos;
        }
        return pos;
    }

    // The first `quote` before the line ends, or the end of the line.
    std::size_t FindOnLine(std::size_t pos, char quote) const {
        while (pos < length_ && text_[pos] != quote && !In(text_[pos], kLineEndChar)) {
            ++pos;
        }
        return pos;
    }

    // CR LF and LF CR count as one line end.
    Token LineEnd(std::size_t pos) const {
        const char other = text_[pos] == '\r' ? '\n' : '\r';
        return {At(pos + 1, other) ? pos + 2 : pos + 1, TPICParser::kWhitespace};
    }

    // A quote after a backslash does not close the string.
    Token DoubleQuotedString(std::size_t pos) const {
        std::size_t quote = FindOnLine(pos + 1, '"');
        while (At(quote, '"') && text_[quote - 1] == '\\') {
            quote = FindOnLine(quote + 1, '"');
        }
        return {At(quote, '"') ? quote + 1 : quote, TPICParser::kString};
    }

    // A doubled quote stands for one and does not close the string.
    Token SingleQuotedString(std::size_t pos) const {
        std::size_t quote = FindOnLine(pos + 1, '\'');
        while (At(quote, '\'') && At(quote + 1, '\'')) {
            quote = FindOnLine(quote + 2, '\'');
        }
        return {At(quote, '\'') ? quote + 1 : quote, TPICParser::kString};
    }

    // Digits, then a fraction only if a digit follows the point, then an exponent.
    Token DecimalNumber(std::size_t pos) const {
        std::size_t end = Skip(pos + 1, kDecimalDigit);
        bool isFloat = false;
        if (At(end, '.') && AtSet(end + 1, kDecimalDigit)) {
            end = Skip(end + 1, kDecimalDigit);
            isFloat = true;
        }
        if (At(end, 'E') || At(end, 'e')) {
            end = Exponent(end);
            isFloat = true;
        }
        return {end, isFloat ? TPICParser::kFloat : TPICParser::kInteger};
    }

    // "E" or "e", an optional sign, and any number of digits (none too).
    std::size_t Exponent(std::size_t pos) const {
        ++pos;
        if (At(pos, '+') || At(pos, '-')) {
            ++pos;
        }
        return Skip(pos, kDecimalDigit);
    }

    // Only a lower-case "x" with a hexadecimal digit after it makes 0x hexadecimal.
    Token ZeroPrefixedNumber(std::size_t pos) const {
        if (!At(pos + 1, 'x')) {
            return DecimalNumber(pos);
        }
        if (AtSet(pos + 2, kHexDigit)) {
            return {Skip(pos + 2, kHexDigit), TPICParser::kInteger};
        }
        return {pos + 1, TPICParser::kDelimiter};
    }

    Token Word(std::size_t pos) const;
    bool RadixLiteral(std::size_t pos, std::size_t* end) const;

    const char* text_;
    std::size_t length_;
};

// H'..', D'..' or B'..' with a non-empty body of digits of that radix, through the closing quote.
bool Scanner::RadixLiteral(std::size_t pos, std::size_t* end) const {
    if (!AtSet(pos, kRadixLetter) || !At(pos + 1, '\'')) {
        return false;
    }
    const std::size_t bodyStart = pos + 2;
    const std::size_t quote = Skip(bodyStart, kRadixBody);
    if (!At(quote, '\'') || quote == bodyStart) {
        return false;
    }
    const char radix = UpperCase(text_[pos]);
    const CharSet digits = radix == 'H' ? kHexDigit : (radix == 'D' ? kDecimalDigit : kBinaryDigit);
    if (Skip(bodyStart, digits) != quote) {
        return false;
    }
    *end = quote + 1;
    return true;
}

// A word is a radix literal, a directive with the rest of its line up to ";", a data directive, an
// instruction or an identifier; a "#" that starts no directive is a delimiter of its own.
Token Scanner::Word(std::size_t pos) const {
    std::size_t end = 0;
    if (RadixLiteral(pos, &end)) {
        return {end, TPICParser::kInteger};
    }
    end = Skip(pos + 1, kWordBody);
    const FoldedWord word(std::string_view(text_ + pos, end - pos));
    if (kDirectives.Contains(word)) {
        std::size_t stop = end;
        while (stop < length_ && text_[stop] != ';' && !In(text_[stop], kLineEndChar)) {
            ++stop;
        }
        return {stop, TPICParser::kDefine};
    }
    if (kDataDirectives.Contains(word)) {
        return {end, TPICParser::kPseudoReservedWord};
    }
    if (text_[pos] != '#') {
        return {end, kInstructions.Contains(word) ? TPICParser::kReservedWord : TPICParser::kIdentifier};
    }
    return {pos + 1, TPICParser::kDelimiter};
}

// ---- Lines ----------------------------------------------------------------------------------------

// Walks a text line by line as the editor splits it. It keeps the next LF and the next CR it found, so
// each of the two vectorised searches passes over the text once, whichever line ends it uses.
class LineSplitter {
  public:
    explicit LineSplitter(std::string_view text) : text_(text), nextLf_(Find('\n')), nextCr_(Find('\r')) {}

    bool Next(TPICParser::TextLine* line) {
        if (from_ >= text_.size()) {
            return false;
        }
        if (nextLf_ < from_) {
            nextLf_ = Find('\n');
        }
        if (nextCr_ < from_) {
            nextCr_ = Find('\r');
        }
        const std::size_t end = std::min(nextLf_, nextCr_);
        std::size_t endLength = 0;
        if (end < text_.size()) {
            endLength = text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n' ? 2 : 1;
        }
        *line = {from_, end - from_, endLength};
        from_ = end + endLength;
        return true;
    }

  private:
    // The first `c` from the current line on, or the end of the text.
    std::size_t Find(char c) const {
        if (from_ >= text_.size()) {
            return text_.size();
        }
        const void* found = std::memchr(text_.data() + from_, c, text_.size() - from_);
        return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data())
                                : text_.size();
    }

    std::string_view text_;
    std::size_t from_ = 0;
    std::size_t nextLf_;
    std::size_t nextCr_;
};

}  // namespace

// ---- TPICParser -----------------------------------------------------------------------------------

TPICParser::LineState TPICParser::ParseLine(const char* text, std::size_t length, std::uint8_t* classes,
                                            LineState state) const {
    const Scanner scanner(text, length);
    std::size_t pos = 0;
    while (pos < length) {
        const Recogniser recogniser = kDispatch[static_cast<unsigned char>(text[pos])];
        if (recogniser == Recogniser::kNone) {
            const std::size_t start = pos;
            do {
                ++pos;
            } while (pos < length && kDispatch[static_cast<unsigned char>(text[pos])] == Recogniser::kNone);
            Fill(classes + start, kWhitespace, pos - start);
            continue;
        }
        const Token token = scanner.Recognise(recogniser, pos);
        Fill(classes + pos, token.tokenClass, token.end - pos);
        pos = token.end;
    }
    return state;
}

TPICParser::LineState TPICParser::ParseLine(std::string_view line, std::span<std::uint8_t> classes,
                                            LineState state) const {
    if (classes.size() < line.size()) {
        throw std::length_error("TPICParser::ParseLine: fewer classes than bytes");
    }
    return ParseLine(line.data(), line.size(), classes.data(), state);
}

TPICParser::LineState TPICParser::ParseText(std::string_view text, std::uint8_t* classes,
                                            LineState state) const {
    LineSplitter splitter(text);
    TextLine line;
    while (splitter.Next(&line)) {
        state =
            ParseLine(text.data() + line.start, line.length + line.endLength, classes + line.start, state);
    }
    return state;
}

std::vector<TPICParser::TextLine> TPICParser::SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    LineSplitter splitter(text);
    TextLine line;
    while (splitter.Next(&line)) {
        lines.push_back(line);
    }
    return lines;
}

std::span<const std::string_view> TPICParser::Instructions() {
    return kInstructions.words;
}
std::span<const std::string_view> TPICParser::Directives() {
    return kDirectives.words;
}
std::span<const std::string_view> TPICParser::DataDirectives() {
    return kDataDirectives.words;
}
