// SPDX-License-Identifier: GPL-3.0-or-later
// pictokens' printer: colours a text handed over in pieces and prints the classes of each line as it goes.
#pragma once

#include "editor/PICParser.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

// Takes a text in pieces of any size (a file read block by block), colours the lines of each piece as
// soon as they are whole, and prints one output line per source line: the class of every byte of the line
// as one hex digit ('?' for a class above 15), the line end left out, then LF. Each run of whole lines
// goes through TPICParser::ParseText with the line state the last run left, so the output is that of the
// whole text coloured at once, wherever the pieces are cut. Output goes out in blocks of about
// `blockSize` bytes; a line longer than a block gets a bigger block (input and output) of its own.
class ClassPrinter {
  public:
    // Writes one block of output; false when it could not, after which nothing more is written.
    using Sink = std::function<bool(std::string_view block)>;
    static constexpr std::size_t kBlockSize = std::size_t{1} << 16;

    explicit ClassPrinter(Sink sink, std::size_t blockSize = kBlockSize);

    // Where the next bytes of the text may be read to (never empty); tell Added how many came.
    std::span<char> Room();
    // Colours the lines that `count` more bytes in Room() completed. False once a write has failed.
    bool Added(std::size_t count);
    // The same for bytes held elsewhere: copies them in through Room() and Added().
    bool Add(std::string_view bytes);
    // The end of the text: prints its last line (with or without a line end) and writes out the rest.
    // False if a write failed. The printer then starts over for a new text.
    bool Finish();

  private:
    enum class TextEnd { kLater, kHere };
    void PrintLines(std::string_view text, TextEnd textEnd);
    void Keep(std::size_t count);
    void Flush();

    TPICParser parser_;
    TPICParser::LineState state_ = 0;
    Sink sink_;
    bool failed_ = false;
    std::size_t blockSize_;
    // The text not yet printed, from the start of a line that is not complete yet.
    std::vector<char> in_;
    std::size_t inUsed_ = 0;
    std::vector<char> out_;
    std::size_t outUsed_ = 0;
};
