// The PIC tokenizer on any bytes, from every start state: one class per byte, and the same classes whether
// the text is coloured whole or line by line.
#include "editor/PICParser.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

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
    return 0;
}
