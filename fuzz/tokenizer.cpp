// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC tokenizer on any bytes, from every start state: one class per byte, and the same classes whether
// the text is coloured whole or line by line; pictokens' printer, fed in pieces, prints the same digits.
#include "ClassPrinter.h"
#include "editor/PICParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// What pictokens prints for the classes of a whole text: each line's digits, then LF.
std::string Digits(std::string_view text, const std::vector<uint8_t>& classes) {
    std::string out;
    for (const TPICParser::TextLine& line : TPICParser::SplitLines(text)) {
        for (size_t i = line.start; i < line.start + line.length; ++i)
            out.push_back(classes[i] < 16 ? "0123456789abcdef"[classes[i]] : '?');
        out.push_back('\n');
    }
    return out;
}

// The text through the printer, blocks and pieces sized by the first byte.
std::string Printed(std::string_view text, uint8_t sizes) {
    std::string out;
    ClassPrinter printer(
        [&out](std::string_view block) {
            out += block;
            return true;
        },
        1 + (sizes & 31));
    const size_t piece = 1 + (sizes >> 5) * 5;
    for (size_t pos = 0; pos < text.size(); pos += piece)
        printer.Add(text.substr(pos, piece));
    printer.Finish();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    TPICParser parser;
    TPICParser::LineState state = data[0];
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<uint8_t> whole(text.size(), 0xFF);
    parser.ParseText(text, whole.data(), state);
    std::vector<uint8_t> lines(text.size(), 0xFF);
    for (const TPICParser::TextLine& line : TPICParser::SplitLines(text))
        state = parser.ParseLine(text.data() + line.start, line.length + line.endLength,
                                 lines.data() + line.start, state);
    for (size_t i = 0; i < text.size(); ++i)
        if (whole[i] >= 21 || whole[i] != lines[i])
            std::abort();
    // The printer starts every text from state 0.
    std::vector<uint8_t> fromZero(text.size(), 0xFF);
    parser.ParseText(text, fromZero.data());
    if (Printed(text, data[0]) != Digits(text, fromZero))
        std::abort();
    return 0;
}
