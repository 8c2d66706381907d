// SPDX-License-Identifier: GPL-3.0-or-later
// Tokenizer tests: each line is written above the classes its bytes must get, one hex digit a byte.
#include "editor/PICParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The class of every byte as one hex digit, as pictokens prints it.
std::string Classes(std::string_view line, TPICParser::LineState state = 0) {
    std::vector<std::uint8_t> classes(line.size(), 0xEE);
    const TPICParser parser;
    EXPECT_EQ(parser.ParseLine(line, classes, state), state);
    std::string digits;
    for (std::uint8_t c : classes) {
        digits.push_back("0123456789abcdef"[c & 15]);
    }
    return digits;
}

// `piece` written `count` times.
std::string Repeat(std::string_view piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

std::string Repeat(char digit, std::size_t count) {
    return std::string(count, digit);
}

TEST(PreviewText, EveryLineOfTheEnvironmentPreviewGetsItsColours) {
    const std::pair<const char*, const char*> lines[] = {
        {R"(include "serial.asm" ;preprocessor)", R"(8888888888888888888882222222222222)"},
        {R"(    org 0x30)", R"(0000fff04444)"},
        {R"(Buffer RES H'E' + D'4' + B'1')", R"(3333330fff0444407044440704444)"},
        {R"()", R"()"},
        {R"(    org 0x00)", R"(0000fff04444)"},
        {R"(msg da "this is a string")", R"(3330ff0111111111111111111)"},
        {R"(  nop)", R"(00666)"},
        {R"(  incf counter)", R"(00666603333333)"},
        {R"(  movlw H'55' ;execution point)", R"(006666604444402222222222222222)"},
        {R"(  setz ;breakpoint)", R"(006666022222222222)"},
        {R"(  movlw 45 ;counter)", R"(0066666044022222222)"},
        {R"(  ;bookmark)", R"(00222222222)"},
        {R"(  n5op ;error line)", R"(003333022222222222)"},
    };
    for (const auto& [text, expected] : lines) {
        EXPECT_EQ(Classes(text), expected) << text;
    }
}

TEST(Words, ListsMatchWithoutRegardToCase) {
    EXPECT_EQ(Classes("movlw MOVLW MovLw"), "66666066666066666");
    EXPECT_EQ(Classes("data DATA end END"), "ffff0ffff08888888");
    EXPECT_EQ(Classes("b bz BNDC tstf x"), "6066066660666603");
    EXPECT_EQ(Classes("n5op movlw5 _nop nop_"), "333303333330333303333");
}

TEST(Words, EveryListedWordGetsItsListsClassInEitherCase) {
    const auto check = [](std::span<const std::string_view> words, char expected) {
        for (std::string_view word : words) {
            std::string lower(word);
            for (char& c : lower) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            EXPECT_EQ(Classes(word), Repeat(expected, word.size())) << word;
            EXPECT_EQ(Classes(lower), Repeat(expected, word.size())) << lower;
        }
    };
    check(TPICParser::Instructions(), '6');
    check(TPICParser::Directives(), '8');
    // "END" is a directive before it is a data directive.
    std::vector<std::string_view> data(TPICParser::DataDirectives().begin(),
                                       TPICParser::DataDirectives().end());
    std::erase(data, "END");
    check(data, 'f');
    EXPECT_EQ(TPICParser::Instructions().size() + TPICParser::Directives().size() + data.size(),
              63u + 39u + 19u);
}

TEST(Words, DirectiveTakesTheRestOfItsLineUpToAComment) {
    EXPECT_EQ(Classes(R"(include "serial.asm" ;x)"), R"(88888888888888888888822)");
    EXPECT_EQ(Classes("#define X 5"), "88888888888");
    EXPECT_EQ(Classes("  #UNDEFINE X"), "0088888888888");
    // Even a ";" inside a quoted file name ends the directive.
    EXPECT_EQ(Classes(R"(include "a;b")"), R"(8888888888222)");
    EXPECT_EQ(Classes("list p=16f84\r\nnop"), "88888888888800666");
}

TEST(Words, HashStartsOnlyADirective) {
    EXPECT_EQ(Classes("#foo"), "7333");
    EXPECT_EQ(Classes("#"), "7");
    EXPECT_EQ(Classes("##define x"), "7888888888");
    EXPECT_EQ(Classes("#data #nop"), "7ffff07666");
}

TEST(RadixLiterals, ValidBodiesAreIntegers) {
    EXPECT_EQ(Classes("H'55' h'fF' D'09' d'1' B'0101' b'1'"), "44444044444044444044440444444404444");
    EXPECT_EQ(Classes("movlw D'4'+1"), "666660444474");
}

TEST(RadixLiterals, InvalidBodiesFallBackToWordAndString) {
    EXPECT_EQ(Classes("H'5G'"), "31111");
    EXPECT_EQ(Classes("H''"), "311");
    EXPECT_EQ(Classes("D'A' B'2'"), "311106111");
    EXPECT_EQ(Classes("X'55'"), "31111");
    // "B" alone is an instruction (the special branch mnemonic).
    EXPECT_EQ(Classes("B'12'"), "61111");
    EXPECT_EQ(Classes("H'1 2'"), "311111");
}

TEST(RadixLiterals, UnterminatedRunAsStringToTheLineEnd) {
    EXPECT_EQ(Classes("H'55"), "3111");
    EXPECT_EQ(Classes("movlw B'101 ;x"), "66666061111111");
    EXPECT_EQ(Classes("H'55\r\nnop"), "311100666");
    EXPECT_EQ(Classes("H'"), "31");
}

TEST(Numbers, DecimalAndFloat) {
    EXPECT_EQ(Classes("123 1.5 2E3 2e-3 1.5E+10"), "444055505550555505555555");
    EXPECT_EQ(Classes("1."), "47");
    EXPECT_EQ(Classes("1.x"), "473");
    EXPECT_EQ(Classes("1.2.3"), "55574");
    // The exponent needs no digits, so it eats a hex-suffix literal's letter.
    EXPECT_EQ(Classes("2E 2e+ 0Eh"), "5505550553");
    EXPECT_EQ(Classes("12abc"), "44333");
}

TEST(Numbers, ZeroPrefixedHex) {
    EXPECT_EQ(Classes("0x1F 0xabcdef"), "4444044444444");
    EXPECT_EQ(Classes("0X1F"), "4333");
    EXPECT_EQ(Classes("0xZ"), "733");
    EXPECT_EQ(Classes("0x"), "73");
    EXPECT_EQ(Classes("0"), "4");
    EXPECT_EQ(Classes("0x1G"), "4443");
    EXPECT_EQ(Classes("007 0.5"), "4440555");
}

TEST(Strings, DoubleQuoted) {
    EXPECT_EQ(Classes(R"("a;b" x)"), "1111103");
    EXPECT_EQ(Classes(R"("a\"b" x)"), "11111103");
    EXPECT_EQ(Classes(R"("" x)"), "1103");
    // A backslash before the quote always keeps the string open.
    EXPECT_EQ(Classes(R"("a\\" x)"), "1111111");
}

TEST(Strings, SingleQuotedWithDoubledQuote) {
    EXPECT_EQ(Classes("'a''b' x"), "11111103");
    EXPECT_EQ(Classes("'''' x"), "111103");
    EXPECT_EQ(Classes("'a' 'b'"), "1110111");
}

TEST(Strings, UnterminatedStopAtTheLineEnd) {
    EXPECT_EQ(Classes(R"("abc)"), "1111");
    EXPECT_EQ(Classes(R"(")"), "1");
    EXPECT_EQ(Classes(R"("a\")"), "1111");
    EXPECT_EQ(Classes("'abc"), "1111");
    EXPECT_EQ(Classes("'"), "1");
    EXPECT_EQ(Classes("'a''"), "1111");
    EXPECT_EQ(Classes("\"ab\r\nnop"), "11100666");
    EXPECT_EQ(Classes("'ab\nnop"), "1110666");
    EXPECT_EQ(Classes("\"a\\\r\n\""), "111001");
}

TEST(Comments, RunToTheLineEndOnly) {
    EXPECT_EQ(Classes(";x \"y 'z"), "22222222");
    EXPECT_EQ(Classes("nop;x\rnop"), "666220666");
    EXPECT_EQ(Classes(";"), "2");
}

TEST(Bytes, ControlBytesAreWhitespaceAndHighBytesDelimiters) {
    for (int c = 0; c < 256; ++c) {
        const std::string line(1, static_cast<char>(c));
        const bool isWordOrDigit = std::isalnum(c) || c == '_' || c == '#';
        if (c < '!') {
            EXPECT_EQ(Classes(line), "0") << c;
        } else if (c >= 0x7F || (!isWordOrDigit && c != '"' && c != '\'' && c != ';')) {
            EXPECT_EQ(Classes(line), "7") << c;
        }
    }
    EXPECT_EQ(Classes(std::string("a\0c\x01\x1F\t\x7F", 7)), "3030007");
}

TEST(Bytes, HighBytesSplitWordsButStayInStringsAndComments) {
    EXPECT_EQ(Classes("ab\xC3\xA9nop"), "3377666");
    EXPECT_EQ(Classes("\"\xC3\xA9\" '\xFF' ;\x80\xFF"), "111101110222");
    EXPECT_EQ(Classes("H'\xFF'"), "3111");
    EXPECT_EQ(Classes("#define \xFF\x80 ;"), "888888888882");
    EXPECT_EQ(Classes(std::string(";a\0b", 4)), "2222");
}

TEST(LineEnds, AreWhitespaceAndEndEveryToken) {
    EXPECT_EQ(Classes("nop\r\n"), "66600");
    EXPECT_EQ(Classes("nop\n"), "6660");
    EXPECT_EQ(Classes("nop\r"), "6660");
    EXPECT_EQ(Classes("\n\r\n"), "000");
}

TEST(LineState, IsHandedBackUnchangedAndTheBufferMustFit) {
    EXPECT_EQ(Classes("nop", 42), "666");
    EXPECT_EQ(Classes("\"open", -7), "11111");
    const TPICParser parser;
    std::vector<std::uint8_t> tooShort(2);
    EXPECT_THROW(parser.ParseLine("nop", tooShort, 0), std::length_error);
}

TEST(SplitLines, SplitsAsTheEditorDoes) {
    using L = TPICParser::TextLine;
    EXPECT_EQ(TPICParser::SplitLines("a\r\nbc\nd\re"),
              (std::vector<L>{{0, 1, 2}, {3, 2, 1}, {6, 1, 1}, {8, 1, 0}}));
    // LF CR is two line ends; a line end at the very end starts no further line.
    EXPECT_EQ(TPICParser::SplitLines("a\n\r"), (std::vector<L>{{0, 1, 1}, {2, 0, 1}}));
    EXPECT_EQ(TPICParser::SplitLines("\n"), (std::vector<L>{{0, 0, 1}}));
    EXPECT_EQ(TPICParser::SplitLines("\r\r\n"), (std::vector<L>{{0, 0, 1}, {1, 0, 2}}));
    EXPECT_TRUE(TPICParser::SplitLines("").empty());
}

// However the lines end, finding them takes one pass: a megabyte of lone CRs is a million lines.
TEST(SplitLines, MegabytesOfShortLinesSplitInLinearTime) {
    const std::size_t mega = 1 << 20;
    for (const std::string lineEnd : {"\r", "\n", "\r\n", "\n\r"}) {
        std::string text;
        while (text.size() < mega) {
            text += "a" + lineEnd;
        }
        const std::size_t ends = text.size() / (1 + lineEnd.size()) * (lineEnd == "\n\r" ? 2 : 1);
        EXPECT_EQ(TPICParser::SplitLines(text).size(), ends);
        std::vector<std::uint8_t> classes(text.size());
        TPICParser().ParseText(text, classes.data());
        EXPECT_EQ(std::count(classes.begin(), classes.end(), TPICParser::kIdentifier),
                  static_cast<std::ptrdiff_t>(text.size() / (1 + lineEnd.size())));
    }
}

TEST(ParseText, ColoursEveryLineAndItsEnd) {
    const std::string text = "\"a\r'b\n\r;c\r\nnop";
    std::vector<std::uint8_t> classes(text.size(), 0xEE);
    const TPICParser parser;
    EXPECT_EQ(parser.ParseText(text, classes.data(), 3), 3);
    EXPECT_EQ(classes, (std::vector<std::uint8_t>{1, 1, 0, 1, 1, 0, 0, 2, 2, 0, 0, 6, 6, 6}));
}

// A megabyte on one line must come out whole, in linear time.
TEST(LongLines, MegabyteLinesKeepTheirClasses) {
    const std::size_t mega = 1 << 20;
    EXPECT_EQ(Classes(Repeat("a", mega)), Repeat('3', mega));
    EXPECT_EQ(Classes(";" + Repeat("x", mega)), Repeat('2', mega + 1));
    EXPECT_EQ(Classes("\"" + Repeat("x", mega)), Repeat('1', mega + 1));
    EXPECT_EQ(Classes("\"" + Repeat("\\\"", mega / 2)), Repeat('1', mega + 1));
    EXPECT_EQ(Classes("#define " + Repeat("x", mega)), Repeat('8', mega + 8));
    EXPECT_EQ(Classes(Repeat("9", mega)), Repeat('4', mega));
    EXPECT_EQ(Classes(Repeat("#0x", mega / 3)), Repeat("773", mega / 3));
    // Each failed radix literal rescans no further than the string that follows it.
    EXPECT_EQ(Classes(Repeat("H'1 H'1 ", mega / 8) + "H'1 "), Repeat("31111140", mega / 8) + "3111");
}

}  // namespace
