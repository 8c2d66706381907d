// SPDX-License-Identifier: GPL-3.0-or-later
// pictokens' printer: a text handed over in pieces of every size prints what the whole text coloured at
// once prints, whatever the line ends, the block size or where the pieces are cut.
#include "ClassPrinter.h"
#include "WholeTextClasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// The text handed to a printer with blocks of `blockSize` in pieces of `pieceSize` bytes; what it wrote.
std::string Printed(std::string_view text, std::size_t blockSize, std::size_t pieceSize) {
    std::string out;
    ClassPrinter printer(
        [&out](std::string_view block) {
            out += block;
            return true;
        },
        blockSize);
    for (std::size_t pos = 0; pos < text.size(); pos += pieceSize) {
        EXPECT_TRUE(printer.Add(text.substr(pos, pieceSize)));
    }
    EXPECT_TRUE(printer.Finish());
    return out;
}

// Bytes drawn from those that start, end or cut tokens and lines, repeatable from run to run.
std::string Scrambled(std::size_t size) {
    const std::string alphabet = "\r\n\r\n\0 \t;'\"\\0xXHDBe.+9aF_#movlw equ\x80\xff"s;
    std::string text;
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245 + 12345;
        text.push_back(alphabet[(seed >> 16) % alphabet.size()]);
    }
    return text;
}

// Texts that have tripped line splitters before: every kind of line end, alone and mixed, NUL bytes, no
// final line end, a CR last, lines far longer than a block.
std::vector<std::string> OddTexts() {
    return {
        ""s,
        "\n"s,
        "\r"s,
        "\r\n"s,
        "\n\r"s,
        "\r\r\n\n\r"s,
        "  nop\r\n;c\nH'1F'\r0x1\n\r'a\n"s,
        "STATUS EQU H'0003'"s,
        "  nop\r"s,
        "mo\0vlw 0x1F\0;x\0\r\n\0\0"s,
        "db \"a\\\"b\" 'it''s' \"open\r\n'open\n"s,
        "\x80\xff movlw\xc3\xa9 2.5e+3 B'101' D'9x'\n"s,
        "  #define X " + std::string(200'000, 'y') + " ;" + std::string(70'000, 'z') + "\r\n  nop",
        std::string(100'000, '\r') + std::string(100'000, '\n'),
        Scrambled(20'000),
    };
}

TEST(ClassPrinter, PrintsOneDigitLinePerSourceLineWhateverItsLineEnd) {
    // CR LF, LF, CR, then LF CR (two line ends), and a line end at the very end: one byte at a time.
    EXPECT_EQ(Printed("  nop\r\n;c\nH'1F'\r0x1\n\r'a\n", 1, 1), "00666\n22\n44444\n444\n\n11\n");
    EXPECT_EQ(Printed("end\n\nSTATUS EQU H'0003'", 4, 3), "888\n\n3333330fff04444444\n");
    EXPECT_EQ(Printed("", 4, 1), "");
}

TEST(ClassPrinter, PrintsWhatTheWholeTextPrintsWhereverThePiecesAreCut) {
    const std::size_t blockSizes[] = {1, 2, 3, 16, 4096, ClassPrinter::kBlockSize};
    const std::size_t pieceSizes[] = {1, 2, 3, 5, 64, 1000, 1 << 20};
    for (const std::string& text : OddTexts()) {
        const std::string expected = WholeTextClasses(text);
        for (std::size_t blockSize : blockSizes) {
            for (std::size_t pieceSize : pieceSizes) {
                if (text.size() > 50'000 && blockSize * pieceSize < 16) {
                    continue;  // the long texts byte by byte take long and find nothing new
                }
                ASSERT_EQ(Printed(text, blockSize, pieceSize), expected)
                    << "block " << blockSize << ", pieces of " << pieceSize << ", text of " << text.size()
                    << " bytes starting " << testing::PrintToString(text.substr(0, 40));
            }
        }
    }
}

TEST(ClassPrinter, WritesInBlocksAndALongLineInOneBlockOfItsOwn) {
    std::vector<std::size_t> blocks;
    ClassPrinter printer(
        [&blocks](std::string_view block) {
            blocks.push_back(block.size());
            return true;
        },
        100);
    // Two lines of 40 fill a block of 100 as far as they can; the third starts the next block.
    printer.Add(std::string(40, 'a') + "\n" + std::string(40, 'b') + "\n" + std::string(40, 'c') + "\n" +
                std::string(500, 'd') + "\n");
    printer.Finish();
    EXPECT_EQ(blocks, (std::vector<std::size_t>{82, 41, 501}));
}

TEST(ClassPrinter, EachTextStartsOverAfterFinish) {
    // A CR at the end of one text and an LF at the start of the next are two line ends.
    std::string out;
    ClassPrinter printer([&out](std::string_view block) {
        out += block;
        return true;
    });
    printer.Add("a\r");
    printer.Finish();
    printer.Add("\nx");
    printer.Finish();
    EXPECT_EQ(out, "3\n\n3\n");
}

TEST(ClassPrinter, StopsWritingOnceAWriteFails) {
    int writes = 0;
    ClassPrinter printer(
        [&writes](std::string_view) {
            ++writes;
            return false;
        },
        8);
    EXPECT_FALSE(printer.Add("nop\nnop\nnop\nnop\n"));
    EXPECT_FALSE(printer.Finish());
    EXPECT_EQ(writes, 1);
}

TEST(ClassPrinter, PrintsTheProcessorHeadersAsTheWholeTextPrintsThem) {
    const std::string text = ProcessorHeaders();
    if (text.empty()) {
        GTEST_SKIP() << "gputils headers are not installed";
    }
    const std::string expected = WholeTextClasses(text);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'),
              std::count(text.begin(), text.end(), '\n') + (text.ends_with('\n') ? 0 : 1));
    EXPECT_TRUE(Printed(text, ClassPrinter::kBlockSize, 1 << 16) == expected);
    EXPECT_TRUE(Printed(text, 4093, 4099) == expected);
}

}  // namespace
